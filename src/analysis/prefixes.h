#pragma once

#include <string>

namespace taloq {

struct RunContext;
struct ModuleRecord;
class Element;

// Marks every element of a list (not their bodies) as standing at the top
// level of the main module.
void mark_top_level(Element* first);

// Gives every module without a configured prefix one derived from its name
// (or its first element): the stem, a collision number from 2 on, and "_".
void derive_prefixes(RunContext& run);

// Writes the stem of a named module into `stem`: the first character ("+"
// read as "_"), the first letter of every further dotted component and all
// later digits. Returns 0, writing nothing, for a module without a name.
int prefix_from_module_name(RunContext& run, const ModuleRecord& module, std::string& stem);

// Writes a stem of at most four characters taken from the first element's
// c_name, lower-case vowels dropped except at the start of a word. Returns 0,
// writing nothing, for a module without elements.
int prefix_from_first_element(RunContext& run, const ModuleRecord& module, std::string& stem);

}  // namespace taloq
