#include "backend_utils/integer_printers.h"

#include <algorithm>

#include "driver/run_context.h"
#include "backend_utils/indented_printer.h"
#include "parse/element.h"

namespace taloq {
namespace {

const char* unsigned_width(std::uint32_t max) {
  if (max <= 255u) return "uns8";
  if (max <= 65535u) return "uns16";
  return "uns32";
}

const char* signed_width(std::uint32_t min, std::uint32_t max) {
  if (min <= 127u && max <= 127u) return "int8";
  if (min <= 32767u && max <= 32767u) return "int16";
  return "int32";
}

const char* int_width_name(const Element& element) {
  if (!element.constrained()) return "int32";
  if (!element.min_negative()) return unsigned_width(element.max());
  return signed_width(element.min(), element.max());
}

}  // namespace

void print_int_width(RunContext& run, const Element* ap_element) {
  print_indented(run, "%s", int_width_name(*ap_element));
}

int decimal_digits(std::int32_t value) {
  if (value == 0) return 1;
  int digits = 0;
  for (; value != 0; value /= 10) ++digits;
  return digits;
}

int magnitude_digits(std::uint32_t magnitude) {
  if (magnitude == 0) return 1;
  int digits = 0;
  for (; magnitude != 0; magnitude /= 10) ++digits;
  return digits;
}

int print_int_digits(RunContext& run, int, const Element* ap_element) {
  if (ap_element->type() != ET_INTEGER) return 1;
  const int digits =
      std::max(magnitude_digits(ap_element->min()), magnitude_digits(ap_element->max()));
  print_indented(run, ", %d, %s", digits, ap_element->z_flag() ? "TRUE" : "FALSE");
  return 1;
}

}  // namespace taloq
