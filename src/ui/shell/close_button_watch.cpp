#include "ui/shell/close_button_watch.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTimer>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace vidora {

CloseButtonWatch::CloseButtonWatch(QWidget* window, std::function<void()> on_close)
    : window_(window), on_close_(std::move(on_close)) {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return;
  protocols_atom_ = XInternAtom(x11->display(), "WM_PROTOCOLS", False);
  delete_atom_ = XInternAtom(x11->display(), "WM_DELETE_WINDOW", False);
  qApp->installNativeEventFilter(this);
}

CloseButtonWatch::~CloseButtonWatch() {
  if (delete_atom_ != 0 && qApp != nullptr) qApp->removeNativeEventFilter(this);
}

bool CloseButtonWatch::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
  if (type != "xcb_generic_event_t" || window_ == nullptr || delete_atom_ == 0) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
  const auto* client = static_cast<const xcb_client_message_event_t*>(message);
  if (client->type != protocols_atom_ || client->data.data32[0] != delete_atom_) return false;
  if (client->window != static_cast<xcb_window_t>(window_->winId())) return false;
  // Without a modal window Qt delivers the close itself.
  if (QApplication::activeModalWidget() == nullptr) return false;
  // Out of the native event dispatch before dialogs are closed.
  QTimer::singleShot(0, qApp, on_close_);
  return true;
}

}  // namespace vidora
