#pragma once

// The element utilities for back ends: the indenting printer and its
// switch, type and cardinality printers, element classes, mark clearing,
// the debug dump and name/value lists.

#include "backend_utils/cardinality_printer.h"
#include "backend_utils/classification.h"
#include "backend_utils/clear_marks.h"
#include "backend_utils/debug_dump.h"
#include "backend_utils/indented_printer.h"
#include "backend_utils/integer_printers.h"
#include "backend_utils/name_value.h"
#include "backend_utils/print_switch.h"
#include "backend_utils/type_printers.h"
