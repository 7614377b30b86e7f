#ifndef VIDORA_TESTS_UI_DESKTOP_X_SERVER_H_
#define VIDORA_TESTS_UI_DESKTOP_X_SERVER_H_

#include <QProcess>
#include <QString>

namespace vidora::testing {

// A private Xvfb (started with -noreset on the first free display from
// :91), ended with the object.
class XServer {
 public:
  XServer() = default;
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // False when no server answered within five seconds.
  bool Start();
  // ":N".
  const QString& name() const { return name_; }
  // `xset s SECONDS`: the saver starts after that much idle time.
  void SetScreenSaverTimeout(int seconds);
  // Whether the screen saver is on now (XScreenSaverQueryInfo).
  bool SaverActive();
  // Milliseconds since the last input or screen-saver reset; -1 unknown.
  long IdleMs();

 private:
  QProcess process_;
  QString name_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_DESKTOP_X_SERVER_H_
