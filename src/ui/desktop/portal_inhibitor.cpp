#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "ui/desktop/idle_inhibitor.h"

namespace vidora {
namespace {

constexpr char kService[] = "org.freedesktop.portal.Desktop";
constexpr char kPath[] = "/org/freedesktop/portal/desktop";
// The portal's inhibit flag for "idle" (session going idle, screen saver).
constexpr uint kInhibitIdle = 8;

class PortalInhibitor : public QObject, public IdleInhibitor {
 public:
  explicit PortalInhibitor(QDBusConnection bus) : bus_(std::move(bus)) {}
  ~PortalInhibitor() override { Release(); }

  void Inhibit(const QString& reason) override {
    if (wanted_) return;
    wanted_ = true;
    if (pending_ || !request_.isEmpty()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QStringLiteral("org.freedesktop.portal.Inhibit"),
                                                       QStringLiteral("Inhibit"));
    call << QString() << kInhibitIdle << QVariantMap{{QStringLiteral("reason"), reason}};
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
      done->deleteLater();
      pending_ = false;
      QDBusPendingReply<QDBusObjectPath> reply = *done;
      if (reply.isError()) return;
      request_ = reply.value().path();
      if (!wanted_) Release();
    });
  }

  void Release() override {
    wanted_ = false;
    if (request_.isEmpty()) return;
    // The inhibit lasts as long as its request object.
    bus_.send(QDBusMessage::createMethodCall(QString::fromLatin1(kService), request_,
                                             QStringLiteral("org.freedesktop.portal.Request"),
                                             QStringLiteral("Close")));
    request_.clear();
  }

  bool inhibiting() const override { return wanted_; }
  QString mechanism() const override { return QStringLiteral("portal"); }

 private:
  QDBusConnection bus_;
  QString request_;
  bool wanted_ = false;
  bool pending_ = false;
};

}  // namespace

std::unique_ptr<IdleInhibitor> CreatePortalInhibitor(QDBusConnection bus) {
  return std::make_unique<PortalInhibitor>(std::move(bus));
}

}  // namespace vidora
