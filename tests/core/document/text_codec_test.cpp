#include "core/document/text_codec.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

TEST(TextCodecTest, RoundTripsEveryPlane) {
  const std::u16string text = u"Aä€\U0001F4FA";
  EXPECT_EQ(Utf16ToUtf8(text), "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x93\xBA");
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

TEST(TextCodecTest, InvalidInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");           // cut short
  EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), u"\uFFFD");       // overlong
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");   // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82x"), u"\uFFFDx");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), u'a'}), "\xEF\xBF\xBD" "a");
}

}  // namespace
}  // namespace vidora
