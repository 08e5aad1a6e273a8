#pragma once

#include <iosfwd>

#include "driver/checker.h"

namespace taloq {

struct RunContext;

// Writes the analysed model as a Graphviz DOT graph: a cluster per module,
// a node per top-level structure, union or combined type, an edge for each
// resolved reference between them (labelled with the member's name and
// cardinality; recursive references drawn bold and red), and a dashed edge
// from each plugging module to each of its plug targets.
void write_dot_graph(RunContext& run, std::ostream& out);

// The back end of taloqgraph: write_dot_graph on `out`.
BackEnd dot_back_end(std::ostream& out);

}  // namespace taloq
