// The link pass skips bodies it has walked when no link element can be
// reached from them. This compares it with the plain walk, which walks every
// body on every visit (stopping only at a body open on its path), on many
// small generated models with shared bodies and cycles.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "analysis/links.h"
#include "test_support.h"

namespace taloq::testing {
namespace {

struct LinkWorld {
  explicit LinkWorld(unsigned seed) : random(seed) {
    module = &captured.run.module_store.emplace_back();
    module->name = "M";
    module->path = "m.tlq";
    captured.run.modules.push_back(module);
    const int top_count = pick(2, 5);
    const int body_count = pick(2, 6);
    for (int b = 0; b < body_count; ++b) bodies.push_back(nullptr);
    for (int b = 0; b < body_count; ++b)
      bodies[static_cast<std::size_t>(b)] = make_list(pick(1, 4), top_count, "m");
    module->elements = make_list(top_count, top_count, "T");
  }

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

  Element* make_list(int count, int top_count, const std::string& stem) {
    Element* first = nullptr;
    Element* last = nullptr;
    for (int i = 0; i < count; ++i) {
      Element& element = captured.run.element_store.emplace_back();
      element.set_name(captured.run.texts.keep(stem + std::to_string(i)));
      element.set_c_name(element.name());
      element.set_module(module);
      element.set_line(static_cast<int>(captured.run.element_store.size()));
      fill(element, top_count);
      if (last == nullptr) {
        first = &element;
      } else {
        last->set_next(&element);
      }
      last = &element;
    }
    return first;
  }

  void fill(Element& element, int top_count) {
    switch (pick(0, 3)) {
      case 0: element.set_type(ET_INTEGER); break;
      case 1:
        element.set_link(pick(0, 5) == 0 ? Text("Missing")
                                         : captured.run.texts.keep(
                                               "T" + std::to_string(pick(0, top_count - 1))));
        break;
      default:
        element.set_type(pick(0, 1) == 0 ? ET_STRUCT : ET_UNION);
        // Bodies are filled in later; give an index for now.
        element.set_children(reinterpret_cast<Element*>(static_cast<std::uintptr_t>(pick(1, 6))));
    }
  }

  // Replaces the body indexes with bodies, now that all exist.
  void connect() {
    for (Element& element : captured.run.element_store) {
      if (!is_constructed(element.type()) || element.children() == nullptr) continue;
      const auto index = reinterpret_cast<std::uintptr_t>(element.children()) - 1;
      element.set_children(index < bodies.size() ? bodies[index] : nullptr);
    }
  }

  std::mt19937 random;
  CapturedRun captured;
  ModuleRecord* module = nullptr;
  std::vector<Element*> bodies;
};

void plain_walk(RunContext& run, ModuleRecord& module, Element* list,
                std::vector<const Element*>& open) {
  for (Element* p = list; p != nullptr; p = p->next()) {
    if (p->type() == ET_STRUCT || p->type() == ET_UNION) {
      if (p->children() == nullptr ||
          std::find(open.begin(), open.end(), p->children()) != open.end()) {
        continue;
      }
      open.push_back(p->children());
      plain_walk(run, module, p->children(), open);
      open.pop_back();
    } else if (p->type() == ET_LINK && resolve_link(run, module, *p) == 0) {
      report_at(run, p->module()->path, p->line(), SEV_ERROR,
                "Unable to expand definition of -%s- in -%s-\n", p->link().c_str(),
                p->c_name().c_str());
    }
  }
}

std::string state_of(RunContext& run) {
  std::string text;
  for (const Element& e : run.element_store) {
    text += e.name() + ":" + std::to_string(e.type()) + ":" + e.link() + ":" +
            std::to_string(e.ref_count()) + " ";
  }
  return text;
}

TEST(LinksAgainstPlainWalk, SameReportsAndResults) {
  int reports = 0;
  for (unsigned seed = 1; seed <= 2000; ++seed) {
    LinkWorld fast(seed);
    LinkWorld plain(seed);
    fast.connect();
    plain.connect();
    resolve_all_links(fast.captured.run);
    std::vector<const Element*> open{plain.module->elements};
    plain_walk(plain.captured.run, *plain.module, plain.module->elements, open);
    ASSERT_EQ(fast.captured.text(), plain.captured.text()) << "seed " << seed;
    ASSERT_EQ(state_of(fast.captured.run), state_of(plain.captured.run)) << "seed " << seed;
    reports += fast.captured.run.errors;
  }
  EXPECT_GT(reports, 100);
}

}  // namespace
}  // namespace taloq::testing
