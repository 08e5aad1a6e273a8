// The JSON document of taloqdump. Its fields are pinned down by the golden
// cases that run taloqdump (tests/golden/*/ with "taloqdump" in args); here:
// every such expected document is valid JSON that keeps the body rules, deep
// and long models are written without recursion, and a failed write counts.

#include <gtest/gtest.h>

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run_context.h"
#include "dump/model_json.h"
#include "test_support.h"

namespace taloq {
namespace {

namespace fs = std::filesystem;

// Parses a document without recursion; `error` is empty on success.
rapidjson::Document parse_json(const std::string& text, std::string& error) {
  rapidjson::Document document;
  document.Parse<rapidjson::kParseIterativeFlag>(text.c_str(), text.size());
  error.clear();
  if (document.HasParseError()) {
    error = std::string(rapidjson::GetParseError_En(document.GetParseError())) + " at offset " +
            std::to_string(document.GetErrorOffset());
  }
  return document;
}

// The body rules, over all modules in document order: every element with a
// body carries its number; "children" stands at the first element with that
// body and an empty link, and nowhere else. Returns what is wrong, if anything.
std::string check_body_rules(const rapidjson::Value& document) {
  std::set<std::int64_t> expanded;
  std::vector<std::pair<const rapidjson::Value*, rapidjson::SizeType>> open;
  for (const auto& module : document["modules"].GetArray())
    open.emplace_back(&module["elements"], 0);
  std::reverse(open.begin(), open.end());
  while (!open.empty()) {
    auto& [list, index] = open.back();
    if (index == list->Size()) {
      open.pop_back();
      continue;
    }
    const rapidjson::Value& element = (*list)[index++];
    const std::string name = element["name"].GetString();
    const bool has_children = element.HasMember("children");
    if (!element.HasMember("body")) {
      if (has_children) return name + ": children without a body number";
      continue;
    }
    const bool expands = element["link"].GetStringLength() == 0 &&
                         expanded.insert(element["body"].GetInt64()).second;
    if (expands != has_children) {
      return name + (has_children ? ": children where none belong" : ": children missing");
    }
    if (has_children) open.emplace_back(&element["children"], 0);
  }
  return {};
}

TEST(Dump, ExpectedDocumentsOfTheGoldenCasesAreValid) {
  int documents = 0;
  const fs::path golden =
      fs::path(__FILE__).parent_path().parent_path().parent_path() / "tests/golden";
  for (const auto& entry : fs::directory_iterator(golden)) {
    std::ifstream args(entry.path() / "args");
    std::string program;
    if (!(args >> program) || program != "taloqdump") continue;
    std::ostringstream text;
    text << std::ifstream(entry.path() / "stdout", std::ios::binary).rdbuf();
    if (text.str().empty()) continue;
    std::string error;
    const rapidjson::Document document = parse_json(text.str(), error);
    ASSERT_EQ(error, "") << entry.path();
    EXPECT_TRUE(text.str().ends_with("}\n")) << entry.path();
    EXPECT_EQ(check_body_rules(document), "") << entry.path();
    ++documents;
  }
  EXPECT_GE(documents, 20);
}

// A model built by hand: `count` structures in one module.
struct Built {
  explicit Built(int count) {
    ModuleRecord& module = captured.run.module_store.emplace_back();
    module.name = "M";
    module.path = "m.tlq";
    captured.run.modules.push_back(&module);
    for (int i = 0; i < count; ++i) structures.push_back(&element("S"));
    for (std::size_t i = 0; i + 1 < structures.size(); ++i)
      structures[i]->set_next(structures[i + 1]);
    module.elements = structures.front();
  }
  Element& element(const char* name) {
    Element& made = captured.run.element_store.emplace_back();
    made.set_name(Text::borrow(name));
    made.set_c_name(made.name());
    made.set_tag(made.name());
    made.set_type(ET_STRUCT);
    return made;
  }
  std::string text() {
    std::ostringstream out;
    write_model_json(captured.run, out);
    return out.str();
  }
  testing::CapturedRun captured;
  std::vector<Element*> structures;
};

TEST(Dump, DeepNestingNeedsNoCallStack) {
  constexpr int kDepth = 100000;
  Built model(1);
  Element* parent = model.structures.front();
  for (int i = 0; i < kDepth; ++i) {
    Element& child = model.element("n");
    parent->set_children(&child);
    parent = &child;
  }
  const std::string text = model.text();
  std::string error;
  parse_json(text, error);
  EXPECT_EQ(error, "");
  std::string closing = "\"is_copy\":false}";
  for (int i = 0; i < kDepth; ++i) closing += "]}";  // each level's children and element
  EXPECT_TRUE(text.ends_with(closing + "]}],\"types\":[]}\n"));
}

TEST(Dump, LongChainOfSharedBodiesIsWrittenOnceEach) {
  // Each structure holds a reference to the next one: every body is written
  // where its structure stands, and the references only number it.
  constexpr int kCount = 20000;
  Built model(kCount);
  for (int i = 0; i < kCount; ++i) {
    Element& ref = model.element("r");
    ref.set_link("S");
    model.structures[static_cast<std::size_t>(i)]->set_children(&ref);
  }
  for (std::size_t i = 0; i + 1 < model.structures.size(); ++i) {
    model.structures[i]->children()->set_children(model.structures[i + 1]->children());
  }
  const std::string text = model.text();
  std::string error;
  const rapidjson::Document document = parse_json(text, error);
  ASSERT_EQ(error, "");
  EXPECT_EQ(document["modules"][0]["elements"].Size(), static_cast<rapidjson::SizeType>(kCount));
  EXPECT_EQ(check_body_rules(document), "");
  EXPECT_LT(text.size(), static_cast<std::size_t>(2 * kCount) * 1000u);
}

TEST(Dump, AFailedWriteIsCountedAsAnError) {
  testing::CapturedRun captured;
  std::ostringstream out;
  json_back_end(out)(captured.run, {});
  EXPECT_EQ(out.str(), "{\"modules\":[],\"types\":[]}\n");
  std::ostream broken(nullptr);
  json_back_end(broken)(captured.run, {});
  EXPECT_EQ(captured.run.errors, 1);
  EXPECT_EQ(captured.text(), "error: Unable to write the model as JSON\n");
}

}  // namespace
}  // namespace taloq
