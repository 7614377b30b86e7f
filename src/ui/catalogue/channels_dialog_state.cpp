#include "ui/catalogue/channels_dialog_state.h"

#include <algorithm>

#include "core/document/text_codec.h"
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
  state.country_key = Utf16ToUtf8(GetSetting(kSelectedCountryKeySetting));
  state.category_key = Utf16ToUtf8(GetSetting(kSelectedCategoryKeySetting));
}

void SaveDialogSelection() {
  const ChannelsDialogState& state = DialogSelection();
  SetSetting(kSelectedTabSetting, state.tab);
  SetSetting(kSelectedCategorySetting, state.category);
  SetSetting(kSelectedCountrySetting, state.country);
  SetSetting(kSelectedKindSetting, state.tvradio);
  SetSetting(kSelectedCountryKeySetting, Utf8ToUtf16(state.country_key));
  SetSetting(kSelectedCategoryKeySetting, Utf8ToUtf16(state.category_key));
}

void ChooseDialogPlaylist(const std::string& country_key) {
  LoadDialogSelection();
  ChannelsDialogState& state = DialogSelection();
  state.tab = kChannelsTab;
  state.country_key = country_key;
  state.category = 0;
  state.category_key.clear();
  state.tvradio = kKindAll;
  state.channel_row = -1;
  SaveDialogSelection();
}

int32_t ClampListPosition(int32_t position, int count) {
  // A negative position would leave the list without a selection; the
  // "all" entry is the sound reading of a damaged value.
  return position >= 0 && position < count ? position : 0;
}

int32_t ListPositionFor(const std::string& key, int32_t position, const std::vector<std::string>& keys) {
  if (key.empty()) return ClampListPosition(position, static_cast<int>(keys.size()));
  const auto at = std::find(keys.begin(), keys.end(), key);
  return at != keys.end() ? static_cast<int32_t>(at - keys.begin()) : 0;
}

}  // namespace vidora
