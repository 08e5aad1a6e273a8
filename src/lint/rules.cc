#include "lint/rules.h"

namespace taloq::lint {

namespace {

constexpr Rule kRules[] = {
    {"impossible-bounds", Level::kWarning,
     "a range, length or cardinality whose lower bound exceeds its upper, or a negative length",
     Stage::kParsed, check_impossible_bounds},
    {"clamped-number", Level::kWarning,
     "a bound above 4294967295 that is read as 4294967295, or a cardinality that wraps",
     Stage::kParsed, check_clamped_numbers},
    {"duplicate-name", Level::kWarning,
     "two members of one body with one name or tag, two top-level definitions of one name",
     Stage::kParsed, check_duplicates},
    {"unclosed-bracket", Level::kWarning,
     "a version bracket \"[\" still open at the end of its body", Stage::kParsed,
     check_unclosed_brackets},
    {"import", Level::kWarning,
     "an import or extends of a module that no file of the run defines; an alias nothing uses",
     Stage::kParsed, check_imports},
    {"unresolved-reference", Level::kWarning,
     "why a reference could not be expanded, and the nearest name in scope", Stage::kUnresolved,
     check_unresolved_references},
    {"never-finite", Level::kWarning,
     "a cycle of required structure members: no message of that type can be built",
     Stage::kResolved, check_never_finite},
    {"configuration", Level::kWarning,
     "a configuration line the format does not know, an ignored prefix, an item path that "
     "names nothing",
     Stage::kParsed, check_configuration},
    {"discarded-input", Level::kWarning,
     "a source that gives the run no module; a module dropped with its plugs and imports",
     Stage::kParsed, check_discarded_input},
};

}  // namespace

std::span<const Rule> rule_table() {
  return kRules;
}

}  // namespace taloq::lint
