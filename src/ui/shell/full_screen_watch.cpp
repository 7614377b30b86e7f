#include "ui/shell/full_screen_watch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace vidora {

FullScreenWatch::FullScreenWatch() { qApp->installEventFilter(this); }

FullScreenWatch::~FullScreenWatch() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

bool FullScreenWatch::TakePress() {
  const bool pressed = pressed_;
  pressed_ = false;
  return pressed;
}

bool FullScreenWatch::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) pressed_ = true;
      break;
    case QEvent::KeyPress:
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Execute:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Select:
          pressed_ = true;
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

bool IsFrameInFront(const QWidget* frame) {
  for (const QWidget* window = QApplication::activeWindow(); window != nullptr; window = window->parentWidget()) {
    if (window == frame) return true;
  }
  return false;
}

}  // namespace vidora
