#ifndef VIDORA_UI_SHELL_KEY_PRESS_WATCH_H_
#define VIDORA_UI_SHELL_KEY_PRESS_WATCH_H_

#include <QObject>

namespace vidora {

// Remembers, application-wide, whether the stylus (left mouse button) or
// one of the navigation keys (Execute, Return/Enter, the four arrows,
// Select; not with Ctrl, which makes Ctrl+Up/Down the volume) was pressed
// since the last TakePressed(). Installed on the
// QApplication as an event filter; it only watches, never swallows an
// event. UI thread only.
class KeyPressWatch : public QObject {
  Q_OBJECT

 public:
  explicit KeyPressWatch(QObject* parent = nullptr);
  ~KeyPressWatch() override;

  // True when a watched press happened since the previous call.
  bool TakePressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_KEY_PRESS_WATCH_H_
