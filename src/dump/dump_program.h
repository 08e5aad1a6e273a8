#pragma once

#include <iosfwd>

#include "driver/checker.h"

namespace taloq {

// The program taloqdump: the checker's run without the banner, every line
// for the user on `console`, and the model as JSON on `json_out` after a
// clean analysis. Both streams must outlive the program's run.
Program dump_program(std::ostream& json_out, std::ostream& console);

}  // namespace taloq
