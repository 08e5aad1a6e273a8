// The passes that walk shared bodies avoid following every path. These
// tests compare them with the plain recursive walks, which do follow every
// path, on many small generated models with shared bodies and cycles.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "driver/diagnostics.h"
#include "analysis/numbering.h"
#include "analysis/recursion.h"
#include "analysis/type_list.h"
#include "analysis/type_names.h"
#include "test_support.h"

namespace taloq::testing {
namespace {

// A generated model: bodies of one to three members whose bodies are picked
// at random, in order (acyclic) or from all bodies (cycles possible).
struct Generated {
  Generated(unsigned seed, bool cycles, int name_length) : random(seed) {
    const int body_count = pick(1, 6);
    std::vector<Element*> heads(static_cast<std::size_t>(body_count));
    std::vector<std::vector<Element*>> members(heads.size());
    for (std::size_t b = 0; b < heads.size(); ++b) {
      const int size = pick(1, 3);
      for (int i = 0; i < size; ++i) members[b].push_back(make(name_length));
      heads[b] = chain(members[b]);
    }
    for (std::size_t b = 0; b < heads.size(); ++b) {
      for (Element* member : members[b]) {
        const int low = cycles ? 0 : static_cast<int>(b) + 1;
        give_body(*member, heads, low);
      }
    }
    std::vector<Element*> top;
    for (int i = pick(1, 3); i > 0; --i) {
      top.push_back(make(name_length));
      give_body(*top.back(), heads, 0);
    }
    top_level = chain(top);
  }

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

  Element* make(int name_length) {
    Element& element = store.emplace_back();
    static const char* const kNames[] = {"a", "bb", "class", "a", "union", "cc"};
    element.set_c_name(
        texts.join(kNames[pick(0, 5)], std::string(static_cast<std::size_t>(name_length), 'z')));
    element.set_name(element.c_name());
    element.set_line(static_cast<int>(store.size()));
    element.set_is_plugin(pick(0, 4) == 0);
    return &element;
  }

  void give_body(Element& element, const std::vector<Element*>& heads, int low) {
    const int high = static_cast<int>(heads.size()) - 1;
    if (low > high || pick(0, 3) == 0) {
      element.set_type(ET_INTEGER);
      return;
    }
    const int body = pick(low, high);
    element.set_children(heads[static_cast<std::size_t>(body)]);
    // Elements sharing a body are of one type, as copies of one element are.
    element.set_type(body % 2 == 0 ? ET_STRUCT : ET_UNION);
    if (pick(0, 4) == 0) element.set_link("Ref");  // a reference to a shared body
  }

  static Element* chain(const std::vector<Element*>& elements) {
    for (std::size_t i = 0; i + 1 < elements.size(); ++i) elements[i]->set_next(elements[i + 1]);
    return elements.empty() ? nullptr : elements.front();
  }

