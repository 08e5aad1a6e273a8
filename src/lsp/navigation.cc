#include "lsp/navigation.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <unordered_map>

#include "analysis/links.h"
#include "backend_utils/cardinality_printer.h"
#include "backend_utils/type_printers.h"
#include "driver/run_context.h"
#include "lex/char_stream.h"
#include "lex/tokenizer.h"
#include "lsp/written_elements.h"
#include "parse/element.h"
#include "source/parse_context.h"
#include "source/source_file.h"

namespace taloq::lsp {
namespace {

// The link pass follows at most this many references from one element.
constexpr int kMaxHops = 10;

// The keyword that declares each type, by type code.
constexpr std::array<const char*, ET_LINK + 1> kKeywords = {
    "struct", "union",  "combi", "void",  "bool",          "int",     "float",
    "float",  "oid",    "ascii", "unquoted-ascii", "unicode", "bytes",   "const",
    "ipv4",   "ipv6",   "date",  "time",  "embedded",      "reference"};

// The protocol's SymbolKind values used for the outline.
enum SymbolKind : int {
  kModuleSymbol = 2,
  kNamespaceSymbol = 3,
  kEnumSymbol = 10,
  kFieldSymbol = 8,
  kConstantSymbol = 14,
  kObjectSymbol = 19,
  kStructSymbol = 23,
  kTypeParameterSymbol = 26,
};

const char* keyword_of(std::int32_t type) {
  return type >= 0 && type <= ET_LINK ? kKeywords[static_cast<std::size_t>(type)] : "element";
}

bool has_name(const Element& element) {
  return !element.name().empty() && element.name() != kUnsetText;
}

// Which modules of the run were read from the document.
class DocumentModules {
 public:
  DocumentModules(const CheckResult& result, const std::string& path)
      : result_(result), path_(path) {}

  bool holds(const ModuleRecord* module) {
    if (module == nullptr) return false;
    const auto [at, added] = cache_.try_emplace(module, false);
    if (added) at->second = resolve_path(result_.plan.directory, module->path) == path_;
    return at->second;
  }

