#pragma once

namespace taloq {

class Element;
struct RunContext;

// The cardinality of an element that has one, through print_indented:
// "[<min>..<max>]", with "*" for no upper bound ("[0..1]", "[1..*]").
// `level` is not used. Returns 1.
int print_cardinality(RunContext& run, int level, const Element* ap_element);

}  // namespace taloq
