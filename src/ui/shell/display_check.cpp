#include "ui/shell/display_check.h"

#include <X11/Xlib.h>

namespace vidora {

namespace {

QString Environment(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

QString PlatformOf(const QStringList& arguments) {
  const qsizetype at = arguments.indexOf(QStringLiteral("-platform"));
  if (at >= 0 && at + 1 < arguments.size()) return arguments.at(at + 1);
  return Environment("QT_QPA_PLATFORM");
}

}  // namespace

QString MissingDisplayReason(const QStringList& arguments) {
  // "xcb;wayland" style lists: the first entry decides what Qt tries first.
  const QString platform = PlatformOf(arguments).section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0);
  const QString wayland = Environment("WAYLAND_DISPLAY");
  const QString x_display = Environment("DISPLAY");
  if (!platform.isEmpty() && platform != QLatin1String("xcb") && !platform.startsWith(QLatin1String("wayland"))) {
    return {};  // offscreen, minimal, eglfs, linuxfb, vnc: no window system to reach
  }
  if (platform.startsWith(QLatin1String("wayland"))) {
    return wayland.isEmpty() ? QStringLiteral("vidora: cannot start: WAYLAND_DISPLAY is not set (no graphical session)")
                             : QString();
  }
  if (platform.isEmpty() && !wayland.isEmpty()) return {};
  if (x_display.isEmpty()) {
    return QStringLiteral("vidora: cannot start: no display (DISPLAY is not set; run it in a graphical session)");
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return QStringLiteral("vidora: cannot start: cannot open display %1").arg(x_display);
  XCloseDisplay(display);
  return {};
}

}  // namespace vidora
