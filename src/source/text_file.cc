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

namespace {

// Read and reused this much at a time: as much as the stream offers back
// between two releases, so a reader never waits for many pages.
constexpr std::size_t kStretch = std::size_t{1} << 18;

std::size_t page_size() {
  static const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return page;
}

std::size_t round_down(std::size_t n, std::size_t step) {
  return n / step * step;
}

std::size_t round_up(std::size_t n, std::size_t step) {
  return round_down(n + step - 1, step);
}

void* map_fresh(void* at, std::size_t bytes, int flags) {
  return mmap(at, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | flags, -1, 0);
}

}  // namespace

FileText::FileText(FileText&& other) noexcept { *this = std::move(other); }

FileText& FileText::operator=(FileText&& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(capacity_, other.capacity_);
  std::swap(descriptor_, other.descriptor_);
  std::swap(complete_, other.complete_);
  std::swap(failed_, other.failed_);
  std::swap(reused_, other.reused_);
  std::swap(released_, other.released_);
  return *this;
}

FileText::~FileText() {
  if (data_ != nullptr) munmap(data_, capacity_);
  if (descriptor_ >= 0) close(descriptor_);
}

// Pages of their own, not the heap's: the allocator keeps a freed block of
// this size for later instead of returning it.
bool FileText::make_room(std::size_t wanted) {
  if (wanted <= capacity_) return true;
  const std::size_t capacity = round_up(wanted, page_size());
  void* room = map_fresh(nullptr, capacity, 0);
  if (room == MAP_FAILED) return false;
  if (size_ != 0) std::memcpy(room, data_, size_);
  if (data_ != nullptr) munmap(data_, capacity_);
  data_ = static_cast<char*>(room);
  capacity_ = capacity;
  return true;
}

// Address space for a file read as its stream goes: it cannot move once a
// reader holds views into it, so it is as large as the file may become.
// Untouched, it costs nothing.
bool FileText::reserve_room(std::size_t bytes) {
  const std::size_t capacity = round_up(bytes, page_size());
  void* room = map_fresh(nullptr, capacity, MAP_NORESERVE);
  if (room == MAP_FAILED) return false;
  data_ = static_cast<char*>(room);
  capacity_ = capacity;
  return true;
}

void FileText::give_back(std::size_t end) {
  // Advice only: where it is not taken the pages simply stay.
  if (end > reused_ && madvise(data_ + reused_, end - reused_, MADV_DONTNEED) == 0) reused_ = end;
}

void FileText::release_before(std::size_t offset) {
  if (complete_) {
    // Nothing more is read: every released page goes back at once.
    const std::size_t end = round_down(std::min(offset, size_), page_size());
    released_ = std::max(released_, end);
    give_back(released_);
    return;
  }
  // Whole stretches wait to take the next ones, as many as the reader can
  // need before it releases again; older ones go back.
  released_ = std::max(released_, round_down(std::min(offset, size_), kStretch));
  if (released_ - reused_ > 2 * kStretch) give_back(released_ - 2 * kStretch);
}

// Moves the oldest released stretch, its pages already there, to `at`
// (where the next stretch of text begins), so the read fills them instead
// of fresh pages. Stretches move whole, so each lies in one mapping of its
// own. A move that the system refuses leaves fresh pages there, as without
// reuse.
void FileText::reuse_released_stretch(std::size_t at) {
  if (released_ - reused_ < kStretch || at + kStretch > capacity_) return;
  if (mremap(data_ + reused_, kStretch, kStretch, MREMAP_MAYMOVE | MREMAP_FIXED, data_ + at) ==
      MAP_FAILED) {
    return;
  }
  // The old place is mapped afresh, so that released text reads as zeros
  // as it always has; should that fail, nothing reads there either way.
  map_fresh(data_ + reused_, kStretch, MAP_FIXED | MAP_NORESERVE);
  reused_ += kStretch;
}

void FileText::finish(bool failed) {
  complete_ = true;
  failed_ = failed;
  close(descriptor_);
  descriptor_ = -1;
  give_back(released_);
}

std::string_view FileText::read_more() {
  if (complete_) return view();
  if (size_ == capacity_) {
    // The room is full: the file ends here unless it grew past it.
    char probe = 0;
    ssize_t count = 0;
    do count = read(descriptor_, &probe, 1); while (count < 0 && errno == EINTR);
    finish(count != 0);
    return view();
  }
  // Reads stay within one stretch; a new one starts in reused pages.
  const std::size_t wanted = std::min(kStretch - size_ % kStretch, capacity_ - size_);
  if (size_ % kStretch == 0) reuse_released_stretch(size_);
  for (;;) {
    const ssize_t count = read(descriptor_, data_ + size_, wanted);
    if (count > 0) {
      size_ += static_cast<std::size_t>(count);
      return view();
    }
    if (count == 0 || errno != EINTR) {
      finish(count != 0);
      return view();
    }
  }
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

bool FileText::start_reading(int descriptor) {
  struct stat info {};
  if (fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(descriptor);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    // A pipe or a device has no size to make room by: it is read whole now.
    const bool whole = read_all(descriptor, 0);
    close(descriptor);
    return whole;
  }
  descriptor_ = descriptor;  // closed once the end is read, or with the text
  // Room for the file to grow by half while it is read, and a megabyte.
  const auto size = static_cast<std::size_t>(info.st_size);
  if (!reserve_room(size + size / 2 + (std::size_t{1} << 20))) return false;
  complete_ = false;
  read_more();
  return !failed_;
}

std::optional<FileText> open_file_text(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  FileText text;
  if (!text.start_reading(descriptor)) return std::nullopt;
  return text;
}

std::optional<FileText> read_file_text(const std::string& path) {
  std::optional<FileText> text = open_file_text(path);
  if (!text) return std::nullopt;
  std::size_t before = 0;
  do before = text->view().size(); while (text->read_more().size() != before);
  if (text->failed()) return std::nullopt;
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
