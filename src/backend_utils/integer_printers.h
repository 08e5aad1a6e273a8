#pragma once

#include <cstdint>

namespace taloq {

class Element;
struct RunContext;

// The smallest integer width that holds an integer element's range, through
// print_indented: "int32" when unconstrained; "uns8", "uns16" or "uns32"
// when the lower bound is not negative; "int8", "int16" or "int32" when it
// is. `min` and `max` are compared as unsigned magnitudes.
void print_int_width(RunContext& run, const Element* ap_element);

// Number of decimal digits of a value: 1 for 0, the digits of the
// magnitude for a negative value.
int decimal_digits(std::int32_t value);

// Number of decimal digits of an unsigned bound (1 for 0), for the full
// range of magnitudes, 4294967295 included.
int magnitude_digits(std::uint32_t magnitude);

// For an integer element: ", <digits>" with the larger digit count of its
// two bounds, then ", TRUE" or ", FALSE" after the 'z' mark. Prints nothing
// for other types. `level` is not used. Returns 1.
int print_int_digits(RunContext& run, int level, const Element* ap_element);

}  // namespace taloq
