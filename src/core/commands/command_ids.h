#ifndef VIDORA_CORE_COMMANDS_COMMAND_IDS_H_
#define VIDORA_CORE_COMMANDS_COMMAND_IDS_H_

namespace vidora {

// Commands of the main frame, with the values the whole system uses.

// The left soft key.
inline constexpr int ID_CHANNELS = 59283;  // 0xE793
// The right soft key's menu; the control panel also sends ID_FULLSCREEN.
inline constexpr int ID_FULLSCREEN = 103;
inline constexpr int ID_SETTINGS = 106;
inline constexpr int ID_ABOUT = 57664;  // 0xE140
inline constexpr int ID_EXIT = 57665;   // 0xE141, also Ctrl+Q
// The update commands, from the menu or from the update service once an
// automatic check found something newer.
inline constexpr int ID_UPDATE = 107;
inline constexpr int ID_CHANNEL_UPDATE = 104;
// The playlist commands of the right soft key's menu.
inline constexpr int ID_ADD_PLAYLIST = 110;
inline constexpr int ID_REFRESH_PLAYLISTS = 111;
// Recording what plays (also R) and the Recordings page.
inline constexpr int ID_RECORD = 112;
inline constexpr int ID_RECORDINGS = 113;
inline constexpr int ID_GUIDE_GRID = 114;  // also G
// Provider accounts (Ctrl+Shift+A) and the radio directory (Ctrl+Shift+D).
inline constexpr int ID_ADD_PROVIDER = 115;
inline constexpr int ID_RADIO_DIRECTORY = 116;
// The check of every channel's sources (Ctrl+Shift+H).
inline constexpr int ID_CHECK_CHANNELS = 117;
// The "Films & series" page of provider accounts (Ctrl+Shift+F).
inline constexpr int ID_FILMS = 118;
// The sleep timer's sub-menu: off, a number of minutes, the end of the
// running programme, and whether the player quits when it ends.
inline constexpr int ID_SLEEP_OFF = 120;
inline constexpr int ID_SLEEP_15 = 121;
inline constexpr int ID_SLEEP_30 = 122;
inline constexpr int ID_SLEEP_60 = 123;
inline constexpr int ID_SLEEP_90 = 124;
inline constexpr int ID_SLEEP_END_OF_PROGRAMME = 125;
inline constexpr int ID_SLEEP_QUIT = 126;

}  // namespace vidora

#endif  // VIDORA_CORE_COMMANDS_COMMAND_IDS_H_
