#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lex/char_stream.h"

namespace taloq {

// The content of a file, read into memory of its own that goes back to the
// system when the FileText goes. A file opened with open_file_text is read
// as its stream goes: the text a reader has passed and released is never
// needed again, so its pages take the next stretch of the file, and a
// source of many megabytes keeps only a stretch in memory, in pages that
// are already there (fresh pages cost the system a clearing each).
class FileText final : public StreamSource {
 public:
  FileText() = default;
  FileText(FileText&& other) noexcept;
  FileText& operator=(FileText&& other) noexcept;
  ~FileText();

  // The text read so far; the whole file once read_more has found its end.
  std::string_view view() const { return {data_, size_}; }
  // Reads the next stretch of the file (see StreamSource). An error ends
  // the text where it happened and is told by failed().
  std::string_view read_more() override;
  // Takes back the whole pages before `offset`: they go back to the system
  // (reading there then finds zeros) or take later text, so nothing may
  // look there again. Once the file is read to its end, they go back at
  // once.
  void release_before(std::size_t offset) override;
  // Whether the text ended at a read error, or because the file grew far
  // past its size at opening, rather than at the end of the file.
  bool failed() const { return failed_; }

 private:
  friend std::optional<FileText> open_file_text(const std::string& path);
  // Takes `descriptor` and reads its first stretch (a file that is not a
  // plain one, all of it); false when it cannot be read.
  bool start_reading(int descriptor);
  // Reads `descriptor` to its end; false on a read error or no memory.
  bool read_all(int descriptor, std::size_t expected);
  bool make_room(std::size_t wanted);
  bool reserve_room(std::size_t bytes);
  void reuse_released_stretch(std::size_t at);
  void finish(bool failed);
  void give_back(std::size_t end);

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  int descriptor_ = -1;  // open while the file is read as its stream goes
  bool complete_ = true;
  bool failed_ = false;
  // Stretches from reused_ to released_ are released but still there,
  // ready to hold text again; pages before reused_ went back to the system.
  std::size_t reused_ = 0;
  std::size_t released_ = 0;
};

// A file ready to be read as its stream goes, its first stretch read; none
// when it cannot be opened or read (a directory included). What is not a
// plain file (a pipe, a device) is read whole at once.
std::optional<FileText> open_file_text(const std::string& path);

// The whole content of a file, or none when it cannot be opened or read. A
// file that shrinks while it is read gives what was there to read.
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
