#include "dump/model_json.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/run_context.h"
#include "dump/dump_test_support.h"
#include "dump/element_fields.h"
#include "analysis/pipeline.h"
#include "parse/element.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::check_body_rules;
using testing::parse_json;

// A model built by hand in a run of its own.
class Model {
 public:
  ModuleRecord& module(const char* name, const char* path = "m.tlq") {
    ModuleRecord& record = captured.run.module_store.emplace_back();
    record.name = name;
    record.path = path;
    captured.run.modules.push_back(&record);
    return record;
  }
  Element& element(const char* name, std::int32_t type = ET_INTEGER) {
    Element& made = captured.run.element_store.emplace_back();
    made.set_name(captured.run.texts.keep(name));
    made.set_c_name(made.name());
    made.set_tag(made.name());
    made.set_type(type);
    return made;
  }
  // Chains the elements into a list through `next`; returns the first.
  static Element* chain(std::vector<Element*> elements) {
    for (std::size_t i = 0; i + 1 < elements.size(); ++i) elements[i]->set_next(elements[i + 1]);
    return elements.empty() ? nullptr : elements.front();
  }

  std::string text() {
    std::ostringstream out;
    write_model_json(captured.run, out);
    return out.str();
  }
  rapidjson::Document document() {
    std::string error;
    rapidjson::Document parsed = parse_json(text(), error);
    EXPECT_EQ(error, "");
    return parsed;
  }

  testing::CapturedRun captured;
};

const rapidjson::Value& elements_of(const rapidjson::Document& document, int module) {
  return document["modules"][static_cast<rapidjson::SizeType>(module)]["elements"];
}

std::vector<std::string> member_names(const rapidjson::Value& object) {
  std::vector<std::string> names;
  for (const auto& member : object.GetObject()) names.emplace_back(member.name.GetString());
  return names;
}

TEST(ModelJson, EmptyModel) {
  Model model;
  EXPECT_EQ(model.text(), "{\"modules\":[],\"types\":[]}\n");
}

TEST(ModelJson, ModuleMembers) {
  Model model;
  ModuleRecord& module = model.module("Shapes", "dir/shapes.tlq");
  module.imports.push_back({"B", "Base"});
  module.imports.push_back({" ", "Other"});
  module.extends.push_back({"C", "Core"});
  module.elements = &model.element("x");
  ModuleRecord& second = model.module("");
  second.prefix = "_bt_";
  second.elements = &model.element("y");
  EXPECT_TRUE(model.text().starts_with(
      "{\"modules\":[{\"name\":\"Shapes\",\"path\":\"dir/shapes.tlq\",\"prefix\":null,"
      "\"imports\":[{\"alias\":\"B\",\"module\":\"Base\"},{\"alias\":\" "
      "\",\"module\":\"Other\"}],"));
  const rapidjson::Document document = model.document();
  const auto& first = document["modules"][0];
  EXPECT_EQ(member_names(first),
            (std::vector<std::string>{"name", "path", "prefix", "imports", "extends", "elements"}));
  EXPECT_STREQ(first["extends"][0]["alias"].GetString(), "C");
  EXPECT_STREQ(first["extends"][0]["module"].GetString(), "Core");
  EXPECT_STREQ(document["modules"][1]["name"].GetString(), "");
  EXPECT_STREQ(document["modules"][1]["prefix"].GetString(), "_bt_");
  EXPECT_EQ(document["modules"][1]["imports"].Size(), 0u);
}

TEST(ModelJson, EveryElementMemberInOrder) {
  Model model;
  Element& element = model.element("count");
  element.set_c_name("count_");
  element.set_tag("cnt");
  element.set_type_name("Msg_count");
  element.set_const_text("A + 1");
  element.set_pattern("[0-9]*");
  element.set_line(12);
  element.set_value(1000000000);
  element.set_min(4294967295u);
  element.set_max(7);
  element.set_cardinality_min(2);
  element.set_cardinality_max(-1);
  element.set_ref_count(3);
  for (auto set : {&Element::set_constrained, &Element::set_min_negative,
                   &Element::set_max_negative, &Element::set_has_cardinality, &Element::set_z_flag,
                   &Element::set_is_plugin, &Element::set_top_level, &Element::set_list,
                   &Element::set_dynamic, &Element::set_recursive, &Element::set_is_copy}) {
    (element.*set)(true);
  }
  model.module("M").elements = &element;
  EXPECT_NE(model.text().find(
                "{\"name\":\"count\",\"c_name\":\"count_\",\"tag\":\"cnt\",\"link\":\"\","
                "\"type_name\":\"Msg_count\",\"const_text\":\"A + 1\",\"pattern\":\"[0-9]*\","
                "\"type\":\"integer\",\"line\":12,\"value\":1000000000,\"min\":4294967295,"
                "\"max\":7,\"cardinality_min\":2,\"cardinality_max\":-1,\"ref_count\":3,"
                "\"constrained\":true,\"min_negative\":true,\"max_negative\":true,"
                "\"has_cardinality\":true,\"z_flag\":true,\"is_plugin\":true,\"top_level\":true,"
                "\"list\":true,\"dynamic\":true,\"recursive\":true,\"is_copy\":true}"),
            std::string::npos);
}

