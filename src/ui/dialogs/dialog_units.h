#ifndef VIDORA_UI_DIALOGS_DIALOG_UNITS_H_
#define VIDORA_UI_DIALOGS_DIALOG_UNITS_H_

#include <QFont>
#include <QRect>
#include <QWidget>

#include "ui/skin/resource_pack.h"

namespace vidora {

// Pixels of dialog units, for the few controls whose place no run-time
// layout gives: the 8-point dialog font makes a unit 6/4 pixels across and 13/8
// pixels down at BarUnit 24, and both scale with the bar unit.
inline int DialogUnitsAcross(int units) { return units * 6 * BarUnit() / (4 * 24); }
inline int DialogUnitsDown(int units) { return units * 13 * BarUnit() / (8 * 24); }
inline QRect DialogUnitRect(int x, int y, int width, int height) {
  return QRect(DialogUnitsAcross(x), DialogUnitsDown(y), DialogUnitsAcross(width), DialogUnitsDown(height));
}

// The point size of the dialogs' font. The dialog units above and the fixed
// text heights of the dialog layouts (one line of 9 units, the about
// dialog's two lines in 5/4 BarUnit) are made for it: the desktop's larger
// font (10 or 11 points on common desktops) would cut those texts off.
inline constexpr int kDialogFontPoints = 8;

// Gives `dialog` and its controls the desktop's face at the dialogs' size.
inline void ApplyDialogFont(QWidget* dialog) {
  QFont font = dialog->font();
  font.setPointSize(kDialogFontPoints);
  dialog->setFont(font);
}

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_DIALOG_UNITS_H_
