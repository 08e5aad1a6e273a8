#include "analysis/numbering.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "analysis/list_walk.h"
#include "analysis/pointer_map.h"

namespace taloq {
namespace {

constexpr std::array<std::string_view, 53> kReservedWords = {
    "asm",    "auto",     "break",  "case",     "char",      "const",    "continue", "default",
    "do",     "double",   "else",   "enum",     "extern",    "float",    "for",      "goto",
    "if",     "int",      "long",   "register", "return",    "short",    "signed",   "sizeof",
    "static", "struct",   "switch", "typedef",  "union",     "unsigned", "void",     "volatile",
    "while",  "cdecl",    "far",    "huge",     "interrupt", "near",     "pascal",   "catch",
    "class",  "delete",   "friend", "inline",   "new",       "operator", "private",  "protected",
    "public", "template", "throw",  "try",      "virtual"};

struct Counters {
  std::int32_t ordinary = 0;
  std::int32_t plugin = 0;
};

void number_one(Counters& counters, Element& element) {
  std::int32_t& counter = element.is_plugin() ? counters.plugin : counters.ordinary;
  if (element.value() == -1) {
    element.set_value(counter);
  } else {
    counter = element.value();
  }
  ++counter;
}

// One list being numbered: where it has got to and its counters.
struct Frame {
  Element* at;
  Counters counters;
};

// For each first byte, a bit for each length of a reserved word that begins
// with it: most names differ from every word in one of the two, which this
// tells without hashing.
constexpr std::array<std::uint16_t, 256> kFirstByteLengths = [] {
  std::array<std::uint16_t, 256> lengths{};
  for (const std::string_view word : kReservedWords) {
    lengths[static_cast<unsigned char>(word[0])] |= static_cast<std::uint16_t>(1u << word.size());
  }
  return lengths;
}();

// Every element is checked, so the words are looked up by hash; no two are
// equal, so the first equal word of the table is the only one. The name is
// NUL-terminated: its length is counted only as far as a reserved word's
// could reach, and only when its first byte begins one.
bool is_reserved_word(const char* name) {
  static const std::unordered_set<std::string_view> kWords(kReservedWords.begin(),
                                                           kReservedWords.end());
  const std::uint16_t lengths = kFirstByteLengths[static_cast<unsigned char>(name[0])];
  if (lengths == 0) return false;
  std::size_t size = 1;
  while (size < 10 && name[size] != '\0') ++size;
  if (size < 2 || size > 9 || (lengths & (1u << size)) == 0) return false;
  return kWords.contains(std::string_view(name, size));
}

}  // namespace

void avoid_keyword_clash(RunContext& run, Element& element) {
  if (is_reserved_word(element.c_name().data())) {
    print_direct(run,
                 "Warning (Line:%d): Changed name '%s' to '%s_' to avoid C/C++ keyword name "
                 "clash\n",
                 element.line(), element.c_name().c_str(), element.c_name().c_str());
    element.set_c_name(run.texts.join(element.c_name(), "_"));
  }
}

// A body reached again through a shared reference or plug copy already
// holds its values and renamed c_names: numbering it again would take the
// counters from the values and arrive at the same numbers, so it is numbered
// on its first visit only.
void number_elements(RunContext& run, Element* list) {
  PointerSet numbered;
  std::vector<Frame> stack{{list, {0, run.plugin_base}}};
  const auto visit = [&](Frame& top, Element& element) {
    number_one(top.counters, element);
    avoid_keyword_clash(run, element);
    Element* body = element.children();
    if (body != nullptr && !element.recursive() && numbered.insert(body)) {
      stack.push_back({body, {0, run.plugin_base}});
    }
    return true;
  };
  walk_lists(stack, visit, [](const Frame&) {});
}

}  // namespace taloq
