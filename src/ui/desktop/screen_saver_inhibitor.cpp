#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QPointer>

#include "ui/desktop/idle_inhibitor.h"

namespace vidora {
namespace {

constexpr char kService[] = "org.freedesktop.ScreenSaver";
constexpr char kPath[] = "/org/freedesktop/ScreenSaver";

class ScreenSaverInhibitor : public QObject, public IdleInhibitor {
 public:
  explicit ScreenSaverInhibitor(QDBusConnection bus)
      : bus_(std::move(bus)),
        owner_watch_(QString::fromLatin1(kService), bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&owner_watch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString& old_owner, const QString& new_owner) {
              OnOwnerChanged(old_owner, new_owner);
            });
  }
  ~ScreenSaverInhibitor() override {
    Release();
    if (pending_) ReleaseWhenAnswered(bus_, pending_call_);
  }

  void Inhibit(const QString& reason) override {
    if (wanted_) return;
    wanted_ = true;
    reason_ = reason;
    if (pending_ || cookie_ != 0) return;  // the earlier answer still counts
    Ask();
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

  // Gone before the service answered Inhibit (closed right after a TV
  // channel started): the answer's cookie is handed back when it comes,
  // or the screen would stay awake for as long as the connection lives.
  static void ReleaseWhenAnswered(QDBusConnection bus, const QDBusPendingCall& call) {
    auto release = [bus](const QDBusPendingCall& answered) {
      QDBusPendingReply<uint> reply = answered;
      if (reply.isError()) return;
      QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                         QString::fromLatin1(kService), QStringLiteral("UnInhibit"));
      call << reply.value();
      QDBusConnection(bus).send(call);
    };
    auto* watcher = new QDBusPendingCallWatcher(call, QCoreApplication::instance());
    // A call already answered told only the watchers it had then (ours
    // went with this object): a new watcher would wait for ever.
    if (watcher->isFinished()) {
      delete watcher;
      release(call);
      return;
    }
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [release](QDBusPendingCallWatcher* done) {
      done->deleteLater();
      release(*done);
    });
  }

  bool inhibiting() const override { return wanted_; }
  QString mechanism() const override { return QStringLiteral("screensaver"); }

 private:
  void Ask() {
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kService), QStringLiteral("Inhibit"));
    call << QStringLiteral("Vidora") << reason_;
    pending_ = true;
    pending_call_ = bus_.asyncCall(call);
    auto* watcher = new QDBusPendingCallWatcher(pending_call_, this);
    const int generation = generation_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, generation](QDBusPendingCallWatcher* done) {
      done->deleteLater();
      // An answer of an owner that has gone since means nothing now.
      if (generation != generation_) return;
      pending_ = false;
      QDBusPendingReply<uint> reply = *done;
      if (reply.isError()) {
        if (wanted_) ReportFailure();
        return;
      }
      cookie_ = reply.value();
      if (!wanted_) Release();  // stopped while the call was on its way
    });
  }

  // The service restarted or went: its inhibits went with the old owner.
  void OnOwnerChanged(const QString& old_owner, const QString& new_owner) {
    if (!old_owner.isEmpty()) {
      ++generation_;
      pending_ = false;
      cookie_ = 0;
    }
    if (!wanted_) return;
    if (new_owner.isEmpty()) {
      ReportFailure();
    } else if (!pending_ && cookie_ == 0) {
      // Back after it had gone; a call on its way (one that started the
      // service) is answered by the new owner itself.
      Ask();
    }
  }

  QDBusConnection bus_;
  QDBusServiceWatcher owner_watch_;
  QDBusPendingCall pending_call_ = QDBusPendingCall::fromError(QDBusError());
  QString reason_;
  uint cookie_ = 0;
  int generation_ = 0;
  bool wanted_ = false;
  bool pending_ = false;
};

}  // namespace

std::unique_ptr<IdleInhibitor> CreateScreenSaverInhibitor(QDBusConnection bus) {
  return std::make_unique<ScreenSaverInhibitor>(std::move(bus));
}

}  // namespace vidora
