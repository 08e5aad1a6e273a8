#include "analysis/prefixes.h"

#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "analysis/assertions.h"
#include "lex/char_class.h"

namespace taloq {
namespace {

// Counts the prefixes seen so far that collide with a stem, that is that
// read stem + digits + "_". Such a prefix and the stems it collides with
// share their text once trailing digits are removed ("Ab12_" and the stems
// "Ab", "Ab1", "Ab12" all have the base "Ab"), so prefixes are filed under
// that base, with their digits in a trie: the number of prefixes whose
// digits begin with the stem's digits is the count at the stem's node.
class PrefixCollisions {
 public:
  void add(std::string_view prefix) {
    if (prefix.empty() || prefix.back() != '_') return;
    const auto [base, digits] = split(prefix.substr(0, prefix.size() - 1));
    int node = root_of(base);
    ++nodes_[node].count;
    for (const char digit : digits) {
      node = child_of(node, digit);
      ++nodes_[node].count;
    }
  }

  int count(std::string_view stem) const {
    const auto [base, digits] = split(stem);
    const auto root = roots_.find(std::string(base));
    if (root == roots_.end()) return 0;
    int node = root->second;
    for (const char digit : digits) {
      node = nodes_[node].child[digit - '0'];
      if (node == 0) return 0;
    }
    return nodes_[node].count;
  }

 private:
  struct Node {
    int count = 0;
    std::array<int, 10> child{};  // 0: none (node 0 is never a child)
  };

  static std::pair<std::string_view, std::string_view> split(std::string_view text) {
    std::size_t base_length = text.size();
    while (base_length > 0 && is_digit(static_cast<unsigned char>(text[base_length - 1]))) {
      --base_length;
    }
    return {text.substr(0, base_length), text.substr(base_length)};
  }

  int root_of(std::string_view base) {
    const auto [it, inserted] = roots_.try_emplace(std::string(base), 0);
    if (inserted) it->second = new_node();
    return it->second;
  }

  int child_of(int node, char digit) {
    int& slot = nodes_[node].child[digit - '0'];
    if (slot == 0) {
      const int made = new_node();  // may move nodes_, so assign afterwards
      nodes_[node].child[digit - '0'] = made;
      return made;
    }
    return slot;
  }

  int new_node() {
    nodes_.emplace_back();
    return static_cast<int>(nodes_.size() - 1);
  }

  std::vector<Node> nodes_{Node{}};  // node 0 is a placeholder
  std::unordered_map<std::string, int> roots_;
};

std::string derive_prefix(RunContext& run, const ModuleRecord& module,
                          const PrefixCollisions& seen) {
  std::string stem;
  if (prefix_from_module_name(run, module, stem) == 0 &&
      prefix_from_first_element(run, module, stem) == 0) {
    report(run, SEV_ERROR, "Error: Unable to derive prefix for module contained in: %s\n",
           module.path.c_str());
  }
  const int number = 1 + seen.count(stem);
  if (number > 1) stem += std::to_string(number);
  stem += '_';
  return stem;
}

bool is_lower_vowel(char c) {
  return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

}  // namespace

void mark_top_level(Element* first) {
  for (Element* element = first; element != nullptr; element = element->next()) {
    element->set_top_level(true);
  }
}

void derive_prefixes(RunContext& run) {
  PrefixCollisions seen;
  for (ModuleRecord* module : run.modules) {
    if (!module->prefix) module->prefix = derive_prefix(run, *module, seen);
    seen.add(*module->prefix);
  }
}

int prefix_from_module_name(RunContext&, const ModuleRecord& module, std::string& stem) {
  const std::string_view name = module.name;
  if (name.empty()) return 0;
  expect_invariant(!name.empty(), "*lp_first_name != '\\0'", 81);
  std::size_t at = 0;
  stem.clear();
  if (name[0] == '+') {
    stem += '_';
    at = 1;
  }
  if (at < name.size()) stem += name[at++];
  for (; at < name.size(); ++at) {
    const char c = name[at];
    if (c == '.' && at + 1 < name.size() && is_letter(static_cast<unsigned char>(name[at + 1]))) {
      stem += name[at + 1];
    } else if (is_digit(static_cast<unsigned char>(c))) {
      stem += c;
    }
  }
  return 1;
}

int prefix_from_first_element(RunContext&, const ModuleRecord& module, std::string& stem) {
  if (module.elements == nullptr) return 0;
  const std::string_view name = module.elements->c_name();
  expect_invariant(!name.empty(), "*lp_first_name != '\\0'", 120);
  stem.assign(1, name[0]);
  bool after_separator = false;
  for (std::size_t at = 1; at < name.size() && stem.size() < 4; ++at) {
    const char c = name[at];
    const bool word_char = is_alnum(static_cast<unsigned char>(c));
    if (word_char && (!is_lower_vowel(c) || after_separator)) stem += c;
    after_separator = !word_char;
  }
  return 1;
}

}  // namespace taloq
