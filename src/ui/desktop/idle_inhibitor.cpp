#include "ui/desktop/idle_inhibitor.h"

#include <QDBusConnectionInterface>
#include <QGuiApplication>

namespace vidora {

namespace {

// A service that runs now or that the bus can start on demand.
bool ServicePresent(QDBusConnection& bus, const QString& name) {
  QDBusConnectionInterface* daemon = bus.interface();
  if (daemon == nullptr) return false;
  if (daemon->isServiceRegistered(name).value()) return true;
  return daemon->activatableServiceNames().value().contains(name);
}

}  // namespace

std::unique_ptr<IdleInhibitor> CreateIdleInhibitor(QDBusConnection session_bus) {
  if (session_bus.isConnected()) {
    if (ServicePresent(session_bus, QStringLiteral("org.freedesktop.ScreenSaver"))) {
      return CreateScreenSaverInhibitor(session_bus);
    }
    if (ServicePresent(session_bus, QStringLiteral("org.freedesktop.portal.Desktop"))) {
      return CreatePortalInhibitor(session_bus);
    }
  }
  if (QGuiApplication::platformName() == QLatin1String("xcb")) return CreateXScreenSaverInhibitor(QString());
  return nullptr;
}

}  // namespace vidora