 private:
  const CheckResult& result_;
  const std::string& path_;
  std::unordered_map<const ModuleRecord*, bool> cache_;
};

std::string_view token_text(const DocumentView& document, const TokenSpan& token) {
  return document.text.substr(token.offset, token.length);
}

int line_of_token(const DocumentView& document, const TokenSpan& token) {
  return static_cast<int>(document.lines.line_of(token.offset)) + 1;
}

// The element whose reference or declared name is `word` on `line` of the
// document, with the module whose text holds it. A name that stands on a
// later line than its keyword belongs to the last element before it.
struct Found {
  const Element* element = nullptr;
  ModuleRecord* module = nullptr;
  bool reference = false;
};

Found element_at(const CheckResult& result, const DocumentView& document, int line,
                 std::string_view word) {
  Found reference;
  Found declared;
  Found earlier;
  DocumentModules modules(result, document.path);
  for_each_written_element(*result.run, [&](const Element& e, ModuleRecord& module) {
    const ModuleRecord* source = e.source() != nullptr ? e.source() : &module;
    if (!modules.holds(source)) return;
    ModuleRecord* owner = &module;
    if (e.line() == line) {
      const auto parsed = result.parsed_references.find(&e);
      if (parsed != result.parsed_references.end() && parsed->second == word) {
        if (reference.element == nullptr) reference = {&e, owner, true};
      } else if (e.name() == word && declared.element == nullptr) {
        declared = {&e, owner, false};
      }
    } else if (e.line() < line && e.name() == word &&
               (earlier.element == nullptr || e.line() > earlier.element->line())) {
      earlier = {&e, owner, false};
    }
  });
  if (reference.element != nullptr) return reference;
  return declared.element != nullptr ? declared : earlier;
}

std::optional<std::size_t> module_index(const RunContext& run, const ModuleRecord* module) {
  for (std::size_t i = 0; i < run.modules.size(); ++i) {
    if (run.modules[i] == module) return i;
  }
  return std::nullopt;
}

const Element* top_level_named(const RunContext& run, const ModuleRecord& module,
                               std::string_view name) {
  const std::optional<std::size_t> index = module_index(run, &module);
  if (!index) return nullptr;
  const Element* end = module_elements_end(run, *index);
  for (const Element* e = module.elements; e != nullptr && e != end; e = e->next()) {
    if (e->name() == name) return e;
  }
  return nullptr;
}

// A reference text the parser accepted has "::" wherever a ':' begins; any
// other would break the module lookup's expectations, so it names nothing.
bool well_formed(std::string_view reference) {
  const std::size_t colon = reference.find(':');
  return colon == std::string_view::npos ||
         (colon + 1 < reference.size() && reference[colon + 1] == ':');
}

// The top-level element a reference names, read in `context` as the link
// pass reads it: a name missing from the module reached tries again there.
const Element* named_element(RunContext& run, ModuleRecord& context, std::string_view reference) {
  if (!well_formed(reference)) return nullptr;
  ModuleRecord* current = &context;
  for (int hop = 0; hop < kMaxHops; ++hop) {
    ModuleRecord* found = nullptr;
    std::string name;
    if (locate_module(run, *current, current->imports, found, name, reference) == 0) {
      return nullptr;
    }
    if (const Element* element = top_level_named(run, *found, name)) return element;
    current = found;
  }
  return nullptr;
}

std::string reference_text(const CheckResult& result, const Element& element) {
  const auto parsed = result.parsed_references.find(&element);
  return parsed != result.parsed_references.end() ? parsed->second : element.link().str();
}

Place place_of(const CheckResult& result, const Element& element);

// Where the definition that a reference element names stands.
std::optional<Place> referenced_place(CheckResult& result, const Found& found) {
  ModuleRecord* context =
      found.element->source() != nullptr ? found.element->source() : found.module;
  const Element* target =
      named_element(*result.run, *context, reference_text(result, *found.element));
  if (target == nullptr) return std::nullopt;
  return place_of(result, *target);
}

Place place_of(const CheckResult& result, const Element& element) {
  const ModuleRecord* module = element.source() != nullptr ? element.source() : element.module();
  return {resolve_path(result.plan.directory, module != nullptr ? module->path : ""),
          element.line(), element.name().str()};
}

// The line of the module statement that names `module`, found in its file's
// tokens; else the line of its first element.
std::optional<Place> module_place(const CheckResult& result, std::string_view module_name,
                                  const TextOf& text_of) {
  const ModuleRecord* module = nullptr;
  for (const ModuleRecord* candidate : result.run->modules) {
    if (candidate->name == module_name) {
      module = candidate;
      break;
    }
  }
  if (module == nullptr) return std::nullopt;
  const std::string path = resolve_path(result.plan.directory, module->path);
  if (const std::optional<std::string_view> text = text_of(path)) {
    const std::vector<TokenSpan> tokens = scan_tokens(*text);
    const LineIndex lines(*text);
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
      if (tokens[i].token == TK_MODULE && tokens[i + 1].token == TK_WORD &&
          text->substr(tokens[i + 1].offset, tokens[i + 1].length) == module_name) {
        return Place{path, static_cast<int>(lines.line_of(tokens[i].offset)) + 1, module->name};
      }
    }
  }
  if (module->elements == nullptr) return Place{path, 1, ""};
  return Place{path, module->elements->line(), ""};
}

// The module an import or extends statement names, when the word at
// `index` is its module name or its alias.
std::optional<std::string> imported_module(const DocumentView& document, std::size_t index) {
  const std::vector<TokenSpan>& tokens = document.tokens;
  auto is_header = [](Token token) { return token == TK_IMPORT || token == TK_EXTENDS; };
  if (index >= 1 && is_header(tokens[index - 1].token)) {
    return std::string(token_text(document, tokens[index]));
  }
  if (index >= 3 && tokens[index - 1].token == TK_AS && tokens[index - 2].token == TK_WORD &&
      is_header(tokens[index - 3].token)) {
    return std::string(token_text(document, tokens[index - 2]));
  }
  return std::nullopt;
}

// The word under the cursor; a cursor between a word and the ';' right
// after it means the word.
std::optional<std::size_t> word_at(const DocumentView& document, std::size_t offset) {
  const std::vector<TokenSpan>& tokens = document.tokens;
  std::optional<std::size_t> index = token_at(tokens, offset);
  if (index && tokens[*index].token != TK_WORD && *index > 0 &&
      tokens[*index - 1].offset + tokens[*index - 1].length == offset) {
    index = *index - 1;
  }
  if (!index || tokens[*index].token != TK_WORD) return std::nullopt;
  return index;
}

// What one of the element utilities' printers writes for the element.
template <typename Print>
std::string printed(RunContext& run, Print print) {
  std::ostringstream out;
  std::ostream* const output = run.output;
  const std::int32_t depth = run.indent_depth;
  const std::int32_t column = run.column;
  const std::int32_t tabs = run.tab_count;
  run.output = &out;
  run.indent_depth = run.column = run.tab_count = 0;
  print(run);
  run.output = output;
  run.indent_depth = depth;
  run.column = column;
  run.tab_count = tabs;
  return out.str();
}

std::string signed_bound(std::uint32_t magnitude, bool negative) {
  return (negative ? "-" : "") + std::to_string(magnitude);
}

// The constraint as written between '<' and '>', from the model's fields.
std::string constraint_of(const Element& e) {
  std::string text;
  if (e.type() == ET_CONST) return e.const_text().str();
  if (e.type() == ET_DOUBLE) return "double";
  if (e.constrained()) {
    text = signed_bound(e.min(), e.min_negative());
    if (e.max() != e.min() || e.max_negative() != e.min_negative()) {
      text += ".." + signed_bound(e.max(), e.max_negative());
    }
  }
  if (e.z_flag()) text += "z";
  if (!e.pattern().is_null()) text += (text.empty() ? "/" : " /") + e.pattern().str() + "/";
  return text;
}

std::string kind_of(RunContext& run, const Element& e) {
  if (is_constructed(e.type())) {
    return printed(run, [&e](RunContext& r) { print_compound_kind(r, 0, &e); });
  }
  if (e.type() == ET_LINK || !e.link().empty() || e.type() < 0 || e.type() > ET_LINK) {
    return "reference, not resolved";
  }
  std::string kind = keyword_of(e.type());
  const std::string type = printed(run, [&e](RunContext& r) { print_type_name(r, 0, &e); });
  if (type != kind) kind += " (" + type + ")";
  return kind;
}

void add_symbol_range(Symbol& symbol) {
  for (const Symbol& child : symbol.children) {
    symbol.last_line = std::max(symbol.last_line, child.last_line);
  }
}

Symbol element_symbol(const CheckResult& result, const Element& e, bool top_level) {
  Symbol symbol;
  symbol.name = has_name(e) ? e.name().str() : "(unnamed)";
  const auto parsed = result.parsed_references.find(&e);
  const bool reference = parsed != result.parsed_references.end();
  symbol.detail = reference ? parsed->second : keyword_of(e.type());
  if (!reference && !is_constructed(e.type())) {
    const std::string constraint = constraint_of(e);
    if (!constraint.empty()) symbol.detail += "<" + constraint + ">";
  }
  symbol.line = symbol.last_line = e.line();
  if (reference || !is_constructed(e.type())) {
    symbol.kind = !top_level ? kFieldSymbol
                  : e.type() == ET_CONST ? kConstantSymbol
                                         : kTypeParameterSymbol;
  } else {
    symbol.kind = e.type() == ET_STRUCT ? kStructSymbol
                  : e.type() == ET_UNION ? kEnumSymbol
                                         : kObjectSymbol;
  }
  return symbol;
}

// The symbols of a list written in the document and of the bodies within
// it, by an explicit stack: bodies may nest a thousand deep.
std::vector<Symbol> list_symbols(const CheckResult& result, const Element* first,
                                 const Element* end, bool top_level) {
  struct Frame {
    const Element* at;
    const Element* end;
    std::vector<Symbol>* into;
    bool top_level;
  };
  std::vector<Symbol> symbols;
  std::vector<Frame> stack{{first, end, &symbols, top_level}};
  // Symbols whose children are complete get their ranges when their frame
  // ends; the pointers stay valid because a vector is only appended to
  // while it is on top of the stack.
  std::vector<Symbol*> owners{nullptr};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.at == nullptr || frame.at == frame.end) {
      if (owners.back() != nullptr) add_symbol_range(*owners.back());
      stack.pop_back();
      owners.pop_back();
      continue;
    }
    const Element& e = *frame.at;
    frame.at = e.next();
    if (e.is_copy()) continue;
    frame.into->push_back(element_symbol(result, e, frame.top_level));
    Symbol& added = frame.into->back();
    if (has_own_body(e)) {
      std::vector<Symbol>* children = &added.children;
      stack.push_back({e.children(), nullptr, children, false});
      owners.push_back(&added);
    }
  }
  return symbols;
}

}  // namespace

