#ifndef VIDORA_UI_CATALOGUE_CHANNEL_COMMANDS_H_
#define VIDORA_UI_CATALOGUE_CHANNEL_COMMANDS_H_

namespace vidora {

// Commands of the channels dialog and its lists.
inline constexpr int ID_PLAY = 59283;  // 0xE793, left soft key, double tap, Enter
inline constexpr int ID_CTX_PLAY = 32777;
inline constexpr int ID_ADD_FAVOURITE = 32778;
inline constexpr int ID_REMOVE_FAVOURITE = 32780;
// Channels to favourites, anything else to channels (the menu's item).
inline constexpr int ID_SWITCH_TAB = 32790;
// The strip's next and previous tab, round (Ctrl+Tab, Ctrl+Shift+Tab).
inline constexpr int ID_NEXT_TAB = 32791;
inline constexpr int ID_PREVIOUS_TAB = 32792;
inline constexpr int ID_CLOSE_CHANNELS = 102;
inline constexpr int ID_SHOW_GUIDE = 32800;
inline constexpr int ID_HIDE_GUIDE = 32801;
inline constexpr int ID_CHOOSE_GUIDE_CHANNEL = 32802;
// The channel check of the chosen list (Ctrl+Shift+H in the dialog) and
// "Hide unavailable channels".
inline constexpr int ID_CHECK_LIST = 32803;
inline constexpr int ID_HIDE_UNAVAILABLE = 32804;
// The programme guide's grid of the shown list's channels (G in the main
// window opens it for every channel).
inline constexpr int ID_GUIDE_GRID = 114;

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_CHANNEL_COMMANDS_H_
