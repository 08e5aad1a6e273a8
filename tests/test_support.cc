#include "test_support.h"

#include "source/source_file.h"

namespace taloq::testing {

TextSource::TextSource(std::string_view source_text, std::string path)
    : text(source_text), stream(text) {
  module = &captured.run.module_store.emplace_back();
  module->path = path;
  ctx.path = std::move(path);
  ctx.stream = &stream;
  ctx.run = &captured.run;
  ctx.module = module;
}

std::string load_text(CapturedRun& captured, std::string_view text, std::string path) {
  load_source_text(captured.run, path, text);
  return captured.text();
}

Element* nth(Element* list, int index) {
  while (list != nullptr && index-- > 0) list = list->next;
  return list;
}

}  // namespace taloq::testing