std::vector<TokenSpan> scan_tokens(std::string_view text) {
  // The reader may warn of a comment left open; nobody hears it here.
  std::ostream discard(nullptr);
  RunContext run;
  run.console = &discard;
  CharStream stream(text);
  ParseContext ctx;
  ctx.stream = &stream;
  ctx.run = &run;
  ctx.line = skip_to_start_marker(stream);
  std::vector<TokenSpan> tokens;
  TokenText token_text;
  for (;;) {
    const Token token = next_token(ctx, token_text);
    if (token == TK_EOF) break;
    const std::size_t end = std::max(stream.position(), ctx.token_start);
    tokens.push_back({ctx.token_start, std::min(token_text.size(), end - ctx.token_start), token});
  }
  return tokens;
}

std::optional<std::size_t> token_at(const std::vector<TokenSpan>& tokens, std::size_t offset) {
  const auto after = std::upper_bound(
      tokens.begin(), tokens.end(), offset,
      [](std::size_t value, const TokenSpan& token) { return value < token.offset; });
  if (after == tokens.begin()) return std::nullopt;
  const auto index = static_cast<std::size_t>(after - tokens.begin()) - 1;
  if (offset <= tokens[index].offset + tokens[index].length) return index;
  return std::nullopt;
}

std::optional<Place> find_definition(CheckResult& result, const DocumentView& document,
                                     std::size_t offset, const TextOf& text_of) {
  const std::optional<std::size_t> index = word_at(document, offset);
  if (!index) return std::nullopt;
  if (const std::optional<std::string> module = imported_module(document, *index)) {
    return module_place(result, *module, text_of);
  }
  const TokenSpan& token = document.tokens[*index];
  const Found found =
      element_at(result, document, line_of_token(document, token), token_text(document, token));
  if (found.element == nullptr) return std::nullopt;
  if (!found.reference) return place_of(result, *found.element);
  return referenced_place(result, found);
}

