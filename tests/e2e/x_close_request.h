#ifndef VIDORA_TESTS_E2E_X_CLOSE_REQUEST_H_
#define VIDORA_TESTS_E2E_X_CLOSE_REQUEST_H_

#include <string>

namespace vidora::testing {

// Sends `window` on the X display `display` the window manager's close
// request (WM_PROTOCOLS / WM_DELETE_WINDOW), as a title bar's close button
// does. Returns whether it was sent.
bool SendCloseRequest(const std::string& display, unsigned long window);

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_E2E_X_CLOSE_REQUEST_H_
