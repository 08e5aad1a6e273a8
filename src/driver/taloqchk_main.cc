#include "driver/checker.h"

int main(int argc, char** argv) {
  return taloq::taloq_main(argc, argv, taloq::Program{true, taloq::run_back_end, nullptr});
}
