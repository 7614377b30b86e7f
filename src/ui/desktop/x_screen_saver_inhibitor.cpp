// Qt's headers come before Xlib's, whose macros (Bool, Status) they reject.
#include "ui/desktop/idle_inhibitor.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace vidora {
namespace {

class XScreenSaverInhibitor : public QObject, public IdleInhibitor {
 public:
  XScreenSaverInhibitor(const QString& display_name, int reset_interval_ms)
      : display_name_(display_name.toLocal8Bit()) {
    reset_timer_.setInterval(reset_interval_ms);
    connect(&reset_timer_, &QTimer::timeout, this, [this] {
      if (display_ == nullptr) return;
      XResetScreenSaver(display_);
      XFlush(display_);
    });
  }
  ~XScreenSaverInhibitor() override { Release(); }

  void Inhibit(const QString&) override {
    if (display_ != nullptr) return;
    display_ = XOpenDisplay(display_name_.isEmpty() ? nullptr : display_name_.constData());
    if (display_ == nullptr) {
      ReportFailure();
      return;
    }
    int event_base = 0, error_base = 0;
    if (!XScreenSaverQueryExtension(display_, &event_base, &error_base)) {
      XCloseDisplay(display_);
      display_ = nullptr;
      ReportFailure();
      return;
    }
    // A saver already running when the picture starts goes away too.
    XResetScreenSaver(display_);
    XScreenSaverSuspend(display_, True);
    XFlush(display_);
    reset_timer_.start();
  }

  void Release() override {
    reset_timer_.stop();
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
  QTimer reset_timer_;
};

}  // namespace

std::unique_ptr<IdleInhibitor> CreateXScreenSaverInhibitor(const QString& display_name, int reset_interval_ms) {
  return std::make_unique<XScreenSaverInhibitor>(display_name, reset_interval_ms);
}

}  // namespace vidora
