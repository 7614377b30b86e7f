#include "e2e/atspi_client.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QSet>
#include <QThread>

#include <deque>

namespace vidora::testing {

namespace {

constexpr int kCallTimeoutMs = 5000;
// A bound on the walk, far above the player's largest tree.
constexpr int kMostObjects = 4000;
const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kAction = QStringLiteral("org.a11y.atspi.Action");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// a(so): object references.
std::vector<std::pair<QString, QString>> References(const QVariant& value) {
  std::vector<std::pair<QString, QString>> references;
  const QDBusArgument argument = value.value<QDBusArgument>();
  argument.beginArray();
  while (!argument.atEnd()) {
    QString service;
    QDBusObjectPath path;
    argument.beginStructure();
    argument >> service >> path;
    argument.endStructure();
    references.emplace_back(service, path.path());
  }
  argument.endArray();
  return references;
}

// a(sss): action name, description, key binding.
QStringList ActionNames(const QVariant& value) {
  QStringList names;
  const QDBusArgument argument = value.value<QDBusArgument>();
  argument.beginArray();
  while (!argument.atEnd()) {
    QString name, description, keys;
    argument.beginStructure();
    argument >> name >> description >> keys;
    argument.endStructure();
    names.push_back(name);
  }
  argument.endArray();
  return names;
}

QString Text(const QList<QVariant>& answer) {
  if (answer.isEmpty()) return QString();
  const QVariant value = answer.front();
  if (value.canConvert<QDBusVariant>()) return value.value<QDBusVariant>().variant().toString();
  return value.toString();
}

}  // namespace

AccessibilitySession::AccessibilitySession(const std::string& display, const std::string& runtime_dir) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DISPLAY", QString::fromStdString(display));
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_dir));
  environment.remove("AT_SPI_BUS_ADDRESS");
  daemon_.setProcessEnvironment(environment);
  daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
  if (!daemon_.waitForStarted(5000)) return;
  QDeadlineTimer deadline(5000);
  while (!daemon_.canReadLine() && !deadline.hasExpired()) daemon_.waitForReadyRead(100);
  address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
}

AccessibilitySession::~AccessibilitySession() {
  QDBusConnection::disconnectFromBus(QStringLiteral("vidora-test-session"));
  // The launcher and the registry end with the bus they were started from.
  daemon_.terminate();
  if (!daemon_.waitForFinished(5000)) {
    daemon_.kill();
    daemon_.waitForFinished(5000);
  }
}

QString AccessibilitySession::AccessibilityBusAddress() {
  QDBusConnection bus = QDBusConnection::connectToBus(address_, QStringLiteral("vidora-test-session"));
  QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                                     QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
  const QDBusMessage answer = bus.call(call, QDBus::Block, 10000);
  return answer.type() == QDBusMessage::ReplyMessage ? answer.arguments().value(0).toString() : QString();
}

AtSpiClient::AtSpiClient(const QString& address)
    : connection_name_(QStringLiteral("vidora-test-atspi-%1").arg(reinterpret_cast<quintptr>(this))),
      bus_(QDBusConnection::connectToBus(address, connection_name_)) {}

AtSpiClient::~AtSpiClient() { QDBusConnection::disconnectFromBus(connection_name_); }

QList<QVariant> AtSpiClient::Call(const QString& service, const QString& path, const QString& interface,
                                  const QString& method, const QList<QVariant>& arguments) {
  QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
  call.setArguments(arguments);
  const QDBusMessage answer = bus_.call(call, QDBus::Block, kCallTimeoutMs);
  if (answer.type() == QDBusMessage::ReplyMessage) return answer.arguments();
  const QString error = answer.errorName();
  // Only these say that nobody answered.
  if (error == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
      error == QLatin1String("org.freedesktop.DBus.Error.Disconnected") ||
      error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
      error == QLatin1String("org.freedesktop.DBus.Error.Timeout")) {
    failures_.push_back((interface + QLatin1Char('.') + method + QStringLiteral(" on ") + path +
                         QStringLiteral(": ") + error).toStdString());
  }
  return {};
}

QString AtSpiClient::WaitForApplication(int bound_ms) {
  QDeadlineTimer deadline(bound_ms);
  while (!deadline.hasExpired()) {
    const QList<QVariant> answer = Call(QStringLiteral("org.a11y.atspi.Registry"), kRootPath, kAccessible,
                                        QStringLiteral("GetChildren"));
    if (!answer.isEmpty()) {
      for (const auto& [service, path] : References(answer.front())) {
        if (!service.isEmpty()) return service;
      }
    }
    QThread::msleep(100);
  }
  failures_.clear();  // the registry's own slowness is no fault of the player
  return QString();
}

AccessibleNode AtSpiClient::Read(const QString& service, const QString& path, QStringList& interfaces) {
  AccessibleNode node{service, path, {}, {}, {}, {}};
  interfaces = Call(service, path, kAccessible, QStringLiteral("GetInterfaces")).value(0).toStringList();
  // What a screen reader's cache asks for first: every property at once.
  for (const QString& interface : interfaces) Call(service, path, kProperties, QStringLiteral("GetAll"), {interface});
  node.role = Text(Call(service, path, kAccessible, QStringLiteral("GetRoleName")));
  node.name = Text(Call(service, path, kProperties, QStringLiteral("Get"), {kAccessible, QStringLiteral("Name")}));
  node.description =
      Text(Call(service, path, kProperties, QStringLiteral("Get"), {kAccessible, QStringLiteral("Description")}));
  Call(service, path, kProperties, QStringLiteral("Get"), {kAccessible, QStringLiteral("Parent")});
  Call(service, path, kAccessible, QStringLiteral("GetState"));
  Call(service, path, kAccessible, QStringLiteral("GetAttributes"));
  Call(service, path, kAccessible, QStringLiteral("GetIndexInParent"));
  if (interfaces.contains(kAction)) {
    const QList<QVariant> actions = Call(service, path, kAction, QStringLiteral("GetActions"));
    if (!actions.isEmpty()) node.actions = ActionNames(actions.front());
  }
  return node;
}

int AtSpiClient::Walk(const QString& service, const std::function<void(const AccessibleNode&)>& visit) {
  std::deque<QString> queue{kRootPath};
  QSet<QString> seen{kRootPath};
  int visited = 0;
  while (!queue.empty() && visited < kMostObjects && failures_.empty()) {
    const QString path = queue.front();
    queue.pop_front();
    QStringList interfaces;
    const AccessibleNode node = Read(service, path, interfaces);
    ++visited;
    if (visit) visit(node);
    const QList<QVariant> children = Call(service, path, kAccessible, QStringLiteral("GetChildren"));
    if (children.isEmpty()) continue;
    for (const auto& [child_service, child_path] : References(children.front())) {
      if (child_service == service && !seen.contains(child_path)) {
        seen.insert(child_path);
        queue.push_back(child_path);
      }
    }
  }
  return visited;
}

bool AtSpiClient::DoAction(const QString& service, const QString& path, int index) {
  return Call(service, path, kAction, QStringLiteral("DoAction"), {index}).value(0).toBool();
}

}  // namespace vidora::testing
