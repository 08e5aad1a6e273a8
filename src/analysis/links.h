#pragma once

#include <deque>
#include <string>
#include <string_view>

namespace taloq {

struct RunContext;
struct ModuleRecord;
struct ModuleAlias;
class Element;
class ModuleIndex;

// Splits a reference text into module part and name part and finds the
// module: a plain name lies in `current`; "module::name" names a module of
// the run, after one replacement of the module part through `aliases` (the
// first node whose alias equals it). The name part ends at the next ":".
// Returns 1 with `found` set, or 0 when no module has that name (`name` is
// filled all the same).
int locate_module(RunContext& run, ModuleRecord& current, const std::deque<ModuleAlias>& aliases,
                  ModuleRecord*& found, std::string& name, std::string_view link);
int locate_module(ModuleIndex& index, ModuleRecord& current, const std::deque<ModuleAlias>& aliases,
                  ModuleRecord*& found, std::string& name, std::string_view link);

// Gives a link element the definition its reference leads to, following
// references through at most ten hops. Returns 1 when the element now
// carries a definition, 0 when the chain was not resolved.
int resolve_link(RunContext& run, ModuleRecord& module, Element& element);

// Resolves every link element of a list and of the bodies of its structures
// and unions, reading references in the context of `module`; a link that
// cannot be resolved is reported.
void resolve_links(RunContext& run, ModuleRecord& module, Element* list);

// The link pass: resolve_links over every module's elements, in load order.
void resolve_all_links(RunContext& run);

}  // namespace taloq
