#include "core/catalogue/channels_dialog_state.h"

#include "core/stores/settings_store.h"

namespace vidora {

ChannelsDialogState& DialogSelection() {
  static ChannelsDialogState state;
  return state;
}

void LoadDialogSelection() {
  ChannelsDialogState& state = DialogSelection();
  state.tab = GetSetting(kSelectedTabSetting);
  state.country = GetSetting(kSelectedCountrySetting);
  state.category = GetSetting(kSelectedCategorySetting);
  state.tvradio = GetSetting(kSelectedKindSetting);
}

void SaveDialogSelection() {
  const ChannelsDialogState& state = DialogSelection();
  SetSetting(kSelectedTabSetting, state.tab);
  SetSetting(kSelectedCategorySetting, state.category);
  SetSetting(kSelectedCountrySetting, state.country);
  SetSetting(kSelectedKindSetting, state.tvradio);
}

int32_t ClampListPosition(int32_t position, int count) {
  // A negative position would leave the list without a selection; the
  // "all" entry is the sound reading of a damaged value.
  return position >= 0 && position < count ? position : 0;
}

}  // namespace vidora
