#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <string_view>

namespace taloq {

// The value a character reader returns at end of file; never a byte.
inline constexpr int kEof = -1;

// Where a stream's text comes from when it is read as the stream goes
// rather than held whole: a source of many megabytes then never has more
// than a stretch of it in memory, and that stretch reuses the same pages.
class StreamSource {
 public:
  // Makes more of the text readable and returns all of it read so far, from
  // its first byte: bytes once returned stay where they are and unchanged
  // until released. The same length as before means the text is complete.
  virtual std::string_view read_more() = 0;
  // Tells the source that no reader looks before `offset` again.
  virtual void release_before(std::size_t offset) = 0;

 protected:
  ~StreamSource() = default;
};

// Characters of one source file, read one at a time with up to two
// characters of push-back. A carriage return directly before a line feed is
// not seen, so every line ends in a single '\n' on every platform. The text
// (or its source) is borrowed and must outlive the stream.
class CharStream {
 public:
  // Direct readers see at least this much of the text ahead of the read
  // position, unless the text ends sooner: more than any token they take.
  static constexpr std::size_t kLookahead = 512;

  explicit CharStream(std::string_view text) : text_(text), complete_(true) {}
  explicit CharStream(StreamSource& source) : source_(&source) {}

  // The next character: a pushed-back one first, else the next byte of the
  // text (0-255), or kEof once the text is exhausted.
  int get() {
    if (pending_count_ > 0) {
      last_from_text_ = false;
      return pending_[--pending_count_];
    }
    // Two bytes at hand, so that "\r\n" is never split by a read.
    if (!complete_ && text_.size() - pos_ < 2) read_up_to(pos_ + 2);
    if (pos_ >= text_.size()) {
      last_from_text_ = false;
      return kEof;
    }
    last_start_ = pos_;
    last_from_text_ = true;
    int c = static_cast<unsigned char>(text_[pos_++]);
    if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') c = text_[pos_++];
    return c;
  }

  // Makes `c` the next character get() returns; end of file is never pushed
  // back. Readers push back at most two characters at any time.
  // Giving back the character just taken from the text (the usual case: a
  // scanner reads one past its token) steps back instead, so the text stays
  // directly readable for the scanners' fast paths.
  void unget(int c) {
    if (c == kEof) return;
    if (last_from_text_ && pending_count_ == 0 && c == last_char()) {
      pos_ = last_start_;
      last_from_text_ = false;
      return;
    }
    assert(pending_count_ < static_cast<int>(pending_.size()));
    if (pending_count_ < static_cast<int>(pending_.size())) pending_[pending_count_++] = c;
  }

  // The text from its first byte through at least `end` (all of it when it
  // is shorter), reading on as far as that needs.
  std::string_view text_through(std::size_t end) {
    if (!complete_ && text_.size() < end) read_up_to(end);
    return text_;
  }
  // Whether bytes past the readable text may still come.
  bool may_grow() const { return !complete_; }
  // Direct reading for scanners that take runs of plain bytes at once: with
  // nothing pushed back, the bytes from the read position on (at least
  // kLookahead of them unless the text ends first), which skip(n) then
  // consumes. Such a scanner must come to what reading the same bytes with
  // get() would give ("\r\n" is one '\n' there), and leave '/' (a comment
  // may begin there) to the comment reader. Where the view ends before the
  // text does (may_grow()), it must not take a token that reaches its end.
  bool has_pending() const { return pending_count_ > 0; }
  std::string_view unread_text() {
    if (!complete_ && text_.size() - pos_ < kLookahead) read_up_to(pos_ + kLookahead);
    return text_.substr(pos_);
  }
  void skip(std::size_t count) {
    assert(pending_count_ == 0 && count <= text_.size() - pos_);
    pos_ += count;
    last_from_text_ = false;
  }
  std::size_t position() const { return pos_; }

  // Once a statement of the outermost block is complete, no reader looks
  // behind the read position again: the source may take back what lies
  // before it, so that a source of many megabytes need not stay in memory
  // while its model grows. Offered at most once per kReleaseStep bytes
  // read; a step back after a get() goes at most two bytes back, which the
  // margin keeps.
  void offer_release() {
    static constexpr std::size_t kReleaseStep = std::size_t{1} << 18;
    static constexpr std::size_t kMargin = 256;
    if (source_ == nullptr || pos_ < offered_ + kReleaseStep) return;
    offered_ = pos_;
    source_->release_before(pos_ - kMargin);
  }
  // Moves to a byte offset (the end of the text, if that comes first) and
  // forgets pushed-back characters.
  void seek(std::size_t pos) {
    text_through(pos);
    pos_ = pos < text_.size() ? pos : text_.size();
    pending_count_ = 0;
    last_from_text_ = false;
  }

 private:
  // What get() returned for the bytes from last_start_ to pos_.
  int last_char() const { return static_cast<unsigned char>(text_[pos_ - 1]); }

  // Reads on until the text reaches `end` or is complete.
  void read_up_to(std::size_t end) {
    while (!complete_ && text_.size() < end) {
      const std::string_view more = source_->read_more();
      complete_ = more.size() == text_.size();
      text_ = more;
    }
  }

  std::string_view text_;
  StreamSource* source_ = nullptr;
  bool complete_ = false;  // no byte past text_ will come
  std::size_t pos_ = 0;
  std::array<int, 2> pending_{};
  int pending_count_ = 0;
  std::size_t last_start_ = 0;
  bool last_from_text_ = false;  // the last get() took bytes from the text
  std::size_t offered_ = 0;
};

}  // namespace taloq
