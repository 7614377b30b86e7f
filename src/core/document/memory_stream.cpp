#include "core/document/memory_stream.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace vidora {

MemoryStream::MemoryStream(ByteStream& source) {
  const uint32_t total = source.Size();
  if (!Reserve(total)) return;
  source.Seek(0, kSeekBegin);
  uint32_t got = 0;
  while (got < total) {
    const uint32_t n = source.Read(block_ + got, total - got);
    if (n == 0) break;
    got += n;
  }
  if (got < total) Reserve(got);  // keep only what could be read
}

MemoryStream::MemoryStream(const void* bytes, uint32_t count) {
  Write(bytes, count);
  position_ = 0;
}

MemoryStream::MemoryStream(const MemoryStream& other) {
  Write(other.block_, other.size_);
  position_ = other.position_ <= size_ ? other.position_ : size_;
}

MemoryStream& MemoryStream::operator=(const MemoryStream& other) {
  if (this != &other) {
    MemoryStream copy(other);
    *this = std::move(copy);
  }
  return *this;
}

MemoryStream::MemoryStream(MemoryStream&& other) noexcept
    : size_(std::exchange(other.size_, 0)),
      position_(std::exchange(other.position_, 0)),
      block_(std::exchange(other.block_, nullptr)) {}

MemoryStream& MemoryStream::operator=(MemoryStream&& other) noexcept {
  if (this != &other) {
    Close();
    size_ = std::exchange(other.size_, 0);
    position_ = std::exchange(other.position_, 0);
    block_ = std::exchange(other.block_, nullptr);
  }
  return *this;
}

MemoryStream::~MemoryStream() { Close(); }

uint32_t MemoryStream::Reserve(uint32_t size) {
  if (size == 0) {
    Close();
    return 1;
  }
  // realloc keeps the block exactly `size` bytes long while letting the
  // allocator grow large blocks in place, so repeated appends stay cheap.
  void* grown = std::realloc(block_, size);
  if (grown == nullptr) {
    Close();
    return 0;
  }
  block_ = static_cast<uint8_t*>(grown);
  size_ = size;
  if (position_ > size_) position_ = size_;
  return 1;
}

uint32_t MemoryStream::Write(const void* bytes, uint32_t count) {
  if (count == 0 || bytes == nullptr) return 0;
  const uint64_t end = uint64_t{position_} + count;
  if (end > UINT32_MAX) return 0;
  if (end > size_ && !Reserve(static_cast<uint32_t>(end))) return 0;
  std::memcpy(block_ + position_, bytes, count);
  position_ += count;
  return count;
}

uint32_t MemoryStream::Read(void* buffer, uint32_t count) {
  if (block_ == nullptr || position_ >= size_) return 0;
  const uint32_t n = count < size_ - position_ ? count : size_ - position_;
  std::memcpy(buffer, block_ + position_, n);
  position_ += n;
  return n;
}

uint32_t MemoryStream::Seek(int64_t offset, int origin) {
  if (block_ == nullptr) return 0;
  int64_t target = position_;
  switch (origin) {
    case kSeekBegin: target = offset; break;
    case kSeekCurrent: target = int64_t{position_} + offset; break;
    case kSeekEnd: target = offset > int64_t{size_} ? 0 : int64_t{size_} - offset; break;
    default: break;
  }
  if (target < 0) target = 0;
  if (target > int64_t{size_}) target = size_;
  position_ = static_cast<uint32_t>(target);
  return position_;
}

void MemoryStream::Close() {
  std::free(block_);
  block_ = nullptr;
  size_ = 0;
  position_ = 0;
}

}  // namespace vidora
