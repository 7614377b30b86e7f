#ifndef VIDORA_UI_ACCESSIBILITY_ACCESSIBLE_ROLE_H_
#define VIDORA_UI_ACCESSIBILITY_ACCESSIBLE_ROLE_H_

#include <QAccessible>

class QWidget;

namespace vidora {

// Gives `widget` the accessible role `role` (a plain widget is a "filler"
// to a screen reader; the main window is a frame, a status line a status
// bar). Takes effect for widgets whose accessible object has not been
// asked for yet; UI thread. Needs InstallAccessibleRoles.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

// Lets Qt's accessibility see the roles SetAccessibleRole gave. Call once
// after the application object exists, before any window shows.
void InstallAccessibleRoles();

}  // namespace vidora

#endif  // VIDORA_UI_ACCESSIBILITY_ACCESSIBLE_ROLE_H_
