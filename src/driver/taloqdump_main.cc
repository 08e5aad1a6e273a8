#include <iostream>

#include "dump/dump_program.h"

// taloqdump: the checker's run, with every line for the user on standard
// error and, after a clean analysis, the model as JSON on standard output.
int main(int argc, char** argv) {
  return taloq::taloq_main(argc, argv, taloq::dump_program(std::cout, std::cerr));
}
