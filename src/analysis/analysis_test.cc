// The analysis passes that avoid walking shared bodies again, compared with
// the plain recursive walks that follow every path, on many small generated
// models with shared bodies and cycles; and the name table. What the passes
// make of whole definitions, and every message, is in the golden cases
// (tests/golden/analysis_*).

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "analysis/links.h"
#include "analysis/name_table.h"
#include "analysis/numbering.h"
#include "analysis/pointer_map.h"
#include "analysis/recursion.h"
#include "analysis/type_list.h"
#include "analysis/type_names.h"
#include "driver/diagnostics.h"
#include "test_support.h"

namespace taloq::testing {
namespace {

// A generated model: one to six bodies of one to three elements, then two to
// four top-level elements. Each element is an integer, an unresolved reference
// (with `links`) or a structure or union whose body is picked at random: from
// the later bodies only (no cycle) or from all of them; without `links`, one
// in five of those stands for a resolved reference.
struct Generated {
  Generated(unsigned seed, bool cycles, int name_length, bool links) : random(seed) {
    module = &captured.run.module_store.emplace_back();
    module->name = "M";
    module->path = "m.tlq";
    captured.run.modules.push_back(module);
    std::vector<std::vector<Element*>> members(static_cast<std::size_t>(pick(1, 6)));
    for (auto& body : members) {
      for (int i = pick(1, 3); i > 0; --i) body.push_back(make(name_length));
      heads.push_back(chain(body));
    }
    std::vector<Element*> top;
    for (int i = pick(2, 4); i > 0; --i) top.push_back(make(name_length));
    top_level = module->elements = chain(top);
    for (std::size_t b = 0; b <= members.size(); ++b) {
      for (Element* element : b < members.size() ? members[b] : top) {
        give_body(*element, cycles || b == members.size() ? 0 : static_cast<int>(b) + 1, links,
                  top);
      }
    }
  }

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

  Element* make(int name_length) {
    static const char* const kNames[] = {"a", "bb", "class", "a", "union", "cc"};
    Element& element = captured.run.element_store.emplace_back();
    element.set_c_name(captured.run.texts.join(
        kNames[pick(0, 5)], std::string(static_cast<std::size_t>(name_length), 'z')));
    element.set_name(element.c_name());
    element.set_module(module);
    element.set_line(static_cast<int>(captured.run.element_store.size()));
    element.set_is_plugin(pick(0, 4) == 0);
    return &element;
  }

  void give_body(Element& element, int low, bool links, const std::vector<Element*>& top) {
    const int high = static_cast<int>(heads.size()) - 1;
    const int kind = pick(0, 3);
    if (links && kind == 1) {  // an unresolved reference, to a top-level name or to none
      element.set_link(
          pick(0, 5) == 0
              ? Text("Missing")
              : top[static_cast<std::size_t>(pick(0, static_cast<int>(top.size()) - 1))]->name());
      return;
    }
    if (low > high || kind == 0) {
      element.set_type(ET_INTEGER);
      return;
    }
    const int body = pick(low, high);
    element.set_children(heads[static_cast<std::size_t>(body)]);
    // Elements sharing a body are of one type, as copies of one element are.
    element.set_type(body % 2 == 0 ? ET_STRUCT : ET_UNION);
    if (!links && pick(0, 4) == 0) element.set_link("Ref");  // a resolved reference
  }

  static Element* chain(const std::vector<Element*>& elements) {
    for (std::size_t i = 0; i + 1 < elements.size(); ++i) elements[i]->set_next(elements[i + 1]);
    return elements.empty() ? nullptr : elements.front();
  }

  // What the passes set, element by element, and what they printed.
  std::string state() {
    std::string text = captured.text();
    for (const Element& e : captured.run.element_store) {
      text += e.c_name() + "/" + std::to_string(e.type()) + "/" + e.link() + "/" + e.type_name() +
              "/" + std::to_string(e.value()) + "/" + std::to_string(e.recursive()) + "/" +
              std::to_string(e.ref_count()) + " ";
    }
    return text;
  }

