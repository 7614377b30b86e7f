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

// The raw CRC-32 step over one 32-bit word (four register steps).
inline uint32_t WordStep(const SliceTables& t, uint32_t x) {
  return t[3][x & 0xFF] ^ t[2][(x >> 8) & 0xFF] ^ t[1][(x >> 16) & 0xFF] ^ t[0][x >> 24];
}

// A map x -> (linear part of x) ^ constant over 32-bit words, with the
// linear part given by the images of the single bits.
struct AffineMap {
  std::array<uint32_t, 32> columns{};
  uint32_t constant = 0;

  uint32_t Apply(uint32_t x) const {
    uint32_t out = constant;
    for (int bit = 0; bit < 32; ++bit) {
      if ((x >> bit) & 1) out ^= columns[bit];
    }
    return out;
  }
  // This map after `first`.
  AffineMap After(const AffineMap& first) const {
    AffineMap out;
    for (int bit = 0; bit < 32; ++bit) out.columns[bit] = Apply(first.columns[bit]) ^ constant;
    out.constant = Apply(first.constant);
    return out;
  }
};

// `map` applied `times` times.
AffineMap Power(AffineMap map, uint32_t times) {
  AffineMap out;
  for (int bit = 0; bit < 32; ++bit) out.columns[bit] = 1u << bit;
  for (; times != 0; times >>= 1) {
    if (times & 1) out = map.After(out);
    map = map.After(map);
  }
  return out;
}

// Below this the stream is made in one run: splitting it costs more.
constexpr uint32_t kLanesFrom = 4096;
constexpr uint32_t kLanes = 4;

}  // namespace

void UnscrambleCatalogue(uint8_t* bytes, uint32_t count) {
  if (bytes == nullptr || count == 0) return;
  // The key register takes the raw CRC-32 step (no pre- or post-inversion)
  // over the four length bytes, low byte first, before every output byte.
  // XORing the whole little-endian length word in at once is the same as
  // feeding its bytes one by one.
  const SliceTables& t = Tables();
  uint32_t reg = 0xFFFFFFFFu;
  if (count < kLanesFrom) {
    for (uint32_t i = 0; i < count; ++i) {
      reg = WordStep(t, reg ^ count);
      bytes[i] ^= static_cast<uint8_t>(reg & 0xFF);
    }
    return;
  }
  // Every step waits for the one before it. The step is affine over GF(2)
  // (the tables are linear), so the register a quarter of the way on can
  // be had at once from a power of the step, and four quarters advance
  // side by side.
  AffineMap step;
  for (int bit = 0; bit < 32; ++bit) step.columns[bit] = WordStep(t, 1u << bit);
  step.constant = WordStep(t, count);
  const uint32_t quarter = count / kLanes;  // the last lane also takes the rest
  const AffineMap jump = Power(step, quarter);
  std::array<uint32_t, kLanes> lanes{};
  lanes[0] = reg;
  for (uint32_t lane = 1; lane < kLanes; ++lane) lanes[lane] = jump.Apply(lanes[lane - 1]);
  for (uint32_t i = 0; i < quarter; ++i) {
    for (uint32_t lane = 0; lane < kLanes; ++lane) {
      lanes[lane] = WordStep(t, lanes[lane] ^ count);
      bytes[lane * quarter + i] ^= static_cast<uint8_t>(lanes[lane] & 0xFF);
    }
  }
  reg = lanes[kLanes - 1];
  for (uint32_t i = kLanes * quarter; i < count; ++i) {
    reg = WordStep(t, reg ^ count);
    bytes[i] ^= static_cast<uint8_t>(reg & 0xFF);
  }
}

}  // namespace vidora
