// The rules on the elements as written: bounds, numbers, names, brackets.

#include <cstdint>
#include <map>
#include <string>

#include "driver/run_context.h"
#include "lex/char_class.h"
#include "lint/lint_context.h"
#include "lint/model_walk.h"
#include "lint/rules.h"
#include "parse/element.h"

namespace taloq::lint {
namespace {

constexpr std::string_view kLargestBound = "4294967295";

std::int64_t signed_bound(std::uint32_t magnitude, bool negative) {
  return negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
}

// A length bounds characters or bytes; an integer's range bounds values.
bool bounds_a_length(std::int32_t type) {
  return type == ET_ASCII || type == ET_UNQUOTED_ASCII || type == ET_UNICODE || type == ET_BYTES;
}

bool takes_range(std::int32_t type) {
  return type == ET_INTEGER || type == ET_EMBEDDED || bounds_a_length(type);
}

std::string bounds_text(const Element& e) {
  return std::to_string(signed_bound(e.min(), e.min_negative())) + ".." +
         std::to_string(signed_bound(e.max(), e.max_negative()));
}

void check_constraint(LintContext& lint, const Element& e) {
  if (!e.constrained() || !takes_range(e.type())) return;
  const std::int64_t lower = signed_bound(e.min(), e.min_negative());
  const std::int64_t upper = signed_bound(e.max(), e.max_negative());
  const char* what = bounds_a_length(e.type()) ? "length" : "range";
  if (bounds_a_length(e.type()) && (lower < 0 || upper < 0)) {
    lint.report(file_of(e), e.line(),
                std::string("length ") + bounds_text(e) + " of " + element_label(e) +
                    " is negative: a length counts characters or bytes, from 0");
  } else if (lower > upper) {
    lint.report(file_of(e), e.line(),
                std::string(what) + " " + bounds_text(e) + " of " + element_label(e) +
                    " is empty: its lower bound is above its upper bound");
  }
}

void check_cardinality(LintContext& lint, const Element& e) {
  if (!e.has_cardinality() || e.cardinality_max() < 0) return;
  if (e.cardinality_min() <= static_cast<std::uint32_t>(e.cardinality_max())) return;
  lint.report(file_of(e), e.line(),
              "cardinality [" + std::to_string(e.cardinality_min()) + ".." +
                  std::to_string(e.cardinality_max()) + "] of " + element_label(e) +
                  " cannot be met: at least " + std::to_string(e.cardinality_min()) +
                  " but at most " + std::to_string(e.cardinality_max()) + " occurrences");
}

// True when a number text, as the tokenizer delivers it, stands for more
// than the largest bound (hexadecimal or decimal; a mask of at most 32 bits
// never does, and a larger one is the checker's own error).
bool above_largest_bound(std::string_view text) {
  if (text.starts_with('-')) text.remove_prefix(1);
  const bool hexadecimal = text.starts_with("0x");
  if (!hexadecimal && (text.ends_with('b') || text.ends_with('B'))) return false;
  if (hexadecimal) text.remove_prefix(2);
  std::size_t digits = 0;
  while (digits < text.size() &&
         (hexadecimal ? is_xdigit(static_cast<unsigned char>(text[digits]))
                      : is_digit(static_cast<unsigned char>(text[digits])))) {
    ++digits;
  }
  text = text.substr(0, digits);
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  if (hexadecimal) return text.size() > 8;
  return text.size() > kLargestBound.size() ||
         (text.size() == kLargestBound.size() && text > kLargestBound);
}

std::string body_label(const Body& body) {
  switch (body.kind) {
    case BodyKind::kTopLevel: return module_label(*body.module);
    case BodyKind::kPlug: return "the plug extension at line " + std::to_string(body.plug_line);
    case BodyKind::kMembers: break;
  }
  return element_label(*body.owner);
}

// The first two elements of a body that share a name (or a tag), and how
// many do: a name written a thousand times is one mistake to report, not a
// thousand.
struct Sharing {
  const Element* first = nullptr;
  const Element* second = nullptr;
  std::size_t count = 0;

