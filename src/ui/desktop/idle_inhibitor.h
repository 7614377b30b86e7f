#ifndef VIDORA_UI_DESKTOP_IDLE_INHIBITOR_H_
#define VIDORA_UI_DESKTOP_IDLE_INHIBITOR_H_

#include <QDBusConnection>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace vidora {

// Keeps the screen saver and the idle blanking away while a picture plays.
// Inhibit and Release may be called any number of times in any order; only
// the change between the two states reaches the system. A mechanism that
// cannot hold an inhibit it was asked for (a call failed, its service went
// away) says so through the failure handler, so that another can take
// over; without one the screen may then blank as before. UI thread only;
// the destructor releases.
class IdleInhibitor {
 public:
  virtual ~IdleInhibitor() = default;
  virtual void Inhibit(const QString& reason) = 0;
  virtual void Release() = 0;
  // Whether an inhibit is held or on its way.
  virtual bool inhibiting() const = 0;
  // A short name of the mechanism, for diagnostics and tests.
  virtual QString mechanism() const = 0;

  // Called on the UI thread at each failure while an inhibit is wanted.
  void set_failure_handler(std::function<void()> handler) { failure_handler_ = std::move(handler); }

 protected:
  void ReportFailure() {
    if (failure_handler_) failure_handler_();
  }

 private:
  std::function<void()> failure_handler_;
};

// org.freedesktop.ScreenSaver.Inhibit / UnInhibit on `bus` (the calls are
// asynchronous; a release before the cookie arrived releases on arrival).
// When the service's name changes owner (the service restarted) a wanted
// inhibit is asked for again from the new owner; a failed call or the
// name losing its owner is a failure.
std::unique_ptr<IdleInhibitor> CreateScreenSaverInhibitor(QDBusConnection bus);
// The desktop portal's org.freedesktop.portal.Inhibit (idle), released by
// closing the request it returns; a restarted portal is asked again, a
// failed call or a portal gone is a failure.
std::unique_ptr<IdleInhibitor> CreatePortalInhibitor(QDBusConnection bus);
// The X screen-saver extension's XScreenSaverSuspend on its own connection
// to `display_name` (empty: $DISPLAY), held open while suspended because
// the server lifts a client's suspension when the client goes. While held,
// the screen saver is also reset every `reset_interval_ms`: screen savers
// that run as X clients ignore the suspension but watch the idle time.
std::unique_ptr<IdleInhibitor> CreateXScreenSaverInhibitor(const QString& display_name,
                                                           int reset_interval_ms = 20000);

// The mechanisms in order of preference as one: the first is used, and
// when one fails the next one takes over as well (a failed one that
// recovers, such as a restarted service, keeps its own inhibit; Release
// releases every one that was used). mechanism() names the last one used.
std::unique_ptr<IdleInhibitor> CreateFallbackInhibitor(std::vector<std::unique_ptr<IdleInhibitor>> ways);

// The mechanisms present, best first, as a fallback chain: the
// screen-saver service on the session bus, the portal, then (on X11) the X
// extension; null when none applies.
std::unique_ptr<IdleInhibitor> CreateIdleInhibitor(QDBusConnection session_bus);

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_IDLE_INHIBITOR_H_
