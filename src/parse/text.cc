#include "parse/text.h"

#include <ostream>

#include "parse/model_region.h"

namespace taloq {

namespace {

// Room taken from the allocator at a time. Texts longer than a quarter of a
// block get a block of their own, so at most a quarter is ever left unused.
constexpr std::size_t kBlockSize = 64 * 1024;

}  // namespace

char* TextPool::room_for(std::size_t size) {
  if (region_ != nullptr) {
    std::uint32_t id = 0;
    return region_->new_text(size, id);
  }
  if (size > left_) {
    if (size > kBlockSize / 4) return blocks_.emplace_back(new char[size]).get();
    next_ = blocks_.emplace_back(new char[kBlockSize]).get();
    left_ = kBlockSize;
  }
  char* room = next_;
  next_ += size;
  left_ -= size;
  return room;
}

Text TextPool::keep(std::string_view text) {
  if (region_ == nullptr || text.empty()) return join(text, {}, {});
  std::uint32_t id = 0;
  const char* kept = region_->intern_text(text, id);
  return Text::borrow(kept);
}

void TextPool::stop_interning() {
  if (region_ != nullptr) region_->stop_interning();
}

Text TextPool::join(std::string_view first, std::string_view second, std::string_view third) {
  const std::size_t size = first.size() + second.size() + third.size();
  if (size == 0) return Text();
  char* room = room_for(size + 1);
  char* end = room;
  for (const std::string_view part : {first, second, third}) {
    if (!part.empty()) std::memcpy(end, part.data(), part.size());
    end += part.size();
  }
  *end = '\0';
  return Text::borrow(room);
}

std::ostream& operator<<(std::ostream& out, const Text& text) {
  return out << text.view();
}

}  // namespace taloq