TEST(ModelJson, DefaultsAndFalseFlags) {
  Model model;
  model.module("M").elements = &model.element("x", ET_BOOLEAN);
  const rapidjson::Document document = model.document();
  const auto& x = elements_of(document, 0)[0];
  EXPECT_TRUE(x["pattern"].IsNull());
  EXPECT_STREQ(x["type"].GetString(), "boolean");
  EXPECT_EQ(x["value"].GetInt(), -1);
  EXPECT_EQ(x["cardinality_max"].GetInt(), -1);
  EXPECT_FALSE(x["is_copy"].GetBool());
  EXPECT_FALSE(x.HasMember("body"));
  EXPECT_FALSE(x.HasMember("children"));
}

TEST(ModelJson, TypeNamesOfEveryCode) {
  const std::vector<std::string> expected = {
      "struct", "union", "combined", "null",           "boolean",  "integer", "float",
      "double", "oid",   "ascii",    "unquoted_ascii", "unicode",  "bytes",   "const",
      "ipv4",   "ipv6",  "date",     "time",           "embedded", "link"};
  for (std::int32_t code = 0; code <= ET_LINK; ++code) {
    EXPECT_EQ(type_code_name(code), expected[static_cast<std::size_t>(code)]) << code;
  }
  EXPECT_EQ(type_code_name(-1), nullptr);
  EXPECT_EQ(type_code_name(20), nullptr);
}

TEST(ModelJson, UnknownTypeCodeIsNull) {
  Model model;
  model.module("M").elements = &model.element("x", 42);
  EXPECT_TRUE(elements_of(model.document(), 0)[0]["type"].IsNull());
}

TEST(ModelJson, EightBitTextsAreTheirCharacters) {
  Model model;
  Element& element = model.element("caf\xE9");
  element.set_const_text("\x01\"\\");
  model.module("M\xFF").elements = &element;
  const std::string text = model.text();
  EXPECT_NE(text.find("\"name\":\"caf\xC3\xA9\""), std::string::npos);
  EXPECT_NE(text.find("\"const_text\":\"\\u0001\\\"\\\\\""), std::string::npos);
  const rapidjson::Document document = model.document();
  EXPECT_STREQ(document["modules"][0]["name"].GetString(), "M\xC3\xBF");
}

TEST(ModelJson, BodyExpandedAtItsDefinition) {
  Model model;
  Element& stamp = model.element("Stamp", ET_STRUCT);
  Element& when = model.element("when", ET_TIME);
  Element& msg = model.element("Msg", ET_STRUCT);
  Element& ref = model.element("sent", ET_STRUCT);
  stamp.set_children(&when);
  msg.set_children(&ref);
  ref.set_link("Stamp");
  ref.set_children(&when);
  model.module("M").elements = Model::chain({&stamp, &msg});
  const rapidjson::Document document = model.document();
  const auto& list = elements_of(document, 0);
  EXPECT_EQ(list[0]["body"].GetInt(), 1);
  ASSERT_TRUE(list[0].HasMember("children"));
  EXPECT_STREQ(list[0]["children"][0]["name"].GetString(), "when");
  EXPECT_EQ(list[1]["body"].GetInt(), 2);
  const auto& sent = list[1]["children"][0];
  EXPECT_EQ(sent["body"].GetInt(), 1);
  EXPECT_FALSE(sent.HasMember("children"));
  EXPECT_EQ(check_body_rules(document), "");
}

TEST(ModelJson, ReferenceBeforeItsDefinitionOnlyNumbersTheBody) {
  Model model;
  Element& msg = model.element("Msg", ET_STRUCT);
  Element& ref = model.element("sent", ET_STRUCT);
  Element& stamp = model.element("Stamp", ET_STRUCT);
  Element& when = model.element("when", ET_TIME);
  msg.set_children(&ref);
  ref.set_link("Stamp");
  ref.set_children(&when);
  stamp.set_children(&when);
  model.module("M").elements = Model::chain({&msg, &stamp});
  const rapidjson::Document document = model.document();
  const auto& list = elements_of(document, 0);
  const auto& sent = list[0]["children"][0];
  EXPECT_EQ(sent["body"].GetInt(), 2);
  EXPECT_FALSE(sent.HasMember("children"));
  EXPECT_EQ(list[1]["body"].GetInt(), 2);
  ASSERT_TRUE(list[1].HasMember("children"));
  EXPECT_STREQ(list[1]["children"][0]["name"].GetString(), "when");
  EXPECT_EQ(check_body_rules(document), "");
}

