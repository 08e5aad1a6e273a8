#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taloq {

// The content of a file, read once into memory of its own that goes back to
// the system when the FileText goes: a source of many megabytes read while
// the model is nearly complete must not stay in the heap until the run ends.
class FileText {
 public:
  FileText() = default;
  FileText(FileText&& other) noexcept;
  FileText& operator=(FileText&& other) noexcept;
  ~FileText();

  std::string_view view() const { return {data_, size_}; }
  // Gives the whole pages before `offset` back to the system; reading them
  // afterwards finds zeros, so nothing may look there again.
  void release_before(std::size_t offset);

 private:
  friend std::optional<FileText> read_file_text(const std::string& path);
  // Reads `descriptor` to its end; false on a read error or no memory.
  bool read_all(int descriptor, std::size_t expected);
  bool make_room(std::size_t wanted);

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t released_ = 0;  // bytes from the start given back
};

// The whole content of a file, or none when it cannot be opened or read (a
// directory included). A file that grows or shrinks while it is read gives
// what was there to read.
std::optional<FileText> read_file_text(const std::string& path);

// The same, copied into a string: for the small files (projects,
// configurations) whose text is kept.
std::optional<std::string> read_text_file(const std::string& path);

// The lines of a text, each without its '\n' (and without a '\r' before
// it). A final line without '\n' counts; an empty text has no lines.
std::vector<std::string_view> split_lines(std::string_view text);

// A text up to its first NUL byte: lines are NUL-terminated texts once read.
std::string_view before_nul(std::string_view text);

}  // namespace taloq
