#pragma once

namespace taloq {

// The date ("Nov 15 2003") and time ("16:46:38") the program was built.
const char* build_date();
const char* build_time();

}  // namespace taloq
