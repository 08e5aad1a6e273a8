#pragma once

// The element utilities were first installed under this name; back ends
// written against it keep compiling. New code includes
// "backend_utils/backend_utils.h".
#include "backend_utils/backend_utils.h"
