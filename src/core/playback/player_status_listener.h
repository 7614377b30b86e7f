#ifndef VIDORA_CORE_PLAYBACK_PLAYER_STATUS_LISTENER_H_
#define VIDORA_CORE_PLAYBACK_PLAYER_STATUS_LISTENER_H_

#include <optional>
#include <string>

namespace vidora {

class PlayerWindow;

// Status codes of OnPlayerStatus.
inline constexpr int kStatusUpdate = 0;        // while playing or buffering
inline constexpr int kStatusBufferingEnded = 1;
inline constexpr int kStatusError = -1;        // error, idle player, or nothing playable
inline constexpr int kStatusNetworkError = -2; // the server could not be reached

// The one receiver of the main player's status. Called on the UI thread.
class PlayerStatusListener {
 public:
  virtual ~PlayerStatusListener() = default;
  // `text` is the player's status line (none counts as empty); `code` is
  // one of the kStatus values above.
  virtual void OnPlayerStatus(PlayerWindow* player, const std::optional<std::u16string>& text, int code) = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_PLAYER_STATUS_LISTENER_H_
