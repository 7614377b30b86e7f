#include "core/catalogue/catalogue_scrambler.h"

#include <zlib.h>

namespace vidora {

void UnscrambleCatalogue(uint8_t* bytes, uint32_t count) {
  if (bytes == nullptr || count == 0) return;
  const uint8_t length[4] = {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                             static_cast<uint8_t>(count >> 16), static_cast<uint8_t>(count >> 24)};
  // The key register is advanced by the raw CRC-32 step (no pre- or
  // post-inversion). zlib's crc32() inverts on the way in and out, so
  // inverting around the call gives the raw register update.
  uLong reg = 0xFFFFFFFFul;
  for (uint32_t i = 0; i < count; ++i) {
    reg = ~crc32(~reg & 0xFFFFFFFFul, length, 4) & 0xFFFFFFFFul;
    bytes[i] ^= static_cast<uint8_t>(reg & 0xFF);
  }
}

}  // namespace vidora
