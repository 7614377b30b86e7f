#include <QGuiApplication>

#include <algorithm>
#include <map>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "ui/shell/display_orientation.h"
#include "ui/shell/tilt_tracker.h"

namespace vidora {
namespace {

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

class XRandrDisplayOrientation : public DisplayOrientation {
 public:
  explicit XRandrDisplayOrientation(std::function<QPoint()> locator) : locator_(std::move(locator)) {}

  bool SetDisplayOrientation(int value) override {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    auto* previous = XSetErrorHandler(IgnoreXErrors);
    const bool turned = Rotate(display, value == DMDO_270);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return turned;
  }

 private:
  bool Rotate(Display* display, bool landscape) {
    int event_base = 0, error_base = 0;
    if (!XRRQueryExtension(display, &event_base, &error_base)) return false;
    const Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr) return false;
    bool turned = false;
    const QPoint at = locator_ ? locator_() : QPoint();
    for (int i = 0; i < resources->ncrtc; ++i) {
      XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
      if (crtc == nullptr) continue;
      const bool shows_point = crtc->mode != None && crtc->noutput > 0 && at.x() >= crtc->x &&
                               at.y() >= crtc->y && at.x() < crtc->x + static_cast<int>(crtc->width) &&
                               at.y() < crtc->y + static_cast<int>(crtc->height);
      if (shows_point) turned = RotateCrtc(display, root, resources, resources->crtcs[i], crtc, landscape);
      XRRFreeCrtcInfo(crtc);
      if (shows_point) break;
    }
    XRRFreeScreenResources(resources);
    return turned;
  }

  bool RotateCrtc(Display* display, Window root, XRRScreenResources* resources, RRCrtc id, XRRCrtcInfo* crtc,
                  bool landscape) {
    const bool wide_now = crtc->width > crtc->height;
    if (wide_now == landscape) return false;  // already the shape asked for
    // The shape flips by a quarter turn either way; go back to the normal
    // rotation when that gives the shape, else turn left (270).
    const Rotation current = crtc->rotation & 0xF;
    const bool turned = current == RR_Rotate_90 || current == RR_Rotate_270;
    Rotation wanted = turned ? RR_Rotate_0 : RR_Rotate_270;
    // Turning back restores the rotation this output had before the last
    // turn (a screen the user keeps at 90 comes back at 90, not 270).
    const auto before = before_turn_.find(id);
    if (before != before_turn_.end()) {
      const bool before_turned = before->second == RR_Rotate_90 || before->second == RR_Rotate_270;
      if (before_turned != turned) wanted = before->second;
    }
    if ((crtc->rotations & wanted) == 0) return false;  // not permitted here
    // The screen must hold every output after the turn.
    int screen_w = static_cast<int>(crtc->x + crtc->height);
    int screen_h = static_cast<int>(crtc->y + crtc->width);
    for (int i = 0; i < resources->ncrtc; ++i) {
      if (resources->crtcs[i] == id) continue;
      XRRCrtcInfo* other = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
      if (other == nullptr) continue;
      if (other->mode != None) {
        screen_w = std::max(screen_w, static_cast<int>(other->x + other->width));
        screen_h = std::max(screen_h, static_cast<int>(other->y + other->height));
      }
      XRRFreeCrtcInfo(other);
    }
    int min_w = 0, min_h = 0, max_w = 0, max_h = 0;
    if (!XRRGetScreenSizeRange(display, root, &min_w, &min_h, &max_w, &max_h)) return false;
    if (screen_w > max_w || screen_h > max_h || screen_w < min_w || screen_h < min_h) return false;
    const int screen = DefaultScreen(display);
    const double mm_per_pixel = static_cast<double>(DisplayWidthMM(display, screen)) / DisplayWidth(display, screen);
    const int old_w = DisplayWidth(display, screen), old_h = DisplayHeight(display, screen);
    const int old_mm_w = DisplayWidthMM(display, screen), old_mm_h = DisplayHeightMM(display, screen);
    XGrabServer(display);
    XRRSetCrtcConfig(display, resources, id, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
    XRRSetScreenSize(display, root, screen_w, screen_h, static_cast<int>(screen_w * mm_per_pixel),
                     static_cast<int>(screen_h * mm_per_pixel));
    const Status status = XRRSetCrtcConfig(display, resources, id, CurrentTime, crtc->x, crtc->y, crtc->mode,
                                           wanted, crtc->outputs, crtc->noutput);
    const bool done = status == RRSetConfigSuccess;
    if (!done) {
      // A refused turn must not leave the output dark: put it back as it was.
      XRRSetScreenSize(display, root, old_w, old_h, old_mm_w, old_mm_h);
      XRRSetCrtcConfig(display, resources, id, CurrentTime, crtc->x, crtc->y, crtc->mode, crtc->rotation,
                       crtc->outputs, crtc->noutput);
    }
    XUngrabServer(display);
    if (done) before_turn_[id] = current;
    return done;
  }

  std::function<QPoint()> locator_;
  std::map<RRCrtc, Rotation> before_turn_;
};

}  // namespace

std::unique_ptr<DisplayOrientation> CreateXRandrDisplayOrientation(std::function<QPoint()> locator) {
  return std::make_unique<XRandrDisplayOrientation>(std::move(locator));
}

}  // namespace vidora
