#include "fuzz_back_end.h"

namespace taloq_fuzz {

taloq::BackEnd back_end() {
  return taloq::run_back_end;
}

}  // namespace taloq_fuzz
