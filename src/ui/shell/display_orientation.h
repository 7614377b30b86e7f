#ifndef VIDORA_UI_SHELL_DISPLAY_ORIENTATION_H_
#define VIDORA_UI_SHELL_DISPLAY_ORIENTATION_H_

#include <QPoint>

#include <functional>
#include <memory>

namespace vidora {

// Turns the display between portrait (DMDO_0) and landscape (DMDO_270).
// Failures are silent: the presentation goes on in the current
// orientation. UI thread only.
class DisplayOrientation {
 public:
  virtual ~DisplayOrientation() = default;
  // True when the display was turned; false when it already had the
  // orientation asked for, or the change was refused or impossible.
  virtual bool SetDisplayOrientation(int value) = 0;
};

// Rotates, through XRandR, the output that shows the point the locator
// returns (the main window's centre, in global coordinates), so that
// "portrait" means taller than wide and "landscape" wider than tall on
// that output whatever its native shape; asking for the shape it already
// has does nothing. Off X11 it does nothing.
std::unique_ptr<DisplayOrientation> CreateXRandrDisplayOrientation(std::function<QPoint()> locator);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_DISPLAY_ORIENTATION_H_
