#include "lex/names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace taloq {
namespace {

struct Case {
  const char* text;
  bool expected;
};

void expect_all(bool (*predicate)(std::string_view), const std::vector<Case>& cases,
                const char* name) {
  for (const Case& c : cases) {
    EXPECT_EQ(predicate(c.text), c.expected) << name << "(\"" << c.text << "\")";
  }
}

TEST(Names, IsIdentifier) {
  expect_all(is_identifier,
             {{"a", true},
              {"a-b", true},
              {"x_1", true},
              {"Z9-_z", true},
              {"", false},
              {"_a", false},
              {"1a", false},
              {"a.b", false},
              {"a:b", false},
              {"a b", false},
              {"-a", false},
              {"+a", false},
              {"a\xe9", false},
              {"\xe9", false},
              {"a+", false},
              {"a?", false}},
             "is_identifier");
}

TEST(Names, ToIdentifierReplacesConnectors) {
  for (const auto& [in, out] : std::vector<std::pair<std::string, std::string>>{{"a-b", "a_b"},
                                                                                {"a.b:c", "a_b_c"},
                                                                                {"x_y", "x_y"},
                                                                                {"--", "__"},
                                                                                {"", ""},
                                                                                {"ab9", "ab9"},
                                                                                {"z:", "z_"}}) {
    std::string text = in;
    EXPECT_EQ(has_non_identifier_char(in), in != out) << in;
    to_identifier(text);
    EXPECT_EQ(text, out) << in;
  }
}

TEST(Names, IsTag) {
  expect_all(is_tag, {{"t", true},    {"?opt", true}, {"a(b", true},  {"*", true},   {"?", true},
                      {"a[b", true},  {"a\"b", true}, {"a-b", true},  {"t{", true},  {"_x", true},
                      {"a'b", true},  {"\xe9", true}, {"", false},    {"9a", false}, {"-a", false},
                      {"=a", false},  {",a", false},  {"\"a", false}, {"'a", false}, {"{a", false},
                      {"}a", false},  {"(a", false},  {")a", false},  {"[a", false}, {"a)b", false},
                      {"a=b", false}, {"a}b", false}, {"a,b", false}, {"]a", true}},
             "is_tag");
}

TEST(Names, IsConstExpression) {
  expect_all(is_const_expression,
             {{"-1", true},   {"12", true},   {"MAX - 1", true}, {" x", true},   {"a/b", true},
              {"a(b", true},  {"9x", true},   {"/x", true},      {"//x", false}, {"/*x", false},
              {"", false},    {"a,b", false}, {"(a)", false},    {"=a", false},  {"a=b", false},
              {"a}b", false}, {"{a", false},  {"'a'", false},    {"\"a", false}, {"[a", false},
              {")a", false},  {"a)", false}},
             "is_const_expression");
}

TEST(Names, IsModuleName) {
  expect_all(is_module_name,
             {{"+core.types", true},
              {"Sys-1", true},
              {"a_b", true},
              {"A", true},
              {"+", true},
              {"1abc", false},
              {"a:b", false},
              {"a b", false},
              {"", false},
              {"_a", false},
              {"-a", false},
              {"a+", false},
              {"a::b", false},
              {"a\xe9", false}},
             "is_module_name");
}

TEST(Names, IsReferenceName) {
  expect_all(is_reference_name,
             {{"Type", true},
              {"+Base", true},
              {"mod.sub::Type", true},
              {"mod::Type.part", true},
              {"m::T-x_1", true},
              {"m::T:rest!", true},
              {"+", true},
              {"a.b", false},
              {"a:b", false},
              {"mod::", false},
              {"mod::1x", false},
              {"mod::+x", false},
              {"", false},
              {"1a", false},
              {"_a", false},
              {"{", false},
              {";", false},
              {"a::b!", false},
              {"a!", false},
              {"::a", false},
              {"a:::b", false}},
             "is_reference_name");
}

}  // namespace
}  // namespace taloq
