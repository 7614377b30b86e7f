#include "core/playback/recovery_plan.h"

#include <gtest/gtest.h>

#include <vector>

namespace vidora {
namespace {

std::vector<int> AllDelays(RecoveryPlan& plan) {
  std::vector<int> delays;
  while (std::optional<int> delay = plan.NextReconnectDelayMs()) delays.push_back(*delay);
  return delays;
}

TEST(RecoveryPlanTest, ReconnectionBacksOffToEightSecondsAndGivesUpAfterAboutAMinute) {
  RecoveryPlan plan(1, 0);
  EXPECT_FALSE(plan.reconnecting());
  const std::vector<int> delays = AllDelays(plan);
  ASSERT_GE(delays.size(), 5u);
  EXPECT_EQ(std::vector<int>(delays.begin(), delays.begin() + 5), (std::vector<int>{1000, 2000, 4000, 8000, 8000}));
  int total = 0;
  for (int delay : delays) total += delay;
  EXPECT_GE(total, 60000);
  EXPECT_LT(total, 70000);
  EXPECT_FALSE(plan.reconnecting());

  // Playing again starts the back-off afresh.
  RecoveryPlan again(1, 0);
  again.NextReconnectDelayMs();
  again.NextReconnectDelayMs();
  EXPECT_TRUE(again.reconnecting());
  again.OnPlaying();
  EXPECT_FALSE(again.reconnecting());
  EXPECT_EQ(again.NextReconnectDelayMs(), 1000);
}

TEST(RecoveryPlanTest, SourcesAreTriedInTurnFromTheFirstChoiceWrappingOnce) {
  RecoveryPlan plan(3, 1);
  EXPECT_EQ(plan.source(), 1);
  EXPECT_EQ(plan.NextSource(), 2);
  EXPECT_EQ(plan.NextSource(), 0);
  EXPECT_EQ(plan.NextSource(), std::nullopt);

  RecoveryPlan single(1, 0);
  EXPECT_EQ(single.NextSource(), std::nullopt);
  // A stored choice beyond the sources starts at the last one.
  EXPECT_EQ(RecoveryPlan(2, 5).source(), 1);

  // A new source gets its own back-off.
  RecoveryPlan two(2, 0);
  AllDelays(two);
  EXPECT_EQ(two.NextSource(), 1);
  EXPECT_EQ(two.NextReconnectDelayMs(), 1000);
}

TEST(RecoveryPlanTest, AGivenOrderPutsTheSourcesThatAnsweredFirst) {
  // The check found source 0 dead: 1 and 2 are tried before it.
  RecoveryPlan plan(3, 1, {1, 2, 0});
  EXPECT_EQ(plan.NextSource(), 2);
  EXPECT_EQ(plan.NextSource(), 0);
  EXPECT_EQ(plan.NextSource(), std::nullopt);
  // An order that does not name each source once is passed over.
  RecoveryPlan odd(3, 0, {2, 2, 0});
  EXPECT_EQ(odd.NextSource(), 1);
}

}  // namespace
}  // namespace vidora
