#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
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
  explicit PortalInhibitor(QDBusConnection bus)
      : bus_(std::move(bus)),
        owner_watch_(QString::fromLatin1(kService), bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&owner_watch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString& old_owner, const QString& new_owner) {
              OnOwnerChanged(old_owner, new_owner);
            });
  }
  ~PortalInhibitor() override { Release(); }

  void Inhibit(const QString& reason) override {
    if (wanted_) return;
    wanted_ = true;
    reason_ = reason;
    if (pending_ || !request_.isEmpty()) return;
    Ask();
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
  void Ask() {
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QStringLiteral("org.freedesktop.portal.Inhibit"),
                                                       QStringLiteral("Inhibit"));
    call << QString() << kInhibitIdle << QVariantMap{{QStringLiteral("reason"), reason_}};
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    const int generation = generation_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, generation](QDBusPendingCallWatcher* done) {
      done->deleteLater();
      if (generation != generation_) return;  // asked of a portal that has gone
      pending_ = false;
      QDBusPendingReply<QDBusObjectPath> reply = *done;
      if (reply.isError()) {
        if (wanted_) ReportFailure();
        return;
      }
      request_ = reply.value().path();
      if (!wanted_) Release();
    });
  }

  // A restarted portal knows nothing of the old requests.
  void OnOwnerChanged(const QString& old_owner, const QString& new_owner) {
    if (!old_owner.isEmpty()) {
      ++generation_;
      pending_ = false;
      request_.clear();
    }
    if (!wanted_) return;
    if (new_owner.isEmpty()) {
      ReportFailure();
    } else if (!pending_ && request_.isEmpty()) {
      // Back after it had gone; a call on its way (one that started the
      // service) is answered by the new owner itself.
      Ask();
    }
  }

  QDBusConnection bus_;
  QDBusServiceWatcher owner_watch_;
  QString reason_;
  int generation_ = 0;
  QString request_;
  bool wanted_ = false;
  bool pending_ = false;
};

}  // namespace

std::unique_ptr<IdleInhibitor> CreatePortalInhibitor(QDBusConnection bus) {
  return std::make_unique<PortalInhibitor>(std::move(bus));
}

}  // namespace vidora
