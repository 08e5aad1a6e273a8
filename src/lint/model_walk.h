#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace taloq {
struct RunContext;
struct ModuleRecord;
class Element;
}  // namespace taloq

namespace taloq::lint {

// Names for messages.
std::string module_label(const ModuleRecord& module);  // "module App", or the file's unnamed one
std::string element_label(const Element& element);     // the name, or "(unnamed)"
bool has_name(const Element& element);                  // a name was read
// The file whose lines the element's line counts: where it was written.
std::string_view file_of(const Element& element);

enum class BodyKind { kTopLevel, kMembers, kPlug };

// One list of elements: a module's top level, the body of a structure,
// union or combined type (`owner`), or a plug body.
struct Body {
  const Element* first = nullptr;
  const Element* end = nullptr;  // where the list stops (the merged list runs on)
  const Element* owner = nullptr;
  const ModuleRecord* module = nullptr;
  BodyKind kind = BodyKind::kTopLevel;
  int plug_line = 0;  // of the "plug" keyword, for a plug body
};

// Every list of the modules' own text: top levels, plug bodies and every
// body nested in them, each once, whatever the analysis has shared. Bodies
// reached through a reference are the definition's and are not repeated.
std::vector<Body> written_bodies(const RunContext& run);

// The module part of a reference text ("T" of "T::Money"); empty for a
// plain name.
std::string_view module_part(std::string_view reference);
// The name part ("Money" of "T::Money"; the whole of a plain name).
std::string_view name_part(std::string_view reference);

}  // namespace taloq::lint
