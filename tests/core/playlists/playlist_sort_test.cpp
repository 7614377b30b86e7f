// The sort chosen per playlist, as kept across restarts, and the order
// channel numbers are counted in.
#include "core/playlists/playlist_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/stores/settings_store.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

TEST(PlaylistSortTest, EachPlaylistKeepsItsOwnSortAcrossARestart) {
  testing::TempDir dir;
  Settings().Load(dir / "Settings.cfg");
  SetSetting(kPlaylistSortSetting, u"");
  StorePlaylistSort("pl00000001", PlaylistSort::kName);
  StorePlaylistSort("pl00000002", PlaylistSort::kNumber);
  StorePlaylistSort("pl00000001", PlaylistSort::kNumber);  // changed again: one entry
  ASSERT_TRUE(SaveSettings());

  Settings().Load(dir / "Settings.cfg");
  EXPECT_EQ(StoredPlaylistSort("pl00000001"), PlaylistSort::kNumber);
  EXPECT_EQ(StoredPlaylistSort("pl00000002"), PlaylistSort::kNumber);
  EXPECT_EQ(StoredPlaylistSort("pl00000003"), PlaylistSort::kPlaylistOrder);  // never chosen
  // Back to the playlist's own order: the choice is forgotten.
  StorePlaylistSort("pl00000002", PlaylistSort::kPlaylistOrder);
  EXPECT_EQ(GetSetting(kPlaylistSortSetting), u"pl00000001\x1f" u"2");

  // A damaged value: unknown sorts and cut pairs read as the playlist's order.
  SetSetting(kPlaylistSortSetting, u"pl00000004\x1f" u"7\x1e" u"pl00000005\x1e\x1e" u"pl00000006\x1f" u"1");
  EXPECT_EQ(StoredPlaylistSort("pl00000004"), PlaylistSort::kPlaylistOrder);
  EXPECT_EQ(StoredPlaylistSort("pl00000005"), PlaylistSort::kPlaylistOrder);
  EXPECT_EQ(StoredPlaylistSort("pl00000006"), PlaylistSort::kName);
  SetSetting(kPlaylistSortSetting, u"");
}

TEST(PlaylistSortTest, ChannelNumbersAreCountedNotSpelled) {
  std::vector<std::string> numbers = {"10", "2", "1.10", "007", "1", "100", "9", "2a", "1.5", "", "B2", "A10"};
  std::stable_sort(numbers.begin(), numbers.end(), ChannelNumberLess);
  EXPECT_EQ(numbers, (std::vector<std::string>{"", "1", "1.5", "1.10", "2", "2a", "007", "9", "10", "100", "A10", "B2"}));
  // Leading zeros change nothing: neither comes first.
  EXPECT_FALSE(ChannelNumberLess("07", "7"));
  EXPECT_FALSE(ChannelNumberLess("7", "07"));
}

}  // namespace
}  // namespace vidora
