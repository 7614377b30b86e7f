#ifndef VIDORA_UI_SHELL_CLOSE_BUTTON_WATCH_H_
#define VIDORA_UI_SHELL_CLOSE_BUTTON_WATCH_H_

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace vidora {

// Qt drops the window manager's close request (WM_DELETE_WINDOW) for a
// window that a modal dialog blocks. This watch sees it for `window` on
// X11 while a modal window is open and calls `on_close` instead, so the
// main window's close button still closes the player. Elsewhere (other
// platforms, no modal window) it does nothing. Installs itself on the
// application; UI thread.
class CloseButtonWatch : public QAbstractNativeEventFilter {
 public:
  CloseButtonWatch(QWidget* window, std::function<void()> on_close);
  ~CloseButtonWatch() override;
  CloseButtonWatch(const CloseButtonWatch&) = delete;
  CloseButtonWatch& operator=(const CloseButtonWatch&) = delete;

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

 private:
  QPointer<QWidget> window_;
  std::function<void()> on_close_;
  unsigned long protocols_atom_ = 0;
  unsigned long delete_atom_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_CLOSE_BUTTON_WATCH_H_
