// Qt's headers come before Xlib's, whose macros (Bool, Status) they reject.
#include "ui/desktop/idle_inhibitor.h"

#include <QByteArray>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace vidora {
namespace {

class XScreenSaverInhibitor : public IdleInhibitor {
 public:
  explicit XScreenSaverInhibitor(const QString& display_name) : display_name_(display_name.toLocal8Bit()) {}
  ~XScreenSaverInhibitor() override { Release(); }

  void Inhibit(const QString&) override {
    if (display_ != nullptr) return;
    display_ = XOpenDisplay(display_name_.isEmpty() ? nullptr : display_name_.constData());
    if (display_ == nullptr) return;
    int event_base = 0, error_base = 0;
    if (!XScreenSaverQueryExtension(display_, &event_base, &error_base)) {
      XCloseDisplay(display_);
      display_ = nullptr;
      return;
    }
    // A saver already running when the picture starts goes away too.
    XResetScreenSaver(display_);
    XScreenSaverSuspend(display_, True);
    XFlush(display_);
  }

  void Release() override {
    if (display_ == nullptr) return;
    XScreenSaverSuspend(display_, False);
    XCloseDisplay(display_);
    display_ = nullptr;
  }

  bool inhibiting() const override { return display_ != nullptr; }
  QString mechanism() const override { return QStringLiteral("xss"); }

 private:
  QByteArray display_name_;
  Display* display_ = nullptr;
};

}  // namespace

std::unique_ptr<IdleInhibitor> CreateXScreenSaverInhibitor(const QString& display_name) {
  return std::make_unique<XScreenSaverInhibitor>(display_name);
}

}  // namespace vidora
