#pragma once

#include <iosfwd>

namespace taloq {

class Element;

// Writes every element of the list, and the body of every element that
// owns or copies one (not through references), as a numbered entry:
//   "<level>: (Name <c_name>) (Type <DEBUG - needs code fix to map types>)
//   (Tag <tag>) " and two further lines with the cardinality and the
// constraint. A body starts at `level` + 1. A body that already encloses
// the element on the way down is not written again. Written to `out`
// (standard output by default) whatever the print switch says.
void debug_dump(const Element* list, int level, std::ostream& out);
void debug_dump(const Element* list, int level);

}  // namespace taloq
