#ifndef VIDORA_CORE_DOCUMENT_BYTE_STREAM_H_
#define VIDORA_CORE_DOCUMENT_BYTE_STREAM_H_

#include <cstddef>
#include <cstdint>

namespace vidora {

// Seek origins, as the document format and its callers name them.
enum SeekOrigin : int { kSeekBegin = 0, kSeekCurrent = 1, kSeekEnd = 2 };

// A byte source and sink the document format reads from and writes to.
// Positions and sizes are 32-bit, as in the file format. Not thread-safe:
// one stream belongs to one thread at a time.
class ByteStream {
 public:
  virtual ~ByteStream() = default;

  // Returns the number of bytes written (0 on failure).
  virtual uint32_t Write(const void* bytes, uint32_t count) = 0;
  // Returns the number of bytes read; fewer than `count` at the end.
  virtual uint32_t Read(void* buffer, uint32_t count) = 0;
  // Moves the position and returns the new one. Origin is a SeekOrigin.
  virtual uint32_t Seek(int64_t offset, int origin) = 0;
  virtual uint32_t Size() = 0;
  // A memory stream becomes exactly `size` bytes long and reports success;
  // a file stream changes nothing and returns its current size.
  virtual uint32_t Reserve(uint32_t size) = 0;
  virtual uint32_t Position() = 0;
  virtual void Close() = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_BYTE_STREAM_H_
