#include "test_support.h"

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "source/source_file.h"

namespace taloq::testing {

TextSource::TextSource(std::string_view source_text, std::string path, std::size_t piece)
    : text(source_text),
      pieces(text, piece),
      stream(piece == 0 ? CharStream(text) : CharStream(pieces)) {
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
  while (list != nullptr && index-- > 0) list = list->next();
  return list;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "taloq-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  dir_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string TempDir::path(std::string_view name) const {
  return dir_ + "/" + std::string(name);
}

std::string TempDir::write(std::string_view name, std::string_view content) const {
  const std::string file = path(name);
  std::ofstream out(file, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return file;
}

Element& scratch_element() {
  static RunContext run;
  return run.element_store.emplace_back();
}

}  // namespace taloq::testing
