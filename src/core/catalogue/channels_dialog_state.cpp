#include "core/catalogue/channels_dialog_state.h"

#include "core/stores/settings_store.h"

namespace vidora {

ChannelsDialogState& DialogSelection() {
  static ChannelsDialogState state;
  return state;
}

void LoadDialogSelection() {
  ChannelsDialogState& state = DialogSelection();
  state.tab = GetIntSetting("sel_tab", 0);
  state.country = GetIntSetting("sel_country", 0);
  state.category = GetIntSetting("sel_category", 0);
  state.tvradio = GetIntSetting("sel_tvradio", 0);
}

void SaveDialogSelection() {
  const ChannelsDialogState& state = DialogSelection();
  SetIntSetting("sel_tab", state.tab);
  SetIntSetting("sel_category", state.category);
  SetIntSetting("sel_country", state.country);
  SetIntSetting("sel_tvradio", state.tvradio);
}

int32_t ClampListPosition(int32_t position, int count) {
  // A negative position would leave the list without a selection; the
  // "all" entry is the sound reading of a damaged value.
  return position >= 0 && position < count ? position : 0;
}

}  // namespace vidora
