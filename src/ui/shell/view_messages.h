#ifndef VIDORA_UI_SHELL_VIEW_MESSAGES_H_
#define VIDORA_UI_SHELL_VIEW_MESSAGES_H_

#include <cstdint>

namespace vidora {

class Channel;

// The main view's private messages, with their values.
inline constexpr unsigned WM_USER = 0x0400;
inline constexpr unsigned WM_PLAY_CHANNEL = WM_USER + 1;        // 0x0401, channel or null
inline constexpr unsigned WM_STOP_PLAYBACK = WM_USER + 2;       // 0x0402
inline constexpr unsigned WM_TOGGLE_FULL_LAYOUT = WM_USER + 4;  // 0x0404
inline constexpr unsigned WM_STEP_FAVOURITE = WM_USER + 5;      // 0x0405, wparam 1 = next

// Where the view's private messages are sent: synchronously, on the UI
// thread, like the original's SendMessage. `channel` is the lParam of
// WM_PLAY_CHANNEL (nullptr = the catalogue's current channel); the other
// messages pass nullptr. Returns the message's result (0 when unhandled).
class ViewMessageTarget {
 public:
  virtual ~ViewMessageTarget() = default;
  virtual intptr_t SendViewMessage(unsigned message, uintptr_t wparam, Channel* channel) = 0;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_VIEW_MESSAGES_H_
