#include "dump/buffered_stream.h"

namespace taloq {

void BufferedStream::Flush() {
  if (used_ == 0) return;
  out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
  used_ = 0;
}

}  // namespace taloq
