#pragma once

namespace taloq {

struct RunContext;
struct ModuleRecord;
class Element;

// The plug pass: expand_module_plugs for every module that has plug
// extensions, in load order.
void expand_plugs(RunContext& run);

// Appends copies of each plug body of `plugging` to the body of every into
// target, qualifying plain references of the copies with the plugging
// module's name.
void expand_module_plugs(RunContext& run, ModuleRecord& plugging);

// Copies the top-level elements of a plug body (their bodies stay shared)
// and returns the first copy, or null for an empty body.
Element* copy_plug_body(RunContext& run, const Element* body);

}  // namespace taloq
