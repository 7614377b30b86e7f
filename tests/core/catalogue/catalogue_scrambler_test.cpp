#include "core/catalogue/catalogue_scrambler.h"

#include <gtest/gtest.h>

#include <vector>

namespace vidora {
namespace {

// The raw reflected CRC-32 register step, bit by bit, as an independent
// reference for the key stream.
uint32_t Step(uint32_t reg, uint8_t byte) {
  reg ^= byte;
  for (int k = 0; k < 8; ++k) reg = (reg >> 1) ^ ((reg & 1) ? 0xEDB88320u : 0u);
  return reg;
}

std::vector<uint8_t> ReferenceKey(uint32_t count) {
  std::vector<uint8_t> key(count);
  uint32_t reg = 0xFFFFFFFFu;
  for (uint32_t i = 0; i < count; ++i) {
    for (int shift = 0; shift < 32; shift += 8) reg = Step(reg, static_cast<uint8_t>(count >> shift));
    key[i] = static_cast<uint8_t>(reg & 0xFF);
  }
  return key;
}

TEST(CatalogueScramblerTest, KeyStreamIsTheRawCrcRegisterOverTheLength) {
  for (uint32_t count : {1u, 2u, 16u, 1000u, 65537u}) {
    std::vector<uint8_t> bytes(count, 0);
    UnscrambleCatalogue(bytes.data(), count);
    EXPECT_EQ(bytes, ReferenceKey(count)) << count;
  }
}

TEST(CatalogueScramblerTest, LongStreamsMadeInPiecesMatchTheKeyAtEveryLength) {
  // Around the length where the stream is split, and every remainder of
  // the split, so each piece starts where the one before it ended.
  for (uint32_t count : {4095u, 4096u, 4097u, 4098u, 4099u, 4100u, 100003u, 262144u}) {
    std::vector<uint8_t> bytes(count, 0);
    UnscrambleCatalogue(bytes.data(), count);
    ASSERT_EQ(bytes, ReferenceKey(count)) << count;
  }
}

TEST(CatalogueScramblerTest, TheSamePassUndoesItself) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 5000; ++i) bytes.push_back(static_cast<uint8_t>(i * 7));
  const auto original = bytes;
  UnscrambleCatalogue(bytes.data(), static_cast<uint32_t>(bytes.size()));
  EXPECT_NE(bytes, original);
  UnscrambleCatalogue(bytes.data(), static_cast<uint32_t>(bytes.size()));
  EXPECT_EQ(bytes, original);
  UnscrambleCatalogue(nullptr, 0);  // nothing to do, no crash
}

}  // namespace
}  // namespace vidora
