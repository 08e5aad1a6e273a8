#pragma once

namespace taloq {

// The process-wide switch of the indenting printer, initially 1. While it
// is 0, print_indented writes nothing and changes no printer state.
// Stores `value` and returns it.
int set_print_enable(int value);
int get_print_enable();

}  // namespace taloq
