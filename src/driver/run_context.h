#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/front_end_notes.h"
#include "driver/stable_store.h"
#include "parse/element.h"
#include "source/module_record.h"

namespace taloq {

class RunObserver;

// The one record of a run: the modules, the lists the analysis builds, the
// counters, the printer state of the element utilities, option values kept
// for back ends, and the storage that owns every record of the model.
struct RunContext {
  RunContext();
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  // Modules kept from all source files, in load order; the first is the main
  // module of the analysis.
  std::vector<ModuleRecord*> modules;
  Element* merged_elements = nullptr;
  Element* types = nullptr;
  // Options for back ends; the checker sets them and never reads them.
  std::string_view prefix_option_1;
  std::string_view prefix_option_2;
  std::string_view prefix_option_3;
  std::string* name_option = nullptr;
  std::string_view prefix_option_4;
  std::string_view prefix_option_5;
  std::int32_t plugin_base = 0;
  std::int32_t base_option = 0;
  std::int32_t flag_option_1 = 0;
  std::int32_t flag_option_2 = 0;
  std::string name_buffer;
  std::optional<std::string> main_source;
  // Stream of the element utilities' printer; a back end sets it.
  std::ostream* output = nullptr;
  std::int32_t errors = 0;
  std::int32_t warnings = 0;
  std::int32_t indent_depth = 0;
  std::int32_t column = 0;
  std::int32_t tab_count = 0;
  std::int32_t element_count = 0;
  std::int32_t extra_bytes = 0;

  // Where diagnostics and every other line meant for the user go: the
  // banner, the count line and the lines printed directly. Standard output
  // unless the program or a test chooses another stream.
  std::ostream* console = nullptr;
  // What loading let pass without a word, for the linter; and the observer
  // of a program that reports more than the checker (none for the checker).
  FrontEndNotes notes;
  RunObserver* observer = nullptr;
  // The text of a source that is not to be read from disk (a language
  // server's open, perhaps unsaved, documents): given the path as the run
  // names it, the text to load under that path, or null to read the file.
  // Unset for the checker.
  std::function<const std::string*(const std::string& path)> open_source;

  // Storage of the model. Records never move once made, so the plain
  // pointers between them stay valid for the whole run. The elements and
  // their texts share one region, released at once.
  ElementStore element_store;
  StableStore<ModuleRecord> module_store;
  std::vector<std::unique_ptr<std::byte[]>> extra_store;
  // The characters of every element text.
  TextPool texts{&element_store.region()};
};

// Where the top-level elements of modules[index] end: after the merge the
// last one's `next` is the next module's first element, so a walk over one
// module's own elements stops there (null for the last module).
const Element* module_elements_end(const RunContext& run, std::size_t index);

// Resets every field to its default: empty lists and counters, the option
// defaults, the plugin base 1000000000 and standard output as console.
void init_run_context(RunContext& run);

}  // namespace taloq
