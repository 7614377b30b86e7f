#ifndef VIDORA_UI_ACCESSIBILITY_ATSPI_CALL_GUARD_H_
#define VIDORA_UI_ACCESSIBILITY_ATSPI_CALL_GUARD_H_

#include <QDBusVirtualObject>
#include <QHash>
#include <QPointer>
#include <QString>

#include <optional>

namespace vidora {

// Stands in front of Qt's AT-SPI adaptor on the accessibility bus and
// answers with a D-Bus error the calls the adaptor would read past the end
// of: Properties.GetAll (the adaptor takes a property name from a second
// argument the call does not have, and the process dies), and any call whose
// arguments do not match the signature the adaptor itself publishes in its
// introspection. Everything else goes to the adaptor unchanged. UI thread
// only (the adaptor's thread).
class AtSpiCallGuard : public QDBusVirtualObject {
  Q_OBJECT

 public:
  // `adaptor` is borrowed; the guard is best made its child so that it
  // goes with it. Calls that reach a guard whose adaptor is gone are
  // refused.
  explicit AtSpiCallGuard(QDBusVirtualObject* adaptor);

  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

  // Why `message` must not reach the adaptor: an empty text when it may.
  QString Refusal(const QDBusMessage& message);

 private:
  // The argument signature the adaptor publishes for `method` of
  // `interface` at `path`; nullopt when it publishes no such method.
  std::optional<QString> InSignature(const QString& path, const QString& interface, const QString& method);

  QPointer<QDBusVirtualObject> adaptor_;
  // Interface name -> method name -> input signature, from the adaptor's
  // introspection (the same for every object that has the interface).
  QHash<QString, QHash<QString, QString>> signatures_;
};

// Puts an AtSpiCallGuard in front of Qt's AT-SPI adaptor as soon as Qt's
// accessibility bridge has registered it, now or whenever a screen reader
// turns the bridge on later. Call once, after the application object
// exists; UI thread.
void InstallAtSpiCallGuard();

}  // namespace vidora

#endif  // VIDORA_UI_ACCESSIBILITY_ATSPI_CALL_GUARD_H_
