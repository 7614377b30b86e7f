#include "ui/accessibility/accessible_role.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace vidora {

namespace {

constexpr char kRoleProperty[] = "vidora_accessible_role";

QAccessibleInterface* WidgetWithRole(const QString&, QObject* object) {
  if (object == nullptr || !object->isWidgetType()) return nullptr;
  const QVariant role = object->property(kRoleProperty);
  if (!role.isValid()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void SetAccessibleRole(QWidget* widget, QAccessible::Role role) {
  if (widget != nullptr) widget->setProperty(kRoleProperty, static_cast<int>(role));
}

void InstallAccessibleRoles() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(WidgetWithRole);
}

}  // namespace vidora
