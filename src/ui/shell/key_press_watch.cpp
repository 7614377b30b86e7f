#include "ui/shell/key_press_watch.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace vidora {

KeyPressWatch::KeyPressWatch(QObject* parent, const QWidget* window)
    : QObject(parent), window_(window), watch_window_(window != nullptr) {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->installEventFilter(this);
}

KeyPressWatch::~KeyPressWatch() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeEventFilter(this);
}

bool KeyPressWatch::TakePressed() {
  const bool was = pressed_;
  pressed_ = false;
  return was;
}

bool KeyPressWatch::eventFilter(QObject* watched, QEvent* event) {
  if (watch_window_) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget == nullptr || window_ == nullptr || widget->window() != window_) return QObject::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) pressed_ = true;
      break;
    case QEvent::KeyPress:
      // Ctrl+Up/Down set the volume; they are not navigation.
      if (static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier) break;
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

}  // namespace vidora
