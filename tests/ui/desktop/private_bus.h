#ifndef VIDORA_TESTS_UI_DESKTOP_PRIVATE_BUS_H_
#define VIDORA_TESTS_UI_DESKTOP_PRIVATE_BUS_H_

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

namespace vidora::testing {

// A D-Bus session daemon of the test's own, so nothing reaches the user's
// desktop; ended with the object. `address()` is empty when no daemon
// could be started within five seconds.
class PrivateBus {
 public:
  PrivateBus() {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                   QStringLiteral("--print-address=1")});
    if (!daemon_.waitForStarted(5000)) return;
    QDeadlineTimer deadline(5000);
    while (!daemon_.canReadLine() && !deadline.hasExpired()) daemon_.waitForReadyRead(100);
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
  }
  ~PrivateBus() {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    daemon_.kill();
    daemon_.waitForFinished(5000);
  }

  const QString& address() const { return address_; }
  // A connection of its own, named `name` in this process.
  QDBusConnection Connect(const QString& name) {
    names_.push_back(name);
    return QDBusConnection::connectToBus(address_, name);
  }

 private:
  QProcess daemon_;
  QString address_;
  QStringList names_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_DESKTOP_PRIVATE_BUS_H_
