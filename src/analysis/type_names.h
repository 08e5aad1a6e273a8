#pragma once

#include <string_view>

namespace taloq {

struct RunContext;
class Element;

// Gives every element reached from the top-level list its type_name: a
// top-level element its c_name, a member its parent's type_name, "_" and its
// own c_name. References to shared bodies keep the name of their definition
// and are not descended into. A name longer than 255 characters ends the
// program with a fatal line.
void construct_type_names(RunContext& run, Element* list);

// The same for a member list under the parent's type name.
void construct_member_type_names(RunContext& run, Element* members, std::string_view parent);

}  // namespace taloq
