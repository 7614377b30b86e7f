#include "core/updates/version_description.h"

#include <cstring>

namespace vidora {
namespace {

uint32_t ReadLittleEndian(const uint8_t* bytes, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

std::optional<std::string> ReadVersionName(const uint8_t* bytes, uint32_t count) {
  if (bytes == nullptr || count < 5 || std::memcmp(bytes, "QDOC", 4) != 0) return std::nullopt;
  uint32_t at = 4;
  uint64_t length = bytes[at++];
  // The length prefix: one byte, or 255 and a 16-bit length, or 255,
  // 0xFFFF and a 32-bit length.
  if (length == 255) {
    if (count - at < 2) return std::nullopt;
    length = ReadLittleEndian(bytes + at, 2);
    at += 2;
    if (length == 0xFFFF) {
      if (count - at < 4) return std::nullopt;
      length = ReadLittleEndian(bytes + at, 4);
      at += 4;
    }
  }
  if (length > count - at) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(bytes + at), static_cast<size_t>(length));
}

}  // namespace vidora
