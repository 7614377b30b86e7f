#ifndef VIDORA_TESTS_UI_DIALOGS_SKIN_TEST_SUPPORT_H_
#define VIDORA_TESTS_UI_DIALOGS_SKIN_TEST_SUPPORT_H_

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "ui/skin/resource_pack.h"

namespace vidora::testing {

// Builds the computed skin for 96 dpi (BarUnit 24) without picture files.
inline void LoadTestSkin() {
  SetBarUnitForDpi(96);
  if (!Skin().loaded()) Skin().Load("/nonexistent/Resources.qdoc", "/nonexistent/cbuild.qdoc");
}

// A 10 x h strip whose column c has the colour (c * 20, 100, 200 - c).
inline QImage ColumnStrip(int h) {
  QImage strip(10, h, QImage::Format_RGB32);
  for (int x = 0; x < 10; ++x)
    for (int y = 0; y < h; ++y) strip.setPixel(x, y, qRgb(x * 20, 100, 200 - x));
  return strip;
}

inline QImage SolidImage(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// Gives `widget` the keyboard focus inside its shown, active window.
inline bool FocusWidget(QWidget* widget) {
  widget->window()->show();
  widget->window()->activateWindow();
  widget->setFocus(Qt::OtherFocusReason);
  for (int i = 0; i < 20 && !widget->hasFocus(); ++i) QApplication::processEvents();
  return widget->hasFocus();
}

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_DIALOGS_SKIN_TEST_SUPPORT_H_
