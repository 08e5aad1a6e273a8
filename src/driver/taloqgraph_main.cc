#include <iostream>

#include "driver/checker.h"
#include "graph/dot_graph.h"

// taloqgraph: the checker's run, with every line for the user on standard
// error and, after a clean analysis, the model as a Graphviz graph on
// standard output.
int main(int argc, char** argv) {
  const taloq::Program program{false, taloq::dot_back_end(std::cout), &std::cerr};
  return taloq::taloq_main(argc, argv, program);
}
