#include "lsp/navigation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace taloq::lsp {
namespace {

// Two modules in one document that is no file, checked as the server
// checks an unsaved new document.
constexpr std::string_view kDocument =
    "taloq module Lib;\n"               // 1
    "int<1..9> Digit;\n"                // 2
    "struct Point { Digit x; };\n"      // 3
    "endmodule;\n"                      // 4
    "taloq module App;\n"               // 5
    "import Lib as L;\n"                // 6
    "L::Point origin [0..1];\n"         // 7
    "struct Box {\n"                    // 8
    "  Lib::Digit /* a side */ side;\n" // 9
    "};\n";                             // 10

struct Checked {
  explicit Checked(std::string text)
      : text(std::move(text)), lines(this->text), tokens(scan_tokens(this->text)) {
    result = run_check(plan_run(kPath, {}), [this](const std::string& path) {
      return path == kPath ? &this->text : nullptr;
    });
  }
  DocumentView view() const { return {kPath, text, lines, tokens}; }
  std::size_t offset(int line, std::size_t column) const {
    return lines.line_start(static_cast<std::size_t>(line - 1)) + column;
  }
  // The document is the only file of its run.
  TextOf text_of() const {
    return [this](const std::string& path) -> std::optional<std::string_view> {
      if (path == kPath) return text;
      return std::nullopt;
    };
  }

  static constexpr const char* kPath = "untitled:nav.tlq";
  std::string text;
  LineIndex lines;
  std::vector<TokenSpan> tokens;
  std::unique_ptr<CheckResult> result;
};

TEST(FindDefinition, FollowsReferencesAliasesAndModuleNames) {
  const std::string broken = std::string(kDocument) + "int count;\n";
  struct Case {
    int line;
    std::size_t column;
    std::optional<int> target;
  };
  const std::vector<Case> cases = {
      {3, 15, 2},           // a plain reference
      {3, 20, 2},           // the cursor just after the word
      {7, 3, 3},            // through the alias of an import
      {9, 4, 2},            // by the module's own name, a comment before the member's name
      {6, 14, 1},           // an alias: the module's statement
      {6, 8, 1},            // the module name of an import
      {7, 10, 7},           // a declared name: itself
      {9, 26, 9},           // a name after a comment
      {8, 2, std::nullopt},  // a keyword
      {9, 0, std::nullopt},  // blanks
      {8, 11, std::nullopt},  // punctuation a blank away from a word
  };
  for (const std::string& text : {std::string(kDocument), broken}) {
    Checked checked(text);
    for (const Case& c : cases) {
      const std::optional<Place> place = find_definition(
          *checked.result, checked.view(), checked.offset(c.line, c.column), checked.text_of());
      EXPECT_EQ(place ? std::optional<int>(place->line) : std::nullopt, c.target)
          << "line " << c.line << " column " << c.column << (text.size() > kDocument.size() ? " (broken)" : "");
      if (place) {
        EXPECT_EQ(place->path, Checked::kPath);
      }
    }
  }
}

TEST(HoverText, ShowsTheAnalysedElement) {
  Checked checked{std::string(kDocument)};
  auto hover = [&](int line, std::size_t column) {
    return hover_text(*checked.result, checked.view(), checked.offset(line, column))
        .value_or("(none)");
  };
  const std::string origin = hover(7, 0);
  for (const char* shown : {"**origin** (reference)", "- kind: `struct`", "- cardinality: `[0..1]`",
                            "- tag: `origin`", "- type name: `", "- refers to: `L::Point (untitled:nav.tlq, line 3)`"}) {
    EXPECT_NE(origin.find(shown), std::string::npos) << shown << " in\n" << origin;
  }
  // On the element's name as on its reference.
  EXPECT_NE(hover(7, 10).find("- refers to: `L::Point"), std::string::npos);
  const std::string digit = hover(2, 11);
  for (const char* shown : {"**Digit** (int)", "- kind: `int (uns8)`", "- constraint: `<1..9>`",
                            "- C name: `Digit`"}) {
    EXPECT_NE(digit.find(shown), std::string::npos) << shown << " in\n" << digit;
  }
  EXPECT_EQ(hover(10, 0), "(none)");
  // A declaration whose name is missing still shows what it refers to.
  Checked nameless{std::string(kDocument) + "L::Point ;\n"};
  const std::string shown =
      hover_text(*nameless.result, nameless.view(), nameless.offset(11, 3)).value_or("(none)");
  EXPECT_TRUE(shown.starts_with("**(unnamed)** (reference)")) << shown;
}

TEST(DocumentSymbols, OutlineModulesDefinitionsAndMembers) {
  Checked checked{std::string(kDocument)};
  std::vector<std::string> outline;
  std::function<void(const Symbol&, const std::string&)> add = [&](const Symbol& s,
                                                                   const std::string& indent) {
    outline.push_back(indent + s.name + " " + s.detail + " " + std::to_string(s.kind) + " " +
                      std::to_string(s.line) + "-" + std::to_string(s.last_line));
    for (const Symbol& child : s.children) add(child, indent + "  ");
  };
  for (const Symbol& s : document_symbols(*checked.result, checked.view())) add(s, "");
  EXPECT_EQ(outline, (std::vector<std::string>{
                         "Lib module 2 1-3",
                         "  Digit int<1..9> 26 2-2",
                         "  Point struct 23 3-3",
                         "    x Digit 8 3-3",
                         "App module 2 5-9",
                         "  origin L::Point 26 7-7",
                         "  Box struct 23 8-9",
                         "    side Lib::Digit 8 9-9",
                     }));
}

// Each kind of definition is shown by the keyword that declares it.
TEST(DocumentSymbols, DetailIsTheDeclaringKeyword) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"bool B;", "bool"},
      {"int<0..9> I;", "int<0..9>"},
      {"float F;", "float"},
      {"oid O;", "oid"},
      {"ascii<1..5> A;", "ascii<1..5>"},
      {"unquoted-ascii<1..5> U;", "unquoted-ascii<1..5>"},
      {"unicode<1..5> W;", "unicode<1..5>"},
      {"bytes<1..5> Y;", "bytes<1..5>"},
      {"ipv4 V4;", "ipv4"},
      {"ipv6 V6;", "ipv6"},
      {"date Da;", "date"},
      {"time Ti;", "time"},
      {"embedded E;", "embedded"},
      {"void N;", "void"},
      {"union Un { bool a; };", "union"},
  };
  std::string text = "taloq module K;\n";
  for (const auto& c : cases) text += c.first + "\n";
  Checked checked{text};
  const std::vector<Symbol> symbols = document_symbols(*checked.result, checked.view());
  ASSERT_EQ(symbols.size(), 1u);
  ASSERT_EQ(symbols[0].children.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(symbols[0].children[i].detail, cases[i].second) << cases[i].first;
  }
}

}  // namespace
}  // namespace taloq::lsp
