// A server that trickles two bytes a second: the wait dialog's transfer
// ends within the slow-transfer window while the UI thread answers keys
// within 100 ms throughout.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QKeyEvent>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "core/net/http_client.h"
#include "core/net/http_limits.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/wait_dialog.h"

namespace vidora {
namespace {

// Records how long each posted key press waited for the UI thread.
class KeyProbe : public QWidget {
 public:
  void Post(QElapsedTimer& clock) {
    posted_at_ = clock.elapsed();
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    clock_ = &clock;
  }
  qint64 worst_ms() const { return worst_ms_; }
  int answered() const { return answered_; }

 protected:
  void keyPressEvent(QKeyEvent*) override {
    worst_ms_ = std::max(worst_ms_, clock_->elapsed() - posted_at_);
    ++answered_;
  }

 private:
  QElapsedTimer* clock_ = nullptr;
  qint64 posted_at_ = 0;
  qint64 worst_ms_ = 0;
  int answered_ = 0;
};

TEST(TrickleResponsivenessTest, ATrickledDownloadEndsInItsWindowWhileKeysAreAnswered) {
  testing::LoadTestSkin();
  const HttpLimits saved = CurrentHttpLimits();
  HttpLimits limits = saved;
  limits.slow_window_seconds = 2;
  SetHttpLimits(limits);

  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  std::vector<std::unique_ptr<QTcpSocket>> clients;
  QTimer trickle;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* socket = server.nextPendingConnection()) clients.emplace_back(socket);
  });
  const QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + QByteArray(100000, 'x');
  int sent = 0;
  QObject::connect(&trickle, &QTimer::timeout, [&] {
    for (auto& socket : clients) socket->write(answer.mid(sent, 1));
    ++sent;
  });
  trickle.start(500);

  QElapsedTimer clock;
  clock.start();
  KeyProbe probe;
  QTimer keys;
  QObject::connect(&keys, &QTimer::timeout, [&] { probe.Post(clock); });
  keys.start(25);

  std::atomic<bool> cancel{false};
  std::atomic<bool> failed{false};
  const std::u16string url = u"http://127.0.0.1:" + QString::number(server.serverPort()).toStdU16String() + u"/Channels.vdch";
  UpdateWaitDialog dialog(
      nullptr, "str_check_updates",
      [&](UpdateWaitDialog& wait) {
        failed = DownloadToMemory(u"Agent", url, &cancel, HttpRequestKind::kCatalogueFile) == nullptr;
        wait.EndFromWorker(1);
      },
      &cancel);
  EXPECT_EQ(dialog.Run(), 1);
  const qint64 took_ms = clock.elapsed();
  keys.stop();
  SetHttpLimits(saved);

  EXPECT_TRUE(failed);
  EXPECT_LT(took_ms, (limits.slow_window_seconds + 5) * 1000);
  EXPECT_GT(probe.answered(), 20);
  EXPECT_LT(probe.worst_ms(), 100);
}

}  // namespace
}  // namespace vidora
