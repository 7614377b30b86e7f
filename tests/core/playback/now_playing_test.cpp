#include "core/playback/now_playing.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

TEST(NowPlayingTest, WindowTitleNamesWhatPlays) {
  EXPECT_EQ(WindowTitleFor({}, u"Vidora"), u"Vidora");
  EXPECT_EQ(WindowTitleFor({u"Arte", u"", false}, u"Vidora"), u"Arte \u2014 Vidora");
  EXPECT_EQ(WindowTitleFor({u"Radio 1", u"Song", true}, u"Vidora"), u"Song \u2014 Radio 1 \u2014 Vidora");
}

TEST(NowPlayingTest, StreamTitlesLoseControlCharactersAndExtraBlanksAndAreCapped) {
  EXPECT_EQ(SanitizeStreamTitle(u"  Artist\t-\r\nSong\x07  "), u"Artist - Song");
  // Terminal colours, with or without their ESC, and a title turned
  // around by an override.
  EXPECT_EQ(SanitizeStreamTitle(u"\x1b[31mRed\x1b[0m [1;32mGreen[0m"), u"Red Green");
  EXPECT_EQ(SanitizeStreamTitle(u"\x1b]0;owned\x07Song \u202Eevil\u202C [Live]"), u"Song evil [Live]");
  EXPECT_EQ(SanitizeStreamTitle(u""), u"");
  EXPECT_EQ(SanitizeStreamTitle(u"A\u2028B"), u"A B");

  const std::u16string long_title(500, u'x');
  const std::u16string capped = SanitizeStreamTitle(long_title);
  EXPECT_EQ(capped.size(), kMaxStreamTitleLength);
  EXPECT_EQ(capped.back(), u'\u2026');
  EXPECT_EQ(SanitizeStreamTitle(std::u16string(kMaxStreamTitleLength, u'y')).size(), kMaxStreamTitleLength);

  // A surrogate pair at the cut is dropped whole.
  std::u16string emoji(kMaxStreamTitleLength - 2, u'z');
  emoji += u"\U0001F3B5\U0001F3B5";
  const std::u16string cut = SanitizeStreamTitle(emoji);
  EXPECT_EQ(cut.back(), u'\u2026');
  EXPECT_FALSE(cut[cut.size() - 2] >= 0xD800 && cut[cut.size() - 2] <= 0xDBFF);
}

}  // namespace
}  // namespace vidora
