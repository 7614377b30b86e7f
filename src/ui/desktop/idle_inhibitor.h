#ifndef VIDORA_UI_DESKTOP_IDLE_INHIBITOR_H_
#define VIDORA_UI_DESKTOP_IDLE_INHIBITOR_H_

#include <QDBusConnection>
#include <QString>

#include <memory>

namespace vidora {

// Keeps the screen saver and the idle blanking away while a picture plays.
// Inhibit and Release may be called any number of times in any order; only
// the change between the two states reaches the system. A failure is
// silent: the screen may then blank as before. UI thread only; the
// destructor releases.
class IdleInhibitor {
 public:
  virtual ~IdleInhibitor() = default;
  virtual void Inhibit(const QString& reason) = 0;
  virtual void Release() = 0;
  // Whether an inhibit is held or on its way.
  virtual bool inhibiting() const = 0;
  // A short name of the mechanism, for diagnostics and tests.
  virtual QString mechanism() const = 0;
};

// org.freedesktop.ScreenSaver.Inhibit / UnInhibit on `bus` (the calls are
// asynchronous; a release before the cookie arrived releases on arrival).
std::unique_ptr<IdleInhibitor> CreateScreenSaverInhibitor(QDBusConnection bus);
// The desktop portal's org.freedesktop.portal.Inhibit (idle), released by
// closing the request it returns.
std::unique_ptr<IdleInhibitor> CreatePortalInhibitor(QDBusConnection bus);
// The X screen-saver extension's XScreenSaverSuspend on its own connection
// to `display_name` (empty: $DISPLAY), held open while suspended because
// the server lifts a client's suspension when the client goes.
std::unique_ptr<IdleInhibitor> CreateXScreenSaverInhibitor(const QString& display_name);

// The best mechanism present: the screen-saver service on the session bus,
// else the portal, else (on X11) the X extension; null when none applies.
std::unique_ptr<IdleInhibitor> CreateIdleInhibitor(QDBusConnection session_bus);

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_IDLE_INHIBITOR_H_
