#pragma once

namespace taloq {

struct RunContext;
class Element;

// Gives every element of the list its value (plugin elements counting from
// the run's plugin_base, the others from 0; a value already set resets its
// counter), renames c_names that are reserved words, and numbers every body
// not marked recursive with fresh counters.
void number_elements(RunContext& run, Element* list);

// Appends "_" to a c_name equal to a C or C++ reserved word, with a notice
// on the console.
void avoid_keyword_clash(RunContext& run, Element& element);

}  // namespace taloq
