#include "fuzz_back_end.h"

#include <sstream>

#include "dump/model_json.h"

namespace taloq_fuzz {

// The JSON writer, into a stream that is emptied before each run so that
// memory stays flat over millions of runs.
taloq::BackEnd back_end() {
  static std::ostringstream document;
  static const taloq::BackEnd json = taloq::json_back_end(document);
  return [](taloq::RunContext& run, std::span<const std::string> args) {
    document.str({});
    json(run, args);
  };
}

}  // namespace taloq_fuzz
