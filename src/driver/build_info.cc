#include "driver/build_info.h"

namespace taloq {

const char* build_date() {
  return __DATE__;
}
const char* build_time() {
  return __TIME__;
}

}  // namespace taloq
