#ifndef VIDORA_TESTS_E2E_PRIVATE_X_SERVER_H_
#define VIDORA_TESTS_E2E_PRIVATE_X_SERVER_H_

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <string>

namespace vidora::testing {

// Xvfb on a free display (-displayfd), with one screen of `screen` size
// ("WxHxDepth"), for as long as the object lives. display() is empty when
// it did not start.
class PrivateXServer {
 public:
  explicit PrivateXServer(const char* screen = "1920x1200x24") {
    process_.setProgram("Xvfb");
    process_.setArguments(
        {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", QString::fromLatin1(screen)});
    process_.start();
    if (!process_.waitForStarted(10000)) return;
    for (int waited = 0; waited < 10000 && !process_.canReadLine(); waited += 50) process_.waitForReadyRead(50);
    const QByteArray line = process_.readLine().trimmed();
    if (!line.isEmpty()) display_ = ":" + line.toStdString();
  }
  ~PrivateXServer() {
    process_.terminate();
    process_.waitForFinished(5000);
  }
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  const std::string& display() const { return display_; }

 private:
  QProcess process_;
  std::string display_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_E2E_PRIVATE_X_SERVER_H_