  std::mt19937 random;
  ElementStore store;
  TextPool texts;
  Element* top_level = nullptr;
};

// The walks as they read, path by path.
void plain_marks(Element* list, std::vector<const Element*>& path) {
  for (Element* q = list; q != nullptr; q = q->next()) {
    if (q->children() == nullptr) continue;
    for (const Element* body : path) {
      if (body == q->children()) q->set_recursive(true);
    }
    if (q->recursive()) continue;
    path.push_back(q->children());
    plain_marks(q->children(), path);
    path.pop_back();
  }
}

void plain_numbering(RunContext& run, Element* list) {
  std::int32_t ordinary = 0;
  std::int32_t plugin = run.plugin_base;
  for (Element* p = list; p != nullptr; p = p->next()) {
    std::int32_t& counter = p->is_plugin() ? plugin : ordinary;
    if (p->value() == -1) {
      p->set_value(counter);
    } else {
      counter = p->value();
    }
    ++counter;
    avoid_keyword_clash(run, *p);
    if (p->children() != nullptr && !p->recursive()) plain_numbering(run, p->children());
  }
}

struct Overlong {
  std::string text;
};

void plain_member_names(TextPool& texts, Element* list, const std::string& parent) {
  for (Element* q = list; q != nullptr; q = q->next()) {
    if (!q->link().empty()) continue;
    if (parent.size() + 1 + q->c_name().size() > 255) throw Overlong{parent + "_" + q->c_name()};
    q->set_type_name(texts.join(parent, "_", q->c_name()));
    if (q->children() != nullptr) plain_member_names(texts, q->children(), q->type_name().str());
  }
}

void plain_type_names(TextPool& texts, Element* list) {
  for (Element* p = list; p != nullptr; p = p->next()) {
    p->set_type_name(p->c_name());
    if (p->children() != nullptr && p->link().empty())
      plain_member_names(texts, p->children(), p->type_name().str());
  }
}

// The type list walk, stopping at a body open on its path.
void plain_type_list(std::vector<Element*>& entries, Element* list,
                     std::vector<const Element*>& open) {
  for (Element* p = list; p != nullptr; p = p->next()) {
    if (!p->link().empty() || p->children() == nullptr) continue;
    if (p->type() == ET_UNION) {
      for (Element* q = p->children(); q != nullptr; q = q->next()) {
        bool known = false;
        for (const Element* e : entries) known = known || e->c_name() == q->c_name();
        if (!known) entries.push_back(q);
      }
    }
    if (std::find(open.begin(), open.end(), p->children()) != open.end()) continue;
    open.push_back(p->children());
    plain_type_list(entries, p->children(), open);
    open.pop_back();
  }
}

std::string describe(const ElementStore& store) {
  std::string text;
  for (const Element& e : store) {
    text += e.c_name() + "/" + e.type_name() + "/" + std::to_string(e.value()) + "/" +
            std::to_string(e.recursive()) + " ";
  }
  return text;
}

TEST(WalksAgainstPlainWalks, RecursionMarksAndNumbering) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    Generated fast(seed, true, 0);
    Generated plain(seed, true, 0);
    mark_recursion(fast.top_level);
    for (Element* p = plain.top_level; p != nullptr; p = p->next()) {
      if (p->children() == nullptr) continue;
      std::vector<const Element*> path{p->children()};
      plain_marks(p->children(), path);
    }
    CapturedRun fast_run;
    CapturedRun plain_run;
    number_elements(fast_run.run, fast.top_level);
    plain_numbering(plain_run.run, plain.top_level);
    ASSERT_EQ(describe(fast.store), describe(plain.store)) << "seed " << seed;
    ASSERT_EQ(fast_run.text(), plain_run.text()) << "seed " << seed;
  }
}

TEST(WalksAgainstPlainWalks, TypeNamesAndTheFatalName) {
  int fatal = 0;
  for (unsigned seed = 1; seed <= 600; ++seed) {
    const bool cycles = seed % 3 == 0;
    const int name_length = cycles ? 40 : static_cast<int>(seed % 4) * 25;
    Generated fast(seed, cycles, name_length);
    Generated plain(seed, cycles, name_length);
    CapturedRun run;
    std::string fast_fatal;
    try {
      construct_type_names(run.run, fast.top_level);
    } catch (const FatalStop&) {
      fast_fatal = run.text();
    }
    std::string plain_fatal;
    try {
      plain_type_names(plain.texts, plain.top_level);
    } catch (const Overlong& overlong) {
      plain_fatal = "FATAL: Constructed type name is too long: " + overlong.text + "\n";
    }
    ASSERT_EQ(fast_fatal, plain_fatal) << "seed " << seed;
    if (plain_fatal.empty()) {
      ASSERT_EQ(describe(fast.store), describe(plain.store)) << "seed " << seed;
    } else {
      ++fatal;
    }
  }
  EXPECT_GT(fatal, 50);
  EXPECT_LT(fatal, 550);
}

TEST(WalksAgainstPlainWalks, TypeList) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    Generated fast(seed, seed % 2 == 0, 0);
    Generated plain(seed, seed % 2 == 0, 0);
    CapturedRun run;
    build_type_list(run.run, nullptr, fast.top_level);
    std::vector<Element*> entries;
    std::vector<const Element*> open;
    plain_type_list(entries, plain.top_level, open);
    std::string fast_list;
    for (const Element* e = run.run.types; e != nullptr; e = e->next_type()) {
      fast_list += std::to_string(e->line()) + " ";
    }
    std::string plain_list;
    for (const Element* e : entries) plain_list += std::to_string(e->line()) + " ";
    ASSERT_EQ(fast_list, plain_list) << "seed " << seed;
  }
}

}  // namespace
}  // namespace taloq::testing