TEST(ModelJson, SharedBodyOfPlugCopiesIsWrittenOnce) {
  Model model;
  Element& t1 = model.element("T1", ET_STRUCT);
  Element& t2 = model.element("T2", ET_STRUCT);
  Element& copy1 = model.element("s", ET_STRUCT);
  Element& copy2 = model.element("s", ET_STRUCT);
  Element& x = model.element("x");
  t1.set_children(&copy1);
  t2.set_children(&copy2);
  copy1.set_is_copy(true);
  copy2.set_is_copy(true);
  copy1.set_children(&x);
  copy2.set_children(&x);
  model.module("M").elements = Model::chain({&t1, &t2});
  const rapidjson::Document document = model.document();
  const auto& list = elements_of(document, 0);
  const auto& first = list[0]["children"][0];
  const auto& second = list[1]["children"][0];
  EXPECT_EQ(first["body"].GetInt(), second["body"].GetInt());
  EXPECT_TRUE(first.HasMember("children"));
  EXPECT_FALSE(second.HasMember("children"));
  EXPECT_EQ(check_body_rules(document), "");
}

TEST(ModelJson, BodyThatContainsItself) {
  Model model;
  Element& top = model.element("T", ET_STRUCT);
  Element& member = model.element("m");
  Element& copy = model.element("c", ET_STRUCT);
  top.set_children(Model::chain({&member, &copy}));
  copy.set_is_copy(true);
  copy.set_children(&member);
  model.module("M").elements = &top;
  const rapidjson::Document document = model.document();
  const auto& inner = elements_of(document, 0)[0]["children"];
  ASSERT_EQ(inner.Size(), 2u);
  EXPECT_EQ(inner[1]["body"].GetInt(), 1);
  EXPECT_FALSE(inner[1].HasMember("children"));
  EXPECT_EQ(check_body_rules(document), "");
}

TEST(ModelJson, ModuleElementsEndWhereTheNextModuleBegins) {
  Model model;
  Element& a = model.element("a");
  Element& b = model.element("b");
  Element& c = model.element("c");
  model.module("First").elements = Model::chain({&a, &b, &c});  // merged: runs on into c
  model.module("Second").elements = &c;
  const rapidjson::Document document = model.document();
  ASSERT_EQ(elements_of(document, 0).Size(), 2u);
  EXPECT_STREQ(elements_of(document, 0)[1]["name"].GetString(), "b");
  ASSERT_EQ(elements_of(document, 1).Size(), 1u);
  EXPECT_STREQ(elements_of(document, 1)[0]["name"].GetString(), "c");
}

TEST(ModelJson, TypeListInOrder) {
  Model model;
  Element& u = model.element("U", ET_UNION);
  Element& a = model.element("a");
  Element& s = model.element("s", ET_STRUCT);
  u.set_children(Model::chain({&a, &s}));
  a.set_type_name("U_a");
  a.set_line(3);
  s.set_type_name("Stamp");
  s.set_line(4);
  model.module("M").elements = &u;
  model.captured.run.types = &s;
  s.set_next_type(&a);
  const rapidjson::Document document = model.document();
  const auto& types = document["types"];
  ASSERT_EQ(types.Size(), 2u);
  EXPECT_EQ(member_names(types[0]),
            (std::vector<std::string>{"c_name", "type_name", "line", "path"}));
  EXPECT_STREQ(types[0]["c_name"].GetString(), "s");
  EXPECT_STREQ(types[0]["type_name"].GetString(), "Stamp");
  EXPECT_EQ(types[0]["line"].GetInt(), 4);
  EXPECT_STREQ(types[1]["c_name"].GetString(), "a");
}

