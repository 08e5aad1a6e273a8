#pragma once

namespace taloq {

class Element;
struct RunContext;

// The printers below write through print_indented, share one signature
// (`level` is accepted and not used) and return 1. Each one asserts that it
// is given an element of a kind it handles.

// "struct", "union" or "combi" for a constructed element.
int print_compound_kind(RunContext& run, int level, const Element* ap_element);

// The type name of a scalar, constant or null element that is no
// reference: "void", "bool", the integer width, "float", "double", "oid",
// "ascii" (both ascii forms), "unicode", "bytes", "const", "ipv4", "ipv6",
// "date", "time" or "embedded".
int print_type_name(RunContext& run, int level, const Element* ap_element);

// As print_type_name, but names the value's type: "int" or "unsint" for an
// integer by the sign of its lower bound, "double" for a float,
// "quoted_ascii" and "unquoted_ascii" for the two ascii forms.
int print_value_type_name(RunContext& run, int level, const Element* ap_element);

}  // namespace taloq
