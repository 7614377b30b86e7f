#include "e2e/x_close_request.h"

#include <X11/Xlib.h>

namespace vidora::testing {

bool SendCloseRequest(const std::string& display_name, unsigned long window) {
  Display* display = XOpenDisplay(display_name.c_str());
  if (display == nullptr) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
  XFlush(display);
  XCloseDisplay(display);
  return sent;
}

}  // namespace vidora::testing
