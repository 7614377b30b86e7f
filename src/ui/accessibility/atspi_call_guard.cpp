#include "ui/accessibility/atspi_call_guard.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QEvent>
#include <QXmlStreamReader>

#include <optional>

namespace vidora {

namespace {

// Where Qt's bridge registers its adaptor, for this path and all below it,
// and the name of the connection it opens to the accessibility bus.
constexpr char kAccessiblePath[] = "/org/a11y/atspi/accessible";
constexpr char kBusConnectionName[] = "a11y";
constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";

// Moves the adaptor behind a guard; false while the bridge has not
// registered it yet.
bool GuardRegisteredAdaptor() {
  QDBusConnection bus(QString::fromLatin1(kBusConnectionName));
  if (!bus.isConnected()) return false;
  const QString path = QString::fromLatin1(kAccessiblePath);
  auto* adaptor = qobject_cast<QDBusVirtualObject*>(bus.objectRegisteredAt(path));
  if (adaptor == nullptr) return false;
  if (qobject_cast<AtSpiCallGuard*>(adaptor) != nullptr) return true;
  auto* guard = new AtSpiCallGuard(adaptor);
  bus.unregisterObject(path);
  if (!bus.registerVirtualObject(path, guard, QDBusConnection::SubPath)) {
    bus.registerVirtualObject(path, adaptor, QDBusConnection::SubPath);
    delete guard;
    return false;
  }
  return true;
}

// Qt's bridge makes its adaptor as a child of itself and registers it in
// the same turn of the event loop: the child's arrival is the sign to look
// on the next turn. Ends itself once the guard is in place.
class AdaptorWatch : public QObject {
 public:
  AdaptorWatch() : QObject(qApp) { qApp->installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ChildAdded && !watched->isWidgetType() &&
        qstrcmp(watched->metaObject()->className(), "QSpiAccessibleBridge") == 0) {
      QMetaObject::invokeMethod(this, [this] {
        if (GuardRegisteredAdaptor()) deleteLater();
      }, Qt::QueuedConnection);
    }
    return false;
  }
};

}  // namespace

AtSpiCallGuard::AtSpiCallGuard(QDBusVirtualObject* adaptor) : QDBusVirtualObject(adaptor), adaptor_(adaptor) {}

QString AtSpiCallGuard::introspect(const QString& path) const {
  return adaptor_ ? adaptor_->introspect(path) : QString();
}

bool AtSpiCallGuard::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
  if (message.type() != QDBusMessage::MethodCallMessage) return adaptor_ && adaptor_->handleMessage(message, connection);
  QString refusal = adaptor_ ? Refusal(message) : QStringLiteral("The accessible object is gone.");
  if (refusal.isEmpty()) return adaptor_->handleMessage(message, connection);
  const bool unsupported = message.interface() == QLatin1String(kPropertiesInterface) &&
                           message.member() == QLatin1String("GetAll");
  connection.send(message.createErrorReply(unsupported ? QDBusError::NotSupported : QDBusError::InvalidArgs, refusal));
  return true;
}

QString AtSpiCallGuard::Refusal(const QDBusMessage& message) {
  const QString interface = message.interface();
  const QString member = message.member();
  if (interface == QLatin1String(kPropertiesInterface)) {
    if (member == QLatin1String("GetAll")) return QStringLiteral("GetAll is not supported here; ask with Get.");
    const QString wanted = member == QLatin1String("Get") ? QStringLiteral("ss")
                           : member == QLatin1String("Set") ? QStringLiteral("ssv")
                                                             : QString();
    if (!wanted.isEmpty() && message.signature() != wanted) {
      return member + QStringLiteral(" takes (") + wanted + QStringLiteral("), not (") + message.signature() +
             QStringLiteral(").");
    }
    return QString();
  }
  if (interface.isEmpty()) return QString();
  // Methods the adaptor does not publish get its own "unknown" answer.
  const std::optional<QString> wanted = InSignature(message.path(), interface, member);
  if (!wanted || message.signature() == *wanted) return QString();
  return interface + QLatin1Char('.') + member + QStringLiteral(" takes (") + *wanted + QStringLiteral("), not (") +
         message.signature() + QStringLiteral(").");
}

std::optional<QString> AtSpiCallGuard::InSignature(const QString& path, const QString& interface,
                                                   const QString& method) {
  if (!signatures_.contains(interface)) {
    // The adaptor publishes <interface> elements without a root element.
    QXmlStreamReader xml(QStringLiteral("<node>") + adaptor_->introspect(path) + QStringLiteral("</node>"));
    QHash<QString, QString>* methods = nullptr;
    QString* arguments = nullptr;
    while (!xml.atEnd()) {
      xml.readNext();
      if (xml.isStartElement()) {
        const auto attributes = xml.attributes();
        if (xml.name() == QLatin1String("interface")) {
          methods = &signatures_[attributes.value(QLatin1String("name")).toString()];
        } else if (xml.name() == QLatin1String("method") && methods != nullptr) {
          arguments = &(*methods)[attributes.value(QLatin1String("name")).toString()];
          arguments->clear();
        } else if (xml.name() == QLatin1String("arg") && arguments != nullptr &&
                   attributes.value(QLatin1String("direction")) != QLatin1String("out")) {
          *arguments += attributes.value(QLatin1String("type")).toString();
        }
      } else if (xml.isEndElement() && xml.name() == QLatin1String("method")) {
        arguments = nullptr;
      }
    }
  }
  const auto methods = signatures_.constFind(interface);
  if (methods == signatures_.constEnd()) return std::nullopt;
  const auto arguments = methods->constFind(method);
  if (arguments == methods->constEnd()) return std::nullopt;
  return *arguments;
}

void InstallAtSpiCallGuard() {
  if (GuardRegisteredAdaptor()) return;
  new AdaptorWatch();
}

}  // namespace vidora
