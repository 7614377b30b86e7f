#ifndef VIDORA_UI_CATALOGUE_CHANNELS_DIALOG_STATE_H_
#define VIDORA_UI_CATALOGUE_CHANNELS_DIALOG_STATE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace vidora {

// Tabs of the channels dialog, in the strip's order, as stored in
// `sel_tab` (any other non-zero value means the favourites tab).
inline constexpr int32_t kChannelsTab = 0;
inline constexpr int32_t kFavouritesTab = 1;
inline constexpr int32_t kRecentTab = 2;  // the channels watched last

// Kind filter positions, as stored in `sel_tvradio`.
inline constexpr int32_t kKindAll = 0;
inline constexpr int32_t kKindTv = 1;
inline constexpr int32_t kKindRadio = 2;

// The channels dialog's remembered set-up, process-wide, all 0 at start.
// `country` and `category` are positions in the dialog's sorted lists
// (0 = the "all" entry); `country_key` and `category_key` say what those
// positions stood for (a country or playlist key, a category key; empty
// for "all"), and win where the lists have changed since (a playlist
// added in front). Settings written before the keys were kept have
// positions only. The two rows are the selected rows of
// the channel and favourites lists when the dialog last ended through play
// or close (-1 = none); they are never saved. UI thread only.
struct ChannelsDialogState {
  int32_t tab = 0;
  int32_t country = 0;
  int32_t category = 0;
  int32_t tvradio = 0;
  std::string country_key;
  std::string category_key;
  int channel_row = 0;
  int favourite_row = 0;
};

ChannelsDialogState& DialogSelection();

// Reads `sel_tab`, `sel_country`, `sel_category` and `sel_tvradio` (default
// 0) and the two keys (default empty) into DialogSelection(). Called when
// the dialog initialises.
void LoadDialogSelection();
// Writes the four selections back in the order `sel_tab`, `sel_category`,
// `sel_country`, `sel_tvradio`, then the two keys. Called when the dialog
// window goes away.
void SaveDialogSelection();

// Makes the channels dialog open next on the playlist (or country) with
// key `country_key`: the channels tab, every category and kind, so that
// all of its channels show. Writes the selection settings. UI thread.
void ChooseDialogPlaylist(const std::string& country_key);

// A stored list position checked against a list of `count` entries: the
// position itself when it is a valid index, else 0 (the "all" entry).
int32_t ClampListPosition(int32_t position, int count);

// The position to select in a list whose entries stand for `keys` (the
// "all" entry's key empty): the entry of `key` when it is not empty,
// 0 when that entry is gone; for an empty key (settings that kept only
// positions) ClampListPosition(position).
int32_t ListPositionFor(const std::string& key, int32_t position, const std::vector<std::string>& keys);

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_CHANNELS_DIALOG_STATE_H_
