#pragma once

// Helpers for the tests of the analysis passes: definitions parsed from
// texts held in memory, and lookups into the resulting model.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "driver/run_context.h"
#include "source/config_file.h"
#include "test_support.h"

namespace taloq::testing {

struct Model {
  // Loads one source text; fails the test on a parse error.
  void load(std::string_view text, std::string path = "t.tlq") {
    const int errors = captured.run.errors;
    load_text(captured, text, std::move(path));
    EXPECT_EQ(errors, captured.run.errors) << captured.text();
  }

  RunContext& run() { return captured.run; }
  ModuleRecord& module(std::size_t index) { return *captured.run.modules.at(index); }

  // The element at a dotted path of a module; fails the test when missing.
  Element& at(std::string_view path, std::size_t module_index = 0) {
    Element* element = find_item(&module(module_index), path);
    EXPECT_NE(element, nullptr) << path;
    return element != nullptr ? *element : captured.run.element_store.emplace_back();
  }

  // What the passes printed after loading.
  std::string printed() const { return captured.text().substr(loaded_); }
  void mark_loaded() { loaded_ = captured.text().size(); }

  CapturedRun captured;
  std::size_t loaded_ = 0;
};

// The elements of a list as their names, blank-separated.
inline std::string names_of(const Element* list) {
  std::string names;
  for (; list != nullptr; list = list->next()) {
    if (!names.empty()) names += ' ';
    names += list->name();
  }
  return names;
}

}  // namespace taloq::testing
