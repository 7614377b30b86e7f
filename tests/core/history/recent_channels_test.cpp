#include "core/history/recent_channels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace vidora {
namespace {

using Keys = std::vector<std::string>;

TEST(RecentChannelsTest, KeepsTheLastThirtyNewestFirstAndEachOnce) {
  RecentChannels recent;
  EXPECT_TRUE(recent.Add("de_ard"));
  EXPECT_TRUE(recent.Add("uk_bbc1"));
  EXPECT_TRUE(recent.Add("de_ard"));  // watched again: back in front, not twice
  EXPECT_EQ(recent.keys(), (Keys{"de_ard", "uk_bbc1"}));

  // Keys the stored form cannot carry are refused.
  EXPECT_FALSE(recent.Add("a\x1e" "b"));
  for (int i = 0; i < 40; ++i) recent.Add("ch" + std::to_string(i));
  ASSERT_EQ(recent.keys().size(), kRecentChannelsKept);
  EXPECT_EQ(recent.keys().front(), "ch39");
  EXPECT_EQ(recent.keys().back(), "ch10");
}

TEST(RecentChannelsTest, TheStoredFormReadsBackAndADamagedOneGivesWhatItHolds) {
  RecentChannels recent;
  for (const char* key : {"pl1_Sport", "de_zdf", "fr_tf1"}) recent.Add(key);
  const RecentChannels read = RecentChannels::Decode(recent.Encode());
  EXPECT_EQ(read.keys(), (Keys{"fr_tf1", "de_zdf", "pl1_Sport"}));

  // Cut short, empty records, a repeat, a stray field mark.
  EXPECT_EQ(RecentChannels::Decode("a\x1e\x1e" "b\x1e" "a\x1e" "x\x1fy\x1e" "c").keys(), (Keys{"a", "b", "c"}));
}

}  // namespace
}  // namespace vidora
