#ifndef VIDORA_UI_DIALOGS_DIALOG_UNITS_H_
#define VIDORA_UI_DIALOGS_DIALOG_UNITS_H_

#include <QRect>

#include "ui/stores/resource_pack.h"

namespace vidora {

// Pixels of dialog units, for the few controls whose place no run-time
// layout gives: MS Shell Dlg 8 pt makes a unit 6/4 pixels across and 13/8
// pixels down at BarUnit 24, and both scale with the bar unit.
inline int DialogUnitsAcross(int units) { return units * 6 * BarUnit() / (4 * 24); }
inline int DialogUnitsDown(int units) { return units * 13 * BarUnit() / (8 * 24); }
inline QRect DialogUnitRect(int x, int y, int width, int height) {
  return QRect(DialogUnitsAcross(x), DialogUnitsDown(y), DialogUnitsAcross(width), DialogUnitsDown(height));
}

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_DIALOG_UNITS_H_
