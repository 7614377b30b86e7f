#ifndef VIDORA_UI_DESKTOP_ROTATION_POLICY_H_
#define VIDORA_UI_DESKTOP_ROTATION_POLICY_H_

#include <string>
#include <vector>

namespace vidora {

// A connected display output as XRandR names it.
struct DisplayOutput {
  std::string name;  // "eDP-1", "HDMI-A-0", "DSI-1", ...
  // The kernel gives a built-in panel a "panel orientation" property when
  // it is mounted turned in its case (tablets, handhelds, convertibles).
  bool has_panel_orientation = false;
};

// Whether `name` is a panel built into the device (eDP, LVDS, DSI) rather
// than a monitor on a cable.
bool IsBuiltInPanel(const std::string& name);

// Whether the player may turn the display for full screen: on a device
// with a motion sensor (it follows how the device is held), or with a
// built-in panel that the kernel knows as mountable in either orientation.
// An ordinary desktop (external monitors, or a laptop's fixed panel) is
// never turned.
bool RotationMakesSense(bool has_motion_sensor, const std::vector<DisplayOutput>& outputs);

// The connected outputs of the X display ($DISPLAY); empty off X11 or
// without XRandR. UI thread (called once at start-up).
std::vector<DisplayOutput> ConnectedOutputs();

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_ROTATION_POLICY_H_
