#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace taloq::lsp {

// Cuts the byte stream of the base protocol into message bodies: a header
// block of "Name: value" lines ended by an empty line ("\r\n\r\n"), whose
// Content-Length gives the number of bytes of the body that follows.
//
// A header block without a usable Content-Length (missing, not a number,
// absurdly large) cannot say where its body ends, so it is dropped with
// whatever follows it, up to the next "Content-Length:": one bad frame
// costs that frame and never the stream.
class FrameReader {
 public:
  void feed(std::string_view bytes);
  // The next complete body, or none until more bytes arrive.
  std::optional<std::string> next();
  // Header blocks dropped so far.
  std::size_t skipped() const { return skipped_; }

  // Bodies larger than this are refused: such a frame is taken for a bad
  // header rather than waited for.
  static constexpr std::size_t kMaxBody = std::size_t{256} << 20;

 private:
  void drop_consumed();

  std::string buffer_;
  std::size_t start_ = 0;  // first byte not yet consumed
  bool resyncing_ = false;
  std::size_t skipped_ = 0;
};

// A body with its header, ready to be written.
std::string frame(std::string_view body);

}  // namespace taloq::lsp
