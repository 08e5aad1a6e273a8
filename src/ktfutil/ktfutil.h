#pragma once

// The element utilities for back ends: the indenting printer and its
// switch, type and cardinality printers, element classes, mark clearing,
// the debug dump and name/value lists.

#include "ktfutil/cardinality_printer.h"
#include "ktfutil/classification.h"
#include "ktfutil/clear_marks.h"
#include "ktfutil/debug_dump.h"
#include "ktfutil/indented_printer.h"
#include "ktfutil/integer_printers.h"
#include "ktfutil/name_value.h"
#include "ktfutil/print_switch.h"
#include "ktfutil/type_printers.h"
