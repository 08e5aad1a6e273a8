#include "source/text_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace taloq {

FileText::FileText(FileText&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      released_(std::exchange(other.released_, 0)) {}

FileText& FileText::operator=(FileText&& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(capacity_, other.capacity_);
  std::swap(released_, other.released_);
  return *this;
}

FileText::~FileText() {
  if (data_ != nullptr) munmap(data_, capacity_);
}

// Pages of their own, not the heap's: the allocator keeps a freed block of
// this size for later instead of returning it.
bool FileText::make_room(std::size_t wanted) {
  if (wanted <= capacity_) return true;
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t capacity = (wanted + page - 1) / page * page;
  void* room = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (room == MAP_FAILED) return false;
  if (size_ != 0) std::memcpy(room, data_, size_);
  if (data_ != nullptr) munmap(data_, capacity_);
  data_ = static_cast<char*>(room);
  capacity_ = capacity;
  return true;
}

void FileText::release_before(std::size_t offset) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t end = std::min(offset, size_) / page * page;
  if (end <= released_) return;
  // Advice only: where it is not taken the pages simply stay.
  if (madvise(data_ + released_, end - released_, MADV_DONTNEED) == 0) released_ = end;
}

bool FileText::read_all(int descriptor, std::size_t expected) {
  // One byte more than expected, so that a file read whole ends with a read
  // of nothing rather than a doubling.
  if (!make_room(expected + 1)) return false;
  for (;;) {
    if (size_ == capacity_ && !make_room(capacity_ * 2)) return false;
    const ssize_t count = read(descriptor, data_ + size_, capacity_ - size_);
    if (count == 0) return true;
    if (count < 0 && errno != EINTR) return false;
    if (count > 0) size_ += static_cast<std::size_t>(count);
  }
}

std::optional<FileText> read_file_text(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  struct stat info {};
  FileText text;
  bool whole = fstat(descriptor, &info) == 0 && !S_ISDIR(info.st_mode);
  if (whole) {
    whole = text.read_all(descriptor, S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0);
  }
  close(descriptor);
  if (!whole) return std::nullopt;
  return text;
}

std::optional<std::string> read_text_file(const std::string& path) {
  const std::optional<FileText> text = read_file_text(path);
  if (!text) return std::nullopt;
  return std::string(text->view());
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r') && end != std::string_view::npos) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string_view before_nul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

}  // namespace taloq
