#include "platform/stream.h"

#include <algorithm>
#include <cstring>

namespace platform {

void Stream::ReadBuffer(void* buffer, size_t count) {
  size_t got = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (got < count) {
    size_t n = Read(out + got, count - got);
    if (n == 0) throw StreamError("Stream read error");
    got += n;
  }
}

size_t MemoryStream::Read(void* buffer, size_t count) {
  if (position_ >= data_.size()) return 0;
  size_t n = static_cast<size_t>(std::min<uint64_t>(count, data_.size() - position_));
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

void MemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return;
  if (position_ + count > data_.size()) data_.resize(static_cast<size_t>(position_ + count));
  std::memcpy(data_.data() + position_, buffer, count);
  position_ += count;
}

}  // namespace platform
