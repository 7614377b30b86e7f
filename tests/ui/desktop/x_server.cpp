#include "ui/desktop/x_server.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace vidora::testing {

XServer::~XServer() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

bool XServer::Start() {
  for (int number = 91; number < 120; ++number) {
    if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))) continue;
    name_ = QStringLiteral(":%1").arg(number);
    process_.start(QStringLiteral("Xvfb"), {name_, QStringLiteral("-noreset"), QStringLiteral("-screen"),
                                            QStringLiteral("0"), QStringLiteral("640x480x24")});
    if (!process_.waitForStarted(5000)) return false;
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired() && process_.state() == QProcess::Running) {
      if (Display* display = XOpenDisplay(name_.toLocal8Bit().constData())) {
        XCloseDisplay(display);
        return true;
      }
      QThread::msleep(50);
    }
    process_.kill();
    process_.waitForFinished(5000);
  }
  return false;
}

void XServer::SetScreenSaverTimeout(int seconds) {
  Display* display = XOpenDisplay(name_.toLocal8Bit().constData());
  if (display == nullptr) return;
  XSetScreenSaver(display, seconds, 0, DontPreferBlanking, AllowExposures);
  XResetScreenSaver(display);
  XSync(display, False);
  XCloseDisplay(display);
}

bool XServer::SaverActive() {
  Display* display = XOpenDisplay(name_.toLocal8Bit().constData());
  if (display == nullptr) return false;
  bool on = false;
  if (XScreenSaverInfo* info = XScreenSaverAllocInfo()) {
    if (XScreenSaverQueryInfo(display, DefaultRootWindow(display), info)) on = info->state == ScreenSaverOn;
    XFree(info);
  }
  XCloseDisplay(display);
  return on;
}

long XServer::IdleMs() {
  Display* display = XOpenDisplay(name_.toLocal8Bit().constData());
  if (display == nullptr) return -1;
  long idle = -1;
  if (XScreenSaverInfo* info = XScreenSaverAllocInfo()) {
    if (XScreenSaverQueryInfo(display, DefaultRootWindow(display), info)) idle = static_cast<long>(info->idle);
    XFree(info);
  }
  XCloseDisplay(display);
  return idle;
}

}  // namespace vidora::testing
