// Qt's headers come before Xlib's, whose macros (Bool, Status) they reject.
#include "ui/desktop/rotation_policy.h"

#include <QGuiApplication>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace vidora {

bool IsBuiltInPanel(const std::string& name) {
  for (const char* prefix : {"eDP", "LVDS", "DSI"}) {
    if (name.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

bool RotationMakesSense(bool has_motion_sensor, const std::vector<DisplayOutput>& outputs) {
  if (has_motion_sensor) return true;
  for (const DisplayOutput& output : outputs) {
    if (IsBuiltInPanel(output.name) && output.has_panel_orientation) return true;
  }
  return false;
}

std::vector<DisplayOutput> ConnectedOutputs() {
  std::vector<DisplayOutput> outputs;
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return outputs;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return outputs;
  int event_base = 0, error_base = 0;
  XRRScreenResources* resources =
      XRRQueryExtension(display, &event_base, &error_base)
          ? XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display))
          : nullptr;
  if (resources != nullptr) {
    const Atom orientation = XInternAtom(display, "panel orientation", True);
    for (int i = 0; i < resources->noutput; ++i) {
      XRROutputInfo* info = XRRGetOutputInfo(display, resources, resources->outputs[i]);
      if (info == nullptr) continue;
      if (info->connection == RR_Connected) {
        DisplayOutput output;
        output.name.assign(info->name, info->nameLen);
        if (orientation != None) {
          XRRPropertyInfo* property = XRRQueryOutputProperty(display, resources->outputs[i], orientation);
          output.has_panel_orientation = property != nullptr;
          if (property != nullptr) XFree(property);
        }
        outputs.push_back(std::move(output));
      }
      XRRFreeOutputInfo(info);
    }
    XRRFreeScreenResources(resources);
  }
  XCloseDisplay(display);
  return outputs;
}

}  // namespace vidora
