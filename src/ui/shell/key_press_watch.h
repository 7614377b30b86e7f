#ifndef VIDORA_UI_SHELL_KEY_PRESS_WATCH_H_
#define VIDORA_UI_SHELL_KEY_PRESS_WATCH_H_

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vidora {

// Remembers, application-wide, whether the stylus (left mouse button) or
// one of the navigation keys (Execute, Return/Enter, the four arrows,
// Select; not with Ctrl, which makes Ctrl+Up/Down the volume) was pressed
// since the last TakePressed(). Installed on the
// QApplication as an event filter; it only watches, never swallows an
// event. With a `window`, only presses that go to that top-level window
// count: a click in a dialog or in another window is not one on the
// player. UI thread only.
class KeyPressWatch : public QObject {
  Q_OBJECT

 public:
  explicit KeyPressWatch(QObject* parent = nullptr, const QWidget* window = nullptr);
  ~KeyPressWatch() override;

  // True when a watched press happened since the previous call.
  bool TakePressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool pressed_ = false;
  QPointer<const QWidget> window_;
  bool watch_window_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_KEY_PRESS_WATCH_H_
