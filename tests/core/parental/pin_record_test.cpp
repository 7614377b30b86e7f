#include "core/parental/pin_record.h"

#include <gtest/gtest.h>

#include <string>

namespace vidora {
namespace {

TEST(PinRecordTest, ARecordReadsBackFromItsTextWithBinarySaltAndHash) {
  const PinRecord record{30000, std::string("\x00\xff\x10 salt", 8), std::string("\x80hash\x00", 6)};
  const std::u16string text = EncodePinRecord(record);
  EXPECT_TRUE(text.starts_with(u"pbkdf2-sha256$30000$"));
  const std::optional<PinRecord> back = DecodePinRecord(text);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->iterations, 30000);
  EXPECT_EQ(back->salt, record.salt);
  EXPECT_EQ(back->hash, record.hash);
}

TEST(PinRecordTest, AnythingElseIsNoPin) {
  const std::u16string_view texts[] = {u"", u"1234", u"pbkdf2-sha256", u"pbkdf2-sha256$30000$0011", u"pbkdf2-sha1$30000$0011$2233",
        u"pbkdf2-sha256$0$0011$2233", u"pbkdf2-sha256$-5$0011$2233", u"pbkdf2-sha256$99999999999$0011$2233",
        u"pbkdf2-sha256$30000$001$2233", u"pbkdf2-sha256$30000$00GG$2233", u"pbkdf2-sha256$30000$$2233",
      u"pbkdf2-sha256$30000$0011$2233$44"};
  for (size_t i = 0; i < std::size(texts); ++i) EXPECT_FALSE(DecodePinRecord(texts[i]).has_value()) << "text " << i;
}

TEST(PinRecordTest, BytesCompareEqualOnlyWhenAllOfThemAre) {
  EXPECT_TRUE(SameBytesInConstantTime("abc", "abc"));
  EXPECT_FALSE(SameBytesInConstantTime("abc", "abd"));
  EXPECT_FALSE(SameBytesInConstantTime("xbc", "abc"));
  EXPECT_FALSE(SameBytesInConstantTime("abc", "abcd"));
}

}  // namespace
}  // namespace vidora
