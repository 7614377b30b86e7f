#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

#include "ui/desktop/idle_inhibitor.h"

namespace vidora {
namespace {

constexpr char kService[] = "org.freedesktop.ScreenSaver";
constexpr char kPath[] = "/org/freedesktop/ScreenSaver";

class ScreenSaverInhibitor : public QObject, public IdleInhibitor {
 public:
  explicit ScreenSaverInhibitor(QDBusConnection bus) : bus_(std::move(bus)) {}
  ~ScreenSaverInhibitor() override { Release(); }

  void Inhibit(const QString& reason) override {
    if (wanted_) return;
    wanted_ = true;
    if (pending_ || cookie_ != 0) return;  // the earlier answer still counts
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kService), QStringLiteral("Inhibit"));
    call << QStringLiteral("Vidora") << reason;
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
      done->deleteLater();
      pending_ = false;
      QDBusPendingReply<uint> reply = *done;
      if (reply.isError()) return;
      cookie_ = reply.value();
      if (!wanted_) Release();  // stopped while the call was on its way
    });
  }

  void Release() override {
    wanted_ = false;
    if (cookie_ == 0) return;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kService), QStringLiteral("UnInhibit"));
    call << cookie_;
    cookie_ = 0;
    bus_.send(call);  // no answer needed; the service drops it with us too
  }

  bool inhibiting() const override { return wanted_; }
  QString mechanism() const override { return QStringLiteral("screensaver"); }

 private:
  QDBusConnection bus_;
  uint cookie_ = 0;
  bool wanted_ = false;
  bool pending_ = false;
};

}  // namespace

std::unique_ptr<IdleInhibitor> CreateScreenSaverInhibitor(QDBusConnection bus) {
  return std::make_unique<ScreenSaverInhibitor>(std::move(bus));
}

}  // namespace vidora