  void add(const Element* e) {
    if (first == nullptr) {
      first = e;
    } else if (second == nullptr) {
      second = e;
    }
    ++count;
  }
};

void check_body_names(LintContext& lint, const Body& body) {
  std::map<std::string, Sharing, std::less<>> names;
  std::map<std::string, Sharing, std::less<>> tags;
  for (const Element* e = body.first; e != nullptr && e != body.end; e = e->next()) {
    if (!has_name(*e)) continue;
    Sharing& named = names[e->name().str()];
    named.add(e);
    // Tags tell members apart in a message; at the top level they name
    // nothing that shares a body. A member named twice is reported once.
    if (named.count > 1 || body.kind == BodyKind::kTopLevel || e->tag().empty() ||
        e->tag() == kUnsetText) {
      continue;
    }
    tags[e->tag().str()].add(e);
  }
  for (const auto& [name, named] : names) {
    if (named.count < 2) continue;
    const Element& second = *named.second;
    const std::string first_line = std::to_string(named.first->line());
    const std::string times = named.count == 2 ? "twice" : std::to_string(named.count) + " times";
    if (body.kind == BodyKind::kTopLevel) {
      lint.report(file_of(second), second.line(),
                  name + " is defined " + times + " in " + body_label(body) +
                      ": references use the first definition, at line " + first_line +
                      ", and never this one" +
                      (named.count == 2 ? ""
                                        : " or the " + std::to_string(named.count - 2) +
                                              " after it"));
    } else {
      lint.report(file_of(second), second.line(),
                  "member " + name + " is declared " + times + " in " + body_label(body) +
                      " (first at line " + first_line + ")");
    }
  }
  for (const auto& [tag, tagged] : tags) {
    if (tagged.count < 2) continue;
    const Element& first = *tagged.first;
    const Element& second = *tagged.second;
    lint.report(file_of(second), second.line(),
                "members " + first.name().str() + " and " + second.name().str() + " of " +
                    body_label(body) + " have the same tag " + tag + " (" + first.name().str() +
                    " is at line " + std::to_string(first.line()) + ")" +
                    (tagged.count == 2
                         ? ""
                         : ", and so have " + std::to_string(tagged.count - 2) + " more"));
  }
}

}  // namespace

void check_impossible_bounds(LintContext& lint) {
  for (const Body& body : written_bodies(lint.run())) {
    for (const Element* e = body.first; e != nullptr && e != body.end; e = e->next()) {
      check_constraint(lint, *e);
      check_cardinality(lint, *e);
    }
  }
}

void check_clamped_numbers(LintContext& lint) {
  for (const NotedText& number : lint.run().notes.numbers_at_maximum) {
    if (!above_largest_bound(number.text)) continue;
    lint.report(number.file, number.line,
                number.text + " is above 4294967295, the largest bound, and is read as 4294967295");
  }
  // A cardinality is kept in 32 signed bits: an upper bound above
  // 2147483647 turns negative, and back ends read it as such.
  for (const Body& body : written_bodies(lint.run())) {
    for (const Element* e = body.first; e != nullptr && e != body.end; e = e->next()) {
      if (!e->has_cardinality() || e->cardinality_max() >= -1) continue;
      lint.report(file_of(*e), e->line(),
                  "the upper bound of the cardinality of " + element_label(*e) + ", " +
                      std::to_string(static_cast<std::uint32_t>(e->cardinality_max())) +
                      ", is above 2147483647 and is read as " +
                      std::to_string(e->cardinality_max()));
    }
  }
}

void check_duplicates(LintContext& lint) {
  for (const Body& body : written_bodies(lint.run())) check_body_names(lint, body);
}

void check_unclosed_brackets(LintContext& lint) {
  for (const NotedText& bracket : lint.run().notes.open_brackets) {
    lint.report(bracket.file, bracket.line,
                "version bracket \"[\" is never closed: its body ends first");
  }
}

}  // namespace taloq::lint
