#ifndef VIDORA_CORE_DOCUMENT_MEMORY_STREAM_H_
#define VIDORA_CORE_DOCUMENT_MEMORY_STREAM_H_

#include <cstdint>

#include "core/document/byte_stream.h"

namespace vidora {

// A growable byte block behind the ByteStream interface. The block is
// always exactly Size() bytes: a write past the end grows it to exactly the
// new end. Seeking clamps the position to [0, Size()].
class MemoryStream : public ByteStream {
 public:
  MemoryStream() = default;
  // Copies everything `source` holds (it is rewound to the start first).
  explicit MemoryStream(ByteStream& source);
  MemoryStream(const void* bytes, uint32_t count);
  MemoryStream(const MemoryStream& other);
  MemoryStream& operator=(const MemoryStream& other);
  MemoryStream(MemoryStream&& other) noexcept;
  MemoryStream& operator=(MemoryStream&& other) noexcept;
  ~MemoryStream() override;

  uint32_t Write(const void* bytes, uint32_t count) override;
  uint32_t Read(void* buffer, uint32_t count) override;
  uint32_t Seek(int64_t offset, int origin) override;
  uint32_t Size() override { return size_; }
  // Resizes the block to exactly `size` bytes (0 frees it) and clamps the
  // position. Returns 1 on success; on allocation failure the stream
  // becomes empty and 0 is returned.
  uint32_t Reserve(uint32_t size) override;
  uint32_t Position() override { return position_; }
  // Frees the block; size and position become 0.
  void Close() override;

  // The block, or nullptr when the stream is empty. Borrowed.
  const uint8_t* Data() const { return block_; }
  uint8_t* MutableData() { return block_; }
  uint32_t size() const { return size_; }

 private:
  uint32_t size_ = 0;
  uint32_t position_ = 0;
  uint8_t* block_ = nullptr;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_MEMORY_STREAM_H_
