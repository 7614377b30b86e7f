#include "core/timeshift/live_position.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

TEST(LivePositionTest, LabelSaysLiveOrHowFarBehind) {
  EXPECT_EQ(LiveLabel({998.5, 0, 1000}), u"LIVE");
  EXPECT_EQ(LiveLabel({1000 - 754, 0, 1000}), u"\u221212:34");
  EXPECT_EQ(LiveLabel({4000 - 3723, 0, 4000}), u"\u22121:02:03");
}

TEST(LivePositionTest, StepsStayInsideTheBufferAndTheHourBehindLive) {
  const LivePosition at{900, 100, 1000};
  EXPECT_DOUBLE_EQ(SeekTarget(at, -10, 3600), 890);
  EXPECT_DOUBLE_EQ(SeekTarget(at, 600, 3600), 1000);
  EXPECT_DOUBLE_EQ(SeekTarget(at, -6000, 3600), 100);
  EXPECT_DOUBLE_EQ(SeekTarget({5000, 0, 9000}, -6000, 3600), 5400);
}

}  // namespace
}  // namespace vidora