TEST(ModelJson, DeepNestingNeedsNoCallStack) {
  Model model;
  constexpr int kDepth = 100000;
  Element* top = &model.element("n", ET_STRUCT);
  Element* parent = top;
  for (int i = 0; i < kDepth; ++i) {
    Element& child = model.element("n", ET_STRUCT);
    parent->set_children(&child);
    parent = &child;
  }
  model.module("M").elements = top;
  const std::string text = model.text();
  EXPECT_EQ(testing::check_json_syntax(text), "");
  std::size_t expansions = 0;
  for (std::size_t at = text.find("\"children\":["); at != std::string::npos;
       at = text.find("\"children\":[", at + 1)) {
    ++expansions;
  }
  EXPECT_EQ(expansions, static_cast<std::size_t>(kDepth));
  // Each level closes its children's array and its element's object.
  std::string closing = "\"is_copy\":false}";
  for (int i = 0; i < kDepth; ++i) closing += "]}";
  EXPECT_TRUE(text.ends_with(closing + "]}],\"types\":[]}\n"));
}

TEST(ModelJson, LongChainOfSharedBodiesStaysFlat) {
  // Each structure holds a reference to the next one: every body is written
  // once, where its structure stands, and the references only number it.
  Model model;
  constexpr int kCount = 20000;
  std::vector<Element*> structures;
  for (int i = 0; i < kCount; ++i) structures.push_back(&model.element("S", ET_STRUCT));
  for (int i = 0; i < kCount; ++i) {
    Element& ref = model.element("r", ET_STRUCT);
    ref.set_link("S");
    ref.set_children(i + 1 < kCount ? structures[static_cast<std::size_t>(i) + 1]->children()
                                    : nullptr);
    structures[static_cast<std::size_t>(i)]->set_children(&ref);
  }
  // Link each reference to the next structure's body now that all exist.
  for (int i = 0; i + 1 < kCount; ++i) {
    structures[static_cast<std::size_t>(i)]->children()->set_children(
        structures[static_cast<std::size_t>(i) + 1]->children());
  }
  model.module("M").elements = Model::chain(structures);
  const std::string text = model.text();
  std::string error;
  const rapidjson::Document document = parse_json(text, error);
  ASSERT_EQ(error, "");
  EXPECT_EQ(elements_of(document, 0).Size(), static_cast<rapidjson::SizeType>(kCount));
  EXPECT_EQ(check_body_rules(document), "");
  // Proportional to the model: well under 1000 bytes per element.
  EXPECT_LT(text.size(), static_cast<std::size_t>(2 * kCount) * 1000u);
}

TEST(ModelJson, DefinitionFromSourceText) {
  testing::CapturedRun captured;
  testing::load_text(captured,
                     "module Shapes;\n"
                     "import Base as B;\n"
                     "struct Point { int<-100..100> x; int<-100..100> y; };\n"
                     "Point origin [0..1] as org;\n"
                     "union Choice { int<0..9> n; Point p; };\n",
                     "shapes.tlq");
  ASSERT_EQ(captured.run.errors, 0) << captured.text();
  ASSERT_EQ(run_analysis(captured.run), 1) << captured.text();
  std::ostringstream out;
  write_model_json(captured.run, out);
  std::string error;
  const rapidjson::Document document = parse_json(out.str(), error);
  ASSERT_EQ(error, "");
  EXPECT_EQ(check_body_rules(document), "");
  const auto& module = document["modules"][0];
  EXPECT_STREQ(module["name"].GetString(), "Shapes");
  EXPECT_STREQ(module["path"].GetString(), "shapes.tlq");
  EXPECT_STREQ(module["imports"][0]["alias"].GetString(), "B");
  const auto& list = module["elements"];
  ASSERT_EQ(list.Size(), 3u);
  EXPECT_STREQ(list[0]["type"].GetString(), "struct");
  EXPECT_EQ(list[0]["children"].Size(), 2u);
  EXPECT_EQ(list[0]["children"][0]["min"].GetUint(), 100u);
  EXPECT_TRUE(list[0]["children"][0]["min_negative"].GetBool());
  EXPECT_STREQ(list[1]["tag"].GetString(), "org");
  EXPECT_EQ(list[1]["cardinality_max"].GetInt(), 1);
  EXPECT_STREQ(list[2]["type"].GetString(), "union");
}

TEST(JsonBackEnd, WritesTheDocument) {
  testing::CapturedRun captured;
  std::ostringstream out;
  json_back_end(out)(captured.run, {});
  EXPECT_EQ(out.str(), "{\"modules\":[],\"types\":[]}\n");
  EXPECT_EQ(captured.run.errors, 0);
  EXPECT_EQ(captured.text(), "");
}

TEST(JsonBackEnd, FailedOutputIsCountedAsAnError) {
  testing::CapturedRun captured;
  std::ostream broken(nullptr);
  json_back_end(broken)(captured.run, {});
  EXPECT_EQ(captured.run.errors, 1);
  EXPECT_EQ(captured.text(), "error: Unable to write the model as JSON\n");
}

}  // namespace
}  // namespace taloq
