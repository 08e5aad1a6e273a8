#pragma once

#include <cstdint>

namespace taloq {

class JsonOutput;
class Element;

// The document's name of a type code ("struct" ... "link"); null for a code
// outside the known range.
const char* type_code_name(std::int32_t type);

// The members of an element's object up to, not including, "body": its
// texts, type, numbers and flags, in the document's order.
void write_element_fields(JsonOutput& json, const Element& element);

}  // namespace taloq
