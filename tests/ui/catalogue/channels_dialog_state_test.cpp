#include "ui/catalogue/channels_dialog_state.h"

#include <gtest/gtest.h>

#include "core/stores/setting_keys.h"
#include "core/stores/settings_store.h"

namespace vidora {
namespace {

TEST(ChannelsDialogStateTest, SelectionsRoundTripThroughTheSettingsAndClamp) {
  SetSetting(kSelectedTabSetting, 1);
  SetSetting(kSelectedCountrySetting, 7);
  SetSetting(kSelectedCategorySetting, 2);
  SetSetting(kSelectedKindSetting, 5);
  LoadDialogSelection();
  ChannelsDialogState& state = DialogSelection();
  EXPECT_EQ(state.tab, 1);
  EXPECT_EQ(state.tvradio, 5);
  state.country = ClampListPosition(state.country, 4);
  state.category = ClampListPosition(state.category, 11);
  EXPECT_EQ(state.country, 0);
  EXPECT_EQ(state.category, 2);
  EXPECT_EQ(ClampListPosition(-1, 4), 0);
  state.tab = 0;
  SaveDialogSelection();
  EXPECT_EQ(FindSetting(kSelectedTabSetting).value_or(-9), 0);
  EXPECT_EQ(FindSetting(kSelectedCountrySetting).value_or(-9), 0);
  EXPECT_EQ(FindSetting(kSelectedCategorySetting).value_or(-9), 2);
  EXPECT_EQ(FindSetting(kSelectedKindSetting).value_or(-9), 5);
  state = ChannelsDialogState{};
}

}  // namespace
}  // namespace vidora
