#ifndef VIDORA_TESTS_UI_DESKTOP_KEYBOARD_SUPPORT_H_
#define VIDORA_TESTS_UI_DESKTOP_KEYBOARD_SUPPORT_H_

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace vidora::testing {

// Where the keyboard's keys go now: an open pop-up menu, else the focus
// widget, else the active window.
inline QWidget* KeyTarget() {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  if (QWidget* focus = QApplication::focusWidget()) return focus;
  return QApplication::activeWindow();
}

// Types `key` as a user would: through the shortcut map, then to the
// widget that has the focus.
inline void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(KeyTarget(), key, modifiers);
  QApplication::processEvents();
}

// Shows `window` and makes it the active window, as a click on it would.
inline bool ShowActive(QWidget* window) {
  window->show();
  QApplication::setActiveWindow(window);
  for (int i = 0; i < 50 && QApplication::activeWindow() != window; ++i) QApplication::processEvents();
  QApplication::processEvents();
  return QApplication::activeWindow() == window;
}

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_DESKTOP_KEYBOARD_SUPPORT_H_
