#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lex/token.h"
#include "lsp/check_run.h"
#include "lsp/text_lines.h"

namespace taloq::lsp {

// One token of a source as the checker's tokenizer reads it, and where its
// text stands.
struct TokenSpan {
  std::size_t offset = 0;
  std::size_t length = 0;
  Token token = TK_EOF;
};

// The tokens of a source text from its start marker on, as the parser's
// ordinary reader gives them (comments removed).
std::vector<TokenSpan> scan_tokens(std::string_view text);

// The index of the token that holds the byte at `offset`, or of the one
// that ends right there (a cursor just after a word); none between tokens.
std::optional<std::size_t> token_at(const std::vector<TokenSpan>& tokens, std::size_t offset);

// The document a request is about, as the editor holds it.
struct DocumentView {
  std::string path;  // absolute
  std::string_view text;
  const LineIndex& lines;
  const std::vector<TokenSpan>& tokens;
};

// The text of any file of the run by absolute path (open or on disk).
using TextOf = std::function<std::optional<std::string_view>(const std::string& path)>;

struct Place {
  std::string path;  // absolute
  int line = 0;      // from 1
  std::string name;  // the text to place the cursor on in that line, if any
};

// Where the word at `offset` leads: a reference to the top-level definition
// it names (read as the link pass reads it: the module part through the
// module's imports, and so on), the module name or alias of an import or
// extends statement to that module's statement, a declared name to itself.
std::optional<Place> find_definition(CheckResult& result, const DocumentView& document,
                                     std::size_t offset, const TextOf& text_of);

// What the element whose name or reference stands at `offset` is, as
// Markdown: kind, constraint, cardinality, tag, constructed type name and C
// name, as the element utilities print them from the analysed model.
std::optional<std::string> hover_text(CheckResult& result, const DocumentView& document,
                                      std::size_t offset);

// The outline of the document: its modules, their top-level definitions and
// plug extensions, and the members of each body written there.
struct Symbol {
  std::string name;
  std::string detail;
  int kind = 0;       // the protocol's SymbolKind
  int line = 0;       // from 1
  int last_line = 0;  // of its last member
  std::vector<Symbol> children;
};
std::vector<Symbol> document_symbols(const CheckResult& result, const DocumentView& document);

}  // namespace taloq::lsp
