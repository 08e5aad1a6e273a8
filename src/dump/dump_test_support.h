#pragma once

// Helpers of the JSON writer's tests: parsing a written document and
// checking its body rules.

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace taloq::testing {

// Parses a document; deep nesting is parsed without recursion. `error`
// receives the parser's message, empty on success.
inline rapidjson::Document parse_json(const std::string& text, std::string& error) {
  rapidjson::Document document;
  document.Parse<rapidjson::kParseIterativeFlag>(text.c_str(), text.size());
  error.clear();
  if (document.HasParseError()) {
    error = std::string(rapidjson::GetParseError_En(document.GetParseError())) + " at offset " +
            std::to_string(document.GetErrorOffset());
  }
  return document;
}

// Checks that a text is one JSON document, without building it; deep
// nesting is read without recursion. Returns the parser's message, empty
// when the text is valid.
inline std::string check_json_syntax(const std::string& text) {
  rapidjson::Reader reader;
  rapidjson::BaseReaderHandler<> ignore;
  rapidjson::StringStream stream(text.c_str());
  const rapidjson::ParseResult result =
      reader.Parse<rapidjson::kParseIterativeFlag>(stream, ignore);
  if (!result) {
    return std::string(rapidjson::GetParseError_En(result.Code())) + " at offset " +
           std::to_string(result.Offset());
  }
  return {};
}

// Checks the body rules over the elements of all modules, in document
// order: every element with a body carries its number; "children" stands at
// the first element with that body and an empty link, and nowhere else.
// Returns an empty text when they hold, else what is wrong.
inline std::string check_body_rules(const rapidjson::Value& document) {
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
    const std::int64_t body = element["body"].GetInt64();
    const bool expands = element["link"].GetStringLength() == 0 && expanded.insert(body).second;
    if (expands != has_children) {
      return name + (has_children ? ": children where none belong" : ": children missing");
    }
    if (has_children) open.emplace_back(&element["children"], 0);
  }
  return {};
}

}  // namespace taloq::testing
