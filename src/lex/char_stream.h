#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <string_view>

namespace taloq {

// The value a character reader returns at end of file; never a byte.
inline constexpr int kEof = -1;

// Characters of one source file held in memory, read one at a time with up
// to two characters of push-back. A carriage return directly before a line
// feed is not seen, so every line ends in a single '\n' on every platform.
// The text is borrowed and must outlive the stream.
class CharStream {
 public:
  explicit CharStream(std::string_view text) : text_(text) {}

  // The next character: a pushed-back one first, else the next byte of the
  // text (0-255), or kEof once the text is exhausted.
  int get() {
    if (pending_count_ > 0) {
      last_from_text_ = false;
      return pending_[--pending_count_];
    }
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

  std::string_view text() const { return text_; }
  // Direct reading for scanners that take runs of plain bytes at once: with
  // nothing pushed back, the bytes from the read position on, which
  // skip(n) then consumes. Such a scanner must come to what reading the
  // same bytes with get() would give ("\r\n" is one '\n' there), and leave
  // '/' (a comment may begin there) to the comment reader.
  bool has_pending() const { return pending_count_ > 0; }
  std::string_view unread_text() const { return text_.substr(pos_); }
  void skip(std::size_t count) {
    assert(pending_count_ == 0 && count <= text_.size() - pos_);
    pos_ += count;
    last_from_text_ = false;
  }
  std::size_t position() const { return pos_; }

  // The owner of the text may take back what lies before an offset: once a
  // statement of the outermost block is complete, no reader looks behind
  // the read position again, and a source of many megabytes need not stay
  // in memory while its model grows.
  using Release = void (*)(void* owner, std::size_t before);
  void set_release(Release release, void* owner) {
    release_ = release;
    release_owner_ = owner;
  }
  // Offers the text before the read position back to its owner, at most
  // once per kReleaseStep bytes read. A step back after a get() goes at
  // most two bytes back, which the margin keeps.
  void offer_release() {
    static constexpr std::size_t kReleaseStep = std::size_t{1} << 18;
    static constexpr std::size_t kMargin = 256;
    if (release_ == nullptr || pos_ < offered_ + kReleaseStep) return;
    offered_ = pos_;
    release_(release_owner_, pos_ - kMargin);
  }
  // Moves to a byte offset and forgets pushed-back characters.
  void seek(std::size_t pos) {
    pos_ = pos < text_.size() ? pos : text_.size();
    pending_count_ = 0;
    last_from_text_ = false;
  }

 private:
  // What get() returned for the bytes from last_start_ to pos_.
  int last_char() const { return static_cast<unsigned char>(text_[pos_ - 1]); }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::array<int, 2> pending_{};
  int pending_count_ = 0;
  std::size_t last_start_ = 0;
  bool last_from_text_ = false;  // the last get() took bytes from the text
  Release release_ = nullptr;
  void* release_owner_ = nullptr;
  std::size_t offered_ = 0;
};

}  // namespace taloq
