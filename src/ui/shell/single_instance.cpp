#include "ui/shell/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>

namespace vidora {

namespace {

// A start's message: a 4-byte big-endian length, then the command line in
// UTF-8. The answer is one byte: '1' when the window came forward.
constexpr int kConnectTimeoutMs = 500;
constexpr int kAnswerTimeoutMs = 3000;
constexpr qint64 kMaxCommandLineBytes = 1 << 20;

}  // namespace

SingleInstance::SingleInstance(QString title, QString runtime_folder)
    : title_(std::move(title)), folder_(std::move(runtime_folder)) {
  if (folder_.isEmpty()) folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
}

QString SingleInstance::lock_path() const { return QDir(folder_).filePath(title_ + QStringLiteral(".lock")); }

QString SingleInstance::server_path() const { return QDir(folder_).filePath(title_ + QStringLiteral(".socket")); }

int SingleInstance::Check(const QString& command_line, int attempts, int retry_ms) {
  if (title_.isEmpty()) return kInstanceCheckFailed;
  if (folder_.isEmpty() || !QDir(folder_).exists()) return kInstanceInvalidArgument;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    auto lock = std::make_unique<QLockFile>(lock_path());
    // Only a dead owner makes the lock stale, never its age: a player may
    // run for days.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
      lock_ = std::move(lock);
      holds_lock_ = true;
      return 0;
    }
    if (lock->error() != QLockFile::LockFailedError) return kInstanceCheckFailed;
    switch (Deliver(command_line)) {
      case Delivery::kDelivered:
        return 1;
      case Delivery::kRefused:
        break;  // counts as an attempt, like a window that would not come forward
      case Delivery::kNobody:
        QThread::msleep(static_cast<unsigned long>(retry_ms));
        break;
    }
  }
  return 0;
}

SingleInstance::Delivery SingleInstance::Deliver(const QString& command_line) const {
  QLocalSocket socket;
  socket.connectToServer(server_path());
  if (!socket.waitForConnected(kConnectTimeoutMs)) return Delivery::kNobody;
  const QByteArray text = command_line.toUtf8();
  QByteArray message(4, '\0');
  qToBigEndian<quint32>(static_cast<quint32>(text.size()), message.data());
  message += text;
  socket.write(message);
  if (!socket.waitForBytesWritten(kAnswerTimeoutMs)) return Delivery::kRefused;
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(kAnswerTimeoutMs)) return Delivery::kRefused;
  }
  char answer = '0';
  socket.read(&answer, 1);
  socket.disconnectFromServer();
  return answer == '1' ? Delivery::kDelivered : Delivery::kRefused;
}

bool SingleInstance::Listen(std::function<bool(const QString&)> on_start) {
  on_start_ = std::move(on_start);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  // A socket left behind by a crashed instance would block listen(); the
  // lock says that no live instance owns it.
  if (holds_lock_) QLocalServer::removeServer(server_path());
  if (!server_->listen(server_path())) {
    server_.reset();
    return false;
  }
  QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] { OnConnection(); });
  return true;
}

void SingleInstance::OnConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto on_data = [this, socket] {
      if (socket->property("answered").toBool()) return;
      if (socket->bytesAvailable() < 4) return;
      const QByteArray head = socket->peek(4);
      const qint64 size = qFromBigEndian<quint32>(head.constData());
      if (size > kMaxCommandLineBytes) {
        socket->abort();
        return;
      }
      if (socket->bytesAvailable() < 4 + size) return;
      socket->read(4);
      const QString command_line = QString::fromUtf8(socket->read(size));
      socket->setProperty("answered", true);
      const bool forward = on_start_ ? on_start_(command_line) : false;
      socket->write(forward ? "1" : "0", 1);
      socket->flush();
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, on_data);
    on_data();  // the message may have arrived with the connection
  }
}

}  // namespace vidora