std::optional<std::string> hover_text(CheckResult& result, const DocumentView& document,
                                      std::size_t offset) {
  const std::optional<std::size_t> index = word_at(document, offset);
  if (!index) return std::nullopt;
  const TokenSpan& token = document.tokens[*index];
  const Found found =
      element_at(result, document, line_of_token(document, token), token_text(document, token));
  if (found.element == nullptr) return std::nullopt;
  const Element& e = *found.element;
  RunContext& run = *result.run;
  std::string text = "**" + (has_name(e) ? e.name().str() : std::string("(unnamed)")) + "** (" +
                     keyword_of(found.reference ? ET_LINK : e.type()) + ")\n\n";
  auto item = [&text](std::string_view label, std::string_view value) {
    text.append("- ").append(label).append(": `").append(value).append("`\n");
  };
  item("kind", kind_of(run, e));
  if (const std::string constraint = constraint_of(e); !constraint.empty()) {
    item("constraint", "<" + constraint + ">");
  }
  if (e.has_cardinality()) {
    item("cardinality", printed(run, [&e](RunContext& r) { print_cardinality(r, 0, &e); }));
  }
  item("tag", e.tag().empty() ? "(none)" : e.tag().view());
  if (e.type_name() != kUnsetText && !e.type_name().empty()) item("type name", e.type_name());
  if (has_name(e)) item("C name", e.c_name());
  if (result.parsed_references.contains(&e)) {
    const std::optional<Place> target = referenced_place(result, found);
    std::string refers = reference_text(result, e);
    if (target) {
      const std::size_t slash = target->path.rfind('/');
      refers += " (" + target->path.substr(slash == std::string::npos ? 0 : slash + 1) +
                ", line " + std::to_string(target->line) + ")";
    }
    item("refers to", refers);
  }
  return text;
}

std::vector<Symbol> document_symbols(const CheckResult& result, const DocumentView& document) {
  std::vector<Symbol> symbols;
  const RunContext& run = *result.run;
  DocumentModules modules(result, document.path);
  // The line of each module statement of the document, in order.
  std::vector<int> statement_lines;
  for (std::size_t i = 0; i + 1 < document.tokens.size(); ++i) {
    if (document.tokens[i].token == TK_MODULE) {
      statement_lines.push_back(line_of_token(document, document.tokens[i]));
    }
  }
  for (std::size_t i = 0; i < run.modules.size(); ++i) {
    const ModuleRecord& module = *run.modules[i];
    if (!modules.holds(&module)) continue;
    Symbol symbol;
    symbol.name = module.name.empty() ? "(unnamed module)" : module.name;
    symbol.detail = "module";
    symbol.kind = kModuleSymbol;
    symbol.children = list_symbols(result, module.elements, module_elements_end(run, i), true);
    for (const PlugRecord& plug : module.plugs) {
      Symbol& plugged = symbol.children.emplace_back();
      plugged.name = "plug";
      for (auto target = plug.into.rbegin(); target != plug.into.rend(); ++target) {
        plugged.name += (target == plug.into.rbegin() ? " into " : ", ") + target->target;
      }
      plugged.kind = kNamespaceSymbol;
      plugged.line = plugged.last_line = plug.line > 0 ? plug.line : 1;
      // What a plug holds becomes members of its targets.
      plugged.children = list_symbols(result, plug.body, nullptr, false);
      add_symbol_range(plugged);
    }
    std::sort(symbol.children.begin(), symbol.children.end(),
              [](const Symbol& a, const Symbol& b) { return a.line < b.line; });
    const int first = symbol.children.empty() ? 1 : symbol.children.front().line;
    // The module statement is the last one before its first element.
    symbol.line = first;
    for (const int line : statement_lines) {
      if (line <= first) symbol.line = line;
    }
    symbol.last_line = symbol.line;
    add_symbol_range(symbol);
    symbols.push_back(std::move(symbol));
  }
  return symbols;
}

}  // namespace taloq::lsp