  std::mt19937 random;
  CapturedRun captured;
  ModuleRecord* module = nullptr;
  std::vector<Element*> heads;
  Element* top_level = nullptr;
};

// The plain walks, path by path; `open` holds the bodies open on the path.
void plain_links(RunContext& run, Element* list, std::vector<const Element*>& open) {
  for (Element* p = list; p != nullptr; p = p->next()) {
    if (p->type() == ET_STRUCT || p->type() == ET_UNION) {
      if (p->children() == nullptr ||
          std::find(open.begin(), open.end(), p->children()) != open.end()) {
        continue;
      }
      open.push_back(p->children());
      plain_links(run, p->children(), open);
      open.pop_back();
    } else if (p->type() == ET_LINK && resolve_link(run, *p->module(), *p) == 0) {
      report_at(run, p->module()->path, p->line(), SEV_ERROR,
                "Unable to expand definition of -%s- in -%s-\n", p->link().c_str(),
                p->c_name().c_str());
    }
  }
}

void plain_marks(Element* list, std::vector<const Element*>& open) {
  for (Element* q = list; q != nullptr; q = q->next()) {
    if (q->children() == nullptr) continue;
    if (std::find(open.begin(), open.end(), q->children()) != open.end()) q->set_recursive(true);
    if (q->recursive()) continue;
    open.push_back(q->children());
    plain_marks(q->children(), open);
    open.pop_back();
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

void plain_member_names(RunContext& run, Element* list, const std::string& parent) {
  for (Element* q = list; q != nullptr; q = q->next()) {
    if (!q->link().empty()) continue;
    if (parent.size() + 1 + q->c_name().size() > 255) {
      print_direct(run, "FATAL: Constructed type name is too long: %s\n",
                   (parent + "_" + q->c_name()).c_str());
      throw FatalStop{};
    }
    q->set_type_name(run.texts.join(parent, "_", q->c_name()));
    if (q->children() != nullptr) plain_member_names(run, q->children(), q->type_name().str());
  }
}

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

TEST(Analysis, LinksAsThePlainWalkResolvesThem) {
  int reports = 0;
  for (unsigned seed = 1; seed <= 2000; ++seed) {
    Generated fast(seed, true, 0, true);
    Generated plain(seed, true, 0, true);
    resolve_all_links(fast.captured.run);
    std::vector<const Element*> open{plain.top_level};
    plain_links(plain.captured.run, plain.top_level, open);
    ASSERT_EQ(fast.state(), plain.state()) << "seed " << seed;
    reports += fast.captured.run.errors;
  }
  EXPECT_GT(reports, 100);
}

TEST(Analysis, RecursionMarksAndNumbersAsThePlainWalksSetThem) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    Generated fast(seed, true, 0, false);
    Generated plain(seed, true, 0, false);
    mark_recursion(fast.top_level);
    number_elements(fast.captured.run, fast.top_level);
    for (Element* p = plain.top_level; p != nullptr; p = p->next()) {
      if (p->children() == nullptr) continue;
      std::vector<const Element*> open{p->children()};
      plain_marks(p->children(), open);
    }
    plain_numbering(plain.captured.run, plain.top_level);
    ASSERT_EQ(fast.state(), plain.state()) << "seed " << seed;
  }
}

TEST(Analysis, TypeNamesAndTheFatalNameAsThePlainWalkMakesThem) {
  int fatal = 0;
  for (unsigned seed = 1; seed <= 600; ++seed) {
    const bool cycles = seed % 3 == 0;
    const int name_length = cycles ? 40 : static_cast<int>(seed % 4) * 25;
    Generated fast(seed, cycles, name_length, false);
    Generated plain(seed, cycles, name_length, false);
    try {
      construct_type_names(fast.captured.run, fast.top_level);
    } catch (const FatalStop&) {
    }
    bool stopped = false;
    try {
      for (Element* p = plain.top_level; p != nullptr; p = p->next()) {
        p->set_type_name(p->c_name());
        if (p->children() != nullptr && p->link().empty()) {
          plain_member_names(plain.captured.run, p->children(), p->type_name().str());
        }
      }
    } catch (const FatalStop&) {
      stopped = true;
      ++fatal;
    }
    // The names set before a fatal stop are not compared: no back end sees them.
    ASSERT_EQ(stopped ? fast.captured.text() : fast.state(),
              stopped ? plain.captured.text() : plain.state())
        << "seed " << seed;
  }
  EXPECT_GT(fatal, 50);
  EXPECT_LT(fatal, 550);
}

TEST(Analysis, TypeListAsThePlainWalkBuildsIt) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    Generated fast(seed, seed % 2 == 0, 0, false);
    Generated plain(seed, seed % 2 == 0, 0, false);
    build_type_list(fast.captured.run, nullptr, fast.top_level);
    std::vector<Element*> entries;
    std::vector<const Element*> open;
    plain_type_list(entries, plain.top_level, open);
    std::string fast_list;
    for (const Element* e = fast.captured.run.types; e != nullptr; e = e->next_type()) {
      fast_list += std::to_string(e->line()) + " ";
    }
    std::string plain_list;
    for (const Element* e : entries) plain_list += std::to_string(e->line()) + " ";
    ASSERT_EQ(fast_list, plain_list) << "seed " << seed;
  }
}

