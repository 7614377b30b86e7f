#ifndef VIDORA_CORE_DOCUMENT_BYTE_CURSOR_H_
#define VIDORA_CORE_DOCUMENT_BYTE_CURSOR_H_

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vidora {

// Reads the fields of the document format from one contiguous block of
// borrowed bytes. Every read checks what is left first, so no field and no
// count can reach past the block, and a read that fails changes nothing
// the caller relies on. The bytes must outlive the cursor and the views it
// hands out. Not thread-safe.
class ByteCursor {
 public:
  ByteCursor(const uint8_t* bytes, uint32_t count) : at_(bytes), end_(bytes + count) {}

  // Bytes not read yet.
  uint32_t remaining() const { return static_cast<uint32_t>(end_ - at_); }
  const uint8_t* position() const { return at_; }

  bool Skip(uint32_t count) {
    if (count > remaining()) return false;
    at_ += count;
    return true;
  }

  // A view of the next `count` bytes, which are then passed.
  bool View(uint32_t count, const uint8_t*& out) {
    if (count > remaining()) return false;
    out = at_;
    at_ += count;
    return true;
  }

  bool U8(uint8_t& out) {
    if (at_ == end_) return false;
    out = *at_++;
    return true;
  }

  bool U16(uint16_t& out) {
    if (remaining() < 2) return false;
    out = static_cast<uint16_t>(at_[0] | (at_[1] << 8));
    at_ += 2;
    return true;
  }

  bool U32(uint32_t& out) {
    if (remaining() < 4) return false;
    out = uint32_t{at_[0]} | (uint32_t{at_[1]} << 8) | (uint32_t{at_[2]} << 16) | (uint32_t{at_[3]} << 24);
    at_ += 4;
    return true;
  }

  // The length prefix of strings: one byte, 0xFF then 16 bits, 0xFFFF then
  // 32 bits.
  bool Length(uint32_t& out) {
    uint8_t b = 0;
    if (!U8(b)) return false;
    if (b != 0xFF) {
      out = b;
      return true;
    }
    uint16_t w = 0;
    if (!U16(w)) return false;
    if (w != 0xFFFF) {
      out = w;
      return true;
    }
    return U32(out);
  }

  // A length-prefixed narrow string, as a view into the block.
  bool Narrow(std::string_view& out) {
    uint32_t length = 0;
    const uint8_t* bytes = nullptr;
    if (!Length(length) || !View(length, bytes)) return false;
    out = std::string_view(reinterpret_cast<const char*>(bytes), length);
    return true;
  }

  // A length-prefixed UTF-16 string: `units` little-endian units at `bytes`.
  bool Wide(const uint8_t*& bytes, uint32_t& units) {
    if (!Length(units) || units > remaining() / 2) return false;
    bytes = at_;
    at_ += 2 * static_cast<size_t>(units);
    return true;
  }

  enum class Magic { kShort, kWrong, kOk };
  // The four magic bytes of a node. A wrong magic is passed all the same:
  // the format goes on right after it.
  Magic ReadMagic() {
    if (remaining() < 4) return Magic::kShort;
    const bool ok = std::memcmp(at_, "QDOC", 4) == 0;
    at_ += 4;
    return ok ? Magic::kOk : Magic::kWrong;
  }

 private:
  const uint8_t* at_;
  const uint8_t* end_;
};

// Copies `units` little-endian UTF-16 units from `bytes` into `out`.
inline void CopyWideUnits(const uint8_t* bytes, uint32_t units, char16_t* out) {
  // An empty text may come with null pointers, which memcpy must not see.
  if (units == 0) return;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, bytes, 2 * static_cast<size_t>(units));
  } else {
    for (uint32_t i = 0; i < units; ++i) out[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
}

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_BYTE_CURSOR_H_
