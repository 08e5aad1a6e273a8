#include "backend_utils/print_switch.h"

namespace taloq {
namespace {

int print_enable = 1;

}  // namespace

int set_print_enable(int value) {
  print_enable = value;
  return print_enable;
}

int get_print_enable() {
  return print_enable;
}

}  // namespace taloq
