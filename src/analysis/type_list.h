#pragma once

#include <string_view>

namespace taloq {

struct RunContext;
class Element;

// Collects the members of every union reached from `list` into the run's
// type list (at most one entry per c_name, the first met) and returns the
// new tail. References to shared bodies are not descended into: their bodies
// are collected where their definitions stand.
Element* build_type_list(RunContext& run, Element* tail, Element* list);

// Appends the members of one union whose c_name the type list lacks;
// returns the new tail.
Element* add_union_members(RunContext& run, Element* tail, Element* members);

// 1 when no entry of the type list starting at `head` has this c_name.
int type_list_lacks(const Element* head, std::string_view c_name);

}  // namespace taloq
