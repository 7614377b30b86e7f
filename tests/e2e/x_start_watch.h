#ifndef VIDORA_TESTS_E2E_X_START_WATCH_H_
#define VIDORA_TESTS_E2E_X_START_WATCH_H_

#include <string>

struct _XDisplay;

namespace vidora::testing {

// Watches the top-level windows that appear on an X display from the moment
// it is made: for a start that must show one window (a loading screen) on
// the display before it builds the next. Xlib stays inside its source,
// whose macros break Qt's headers. One thread.
class XStartWatch {
 public:
  explicit XStartWatch(const std::string& display);
  ~XStartWatch();
  XStartWatch(const XStartWatch&) = delete;
  XStartWatch& operator=(const XStartWatch&) = delete;

  bool ok() const { return display_ != nullptr; }

  // Waits up to `bound_ms` for the first mapped top-level window, then for
  // a larger top-level window to be created, and returns how many distinct
  // colours the first window's pixels held at that moment, up to 16 (one:
  // nothing painted there yet, the display's background shows). -1 when
  // the two windows did not come within the bound.
  int FirstWindowColoursWhenALargerOneIsCreated(int bound_ms);

 private:
  _XDisplay* display_ = nullptr;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_E2E_X_START_WATCH_H_
