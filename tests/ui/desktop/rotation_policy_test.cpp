// When the player may turn the display at all.
#include "ui/desktop/rotation_policy.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

TEST(RotationPolicyTest, OnlyASensorOrATurnablePanelAllowsTurning) {
  // An ordinary desktop: monitors on cables, whatever their properties.
  EXPECT_FALSE(RotationMakesSense(false, {{"HDMI-A-0", false}, {"DP-1", false}}));
  EXPECT_FALSE(RotationMakesSense(false, {{"DVI-I-1", true}}));
  EXPECT_FALSE(RotationMakesSense(false, {}));
  // A laptop's fixed panel.
  EXPECT_FALSE(RotationMakesSense(false, {{"eDP-1", false}, {"HDMI-1", false}}));
  // A tablet or handheld panel, or any device with a motion sensor.
  EXPECT_TRUE(RotationMakesSense(false, {{"DSI-1", true}}));
  EXPECT_TRUE(RotationMakesSense(false, {{"HDMI-1", false}, {"eDP-1", true}}));
  EXPECT_TRUE(RotationMakesSense(true, {{"HDMI-A-0", false}}));
  EXPECT_TRUE(IsBuiltInPanel("LVDS1"));
  EXPECT_FALSE(IsBuiltInPanel("VGA-1"));
}

}  // namespace
}  // namespace vidora