TEST(Analysis, UnionMembersJoinTheTypeListOncePerCName) {
  CapturedRun captured;
  Element* made[4];
  for (int i = 0; i < 4; ++i) {
    made[i] = &captured.run.element_store.emplace_back();
    made[i]->set_c_name(i == 3 ? Text("c") : i == 1 ? Text("b") : Text("a"));
  }
  made[0]->set_next(made[1]);  // union { a; b; }
  made[2]->set_next(made[3]);  // union { a; c; }
  EXPECT_EQ(add_union_members(captured.run, nullptr, made[0]), made[1]);
  EXPECT_EQ(captured.run.types, made[0]);
  EXPECT_EQ(add_union_members(captured.run, made[1], made[2]), made[3]);
  EXPECT_EQ(made[1]->next_type(), made[3]);
  EXPECT_EQ(type_list_lacks(captured.run.types, "c"), 0);
  EXPECT_EQ(type_list_lacks(captured.run.types, "C"), 1);
  EXPECT_EQ(type_list_lacks(nullptr, "a"), 1);
}

TEST(Analysis, NameTableKeepsTheFirstValueOfEveryName) {
  struct Deref {
    std::string_view operator()(const std::string* name) const { return *name; }
  };
  std::vector<std::string> names;  // the table refers to the caller's texts
  for (int i = 0; i < 5000; ++i) names.push_back("Msg" + std::to_string(i));
  const std::string again = "Msg7", empty;
  for (const bool reserved : {false, true}) {
    NameTable<const std::string*, Deref> table;
    if (reserved) table.reserve(names.size());
    for (const std::string& name : names) ASSERT_TRUE(table.insert(&name));
    EXPECT_FALSE(table.insert(&again));
    EXPECT_TRUE(table.insert(&empty));
    for (const std::string& name : names) {
      const std::string* const* found = table.find(name);
      ASSERT_NE(found, nullptr) << name;
      EXPECT_EQ(*found, &name);
    }
    EXPECT_EQ(*table.find(""), &empty);
    EXPECT_EQ(table.find("Msg5000"), nullptr);
    EXPECT_EQ(table.find("Msg"), nullptr);
    EXPECT_EQ(table.find("msg1"), nullptr);
    EXPECT_EQ(table.size(), 5001u);
  }
}

// The set answers for every element of the model, also for elements past
// the last bit it has grown to hold and before it holds any, and forgets
// only what it is told to.
TEST(Analysis, PointerSetAnswersForEveryElementOfTheModel) {
  CapturedRun captured;
  std::vector<const Element*> elements;
  for (int i = 0; i < 300; ++i) elements.push_back(&captured.run.element_store.emplace_back());
  PointerSet set;
  for (const Element* element : elements) ASSERT_FALSE(set.contains(element));
  // One element held: the set has grown to its bit and no further, so the
  // elements after it lie past its end.
  ASSERT_TRUE(set.insert(elements[0]));
  for (std::size_t i = 1; i < elements.size(); ++i) {
    ASSERT_FALSE(set.contains(elements[i])) << i;
    set.erase(elements[i]);
  }
  const std::vector<std::size_t> held = {0, 63, 64, 65, 127, 128};
  for (const std::size_t i : held) EXPECT_EQ(set.insert(elements[i]), i != 0) << i;
  EXPECT_FALSE(set.insert(elements[64]));
  set.erase(elements[65]);
  set.erase(elements[299]);
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const bool expected = i != 65 && std::find(held.begin(), held.end(), i) != held.end();
    EXPECT_EQ(set.contains(elements[i]), expected) << i;
  }
}

}  // namespace
}  // namespace taloq::testing
