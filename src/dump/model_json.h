#pragma once

#include <iosfwd>
#include <span>
#include <string>

#include "driver/checker.h"

namespace taloq {

struct RunContext;

// Writes the analysed model as one JSON document, followed by a newline:
//   {"modules": [module, ...], "types": [{"c_name", "type_name", "line"}, ...]}
// Each module holds its name, path, prefix (or null), its imports and
// extends lists as {"alias", "module"} in list order, and its own
// top-level elements. The README (Back ends) describes the element objects.
void write_model_json(const RunContext& run, std::ostream& out);

// The back end of taloqdump: writes the document to `out` and counts an
// error when the stream fails. `out` must outlive the back end.
BackEnd json_back_end(std::ostream& out);

}  // namespace taloq
