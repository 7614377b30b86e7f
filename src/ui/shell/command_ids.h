#ifndef VIDORA_UI_SHELL_COMMAND_IDS_H_
#define VIDORA_UI_SHELL_COMMAND_IDS_H_

namespace vidora {

// Commands of the main frame, with the values the whole system uses.
inline constexpr int ID_FULLSCREEN = 103;
inline constexpr int ID_CHANNEL_UPDATE = 104;
inline constexpr int ID_SETTINGS = 106;
inline constexpr int ID_UPDATE = 107;
inline constexpr int ID_ADD_PLAYLIST = 110;
inline constexpr int ID_REFRESH_PLAYLISTS = 111;
inline constexpr int ID_ABOUT = 57664;     // 0xE140
inline constexpr int ID_EXIT = 57665;      // 0xE141
inline constexpr int ID_CHANNELS = 59283;  // 0xE793

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_COMMAND_IDS_H_
