#ifndef VIDORA_UI_SHELL_FULL_SCREEN_WATCH_H_
#define VIDORA_UI_SHELL_FULL_SCREEN_WATCH_H_

#include <QObject>

class QWidget;

namespace vidora {

// Remembers, application-wide, whether the user tapped (left mouse button)
// or pressed one of the keys that end the full-screen presentation (Execute,
// Return, Up, Down, Left, Right, Select) since it was last asked. An
// application event filter; UI thread only.
class FullScreenWatch : public QObject {
  Q_OBJECT

 public:
  FullScreenWatch();
  ~FullScreenWatch() override;

  // Whether such a press happened since the last call (or Clear), and
  // forgets it.
  bool TakePress();
  void Clear() { pressed_ = false; }

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool pressed_ = false;
};

// Whether the application's active window is `frame` or a window whose
// chain of parents reaches it.
bool IsFrameInFront(const QWidget* frame);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_FULL_SCREEN_WATCH_H_
