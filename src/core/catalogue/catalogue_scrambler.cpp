#include "core/catalogue/catalogue_scrambler.h"

#include <zlib.h>

#include <array>

namespace vidora {
namespace {

using SliceTables = std::array<std::array<uint32_t, 256>, 4>;

// zlib's CRC-32 table and three derived ones, so four register steps over
// one 32-bit word take four independent lookups instead of a chain of four
// (the slice-by-4 form of the same step).
const SliceTables& Tables() {
  static const SliceTables tables = [] {
    SliceTables t{};
    const z_crc_t* base = get_crc_table();
    for (int n = 0; n < 256; ++n) t[0][n] = static_cast<uint32_t>(base[n]);
    for (int k = 1; k < 4; ++k) {
      for (int n = 0; n < 256; ++n) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    }
    return t;
  }();
  return tables;
}

}  // namespace

void UnscrambleCatalogue(uint8_t* bytes, uint32_t count) {
  if (bytes == nullptr || count == 0) return;
  // The key register takes the raw CRC-32 step (no pre- or post-inversion)
  // over the four length bytes, low byte first, before every output byte.
  // XORing the whole little-endian length word in at once is the same as
  // feeding its bytes one by one.
  const SliceTables& t = Tables();
  uint32_t reg = 0xFFFFFFFFu;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t x = reg ^ count;
    reg = t[3][x & 0xFF] ^ t[2][(x >> 8) & 0xFF] ^ t[1][(x >> 16) & 0xFF] ^ t[0][x >> 24];
    bytes[i] ^= static_cast<uint8_t>(reg & 0xFF);
  }
}

}  // namespace vidora
