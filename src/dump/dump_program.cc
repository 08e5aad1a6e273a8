#include "dump/dump_program.h"

#include "dump/model_json.h"

namespace taloq {

Program dump_program(std::ostream& json_out, std::ostream& console) {
  return Program{false, json_back_end(json_out), &console};
}

}  // namespace taloq
