// Fuzz target: the whole check sequence (loading, configuration, analysis
// and back end) on a definition made from the input. The part after the
// first "\n%%\n" becomes the definition's configuration file.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/checker.h"
#include "driver/run_context.h"
#include "fuzz_back_end.h"

namespace {

// The folder the inputs are written to, made at the first input and removed
// with everything in it when the program ends.
class ScratchDir {
 public:
  ScratchDir()
      : path_(std::filesystem::temp_directory_path() /
              ("taloq_fuzz_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

const std::filesystem::path& scratch_dir() {
  static const ScratchDir dir;
  return dir.path();
}

void write_file(const std::filesystem::path& path, std::string_view text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(text.data(), static_cast<long>(text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find("\n%%\n");
  const auto source = scratch_dir() / "f.tlq";
  const auto config = scratch_dir() / "f.tlqcfg";
  write_file(source, input.substr(0, split));
  if (split == std::string_view::npos) {
    std::filesystem::remove(config);
  } else {
    write_file(config, input.substr(split + 4));
  }
  std::ostringstream console;
  taloq::RunContext run;
  run.console = &console;
  const taloq::Program program{true, taloq_fuzz::back_end(), &console};
  const std::vector<std::string> args = {source.string()};
  const int status = taloq::run_program(run, args, program);
  if (status != 0 && status != 1) __builtin_trap();
  return 0;
}
