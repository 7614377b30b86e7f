#ifndef VIDORA_TESTS_E2E_ATSPI_CLIENT_H_
#define VIDORA_TESTS_E2E_ATSPI_CLIENT_H_

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

namespace vidora::testing {

// A session bus of the test's own (dbus-daemon) whose activated services
// (the accessibility bus launcher and registry) run with `runtime_dir` as
// XDG_RUNTIME_DIR and on X display `display`; ended with the object.
// address() is empty when no daemon started.
class AccessibilitySession {
 public:
  AccessibilitySession(const std::string& display, const std::string& runtime_dir);
  ~AccessibilitySession();
  AccessibilitySession(const AccessibilitySession&) = delete;
  AccessibilitySession& operator=(const AccessibilitySession&) = delete;

  const QString& address() const { return address_; }
  // The accessibility bus's address (asked of org.a11y.Bus, which starts
  // it), or empty.
  QString AccessibilityBusAddress();

 private:
  QProcess daemon_;
  QString address_;
};

// One object of an application's accessible tree as a screen reader sees it.
struct AccessibleNode {
  QString service;
  QString path;
  QString role;  // AT-SPI role name: "frame", "push button", ...
  QString name;
  QString description;
  QStringList actions;  // action names, "Press", ...
};

// A screen reader's side of AT-SPI over QtDBus, on the accessibility bus at
// `address`. Every call waits at most five seconds. `failures()` lists the
// calls that got no answer at all (the application died or hung); a D-Bus
// error is an answer.
class AtSpiClient {
 public:
  explicit AtSpiClient(const QString& address);
  ~AtSpiClient();

  bool connected() const { return bus_.isConnected(); }
  // The bus name of the first application the registry lists within
  // `bound_ms`, or empty.
  QString WaitForApplication(int bound_ms);
  // Visits every object below and including the application's root,
  // reading what a screen reader reads and calling
  // Properties.GetAll on each object's interfaces. `visit` sees each node.
  // Returns the number of objects visited.
  int Walk(const QString& service, const std::function<void(const AccessibleNode&)>& visit);
  // Runs action `index` of the object; whether it said it did.
  bool DoAction(const QString& service, const QString& path, int index);
  const std::vector<std::string>& failures() const { return failures_; }

 private:
  // Calls `method` of `interface` on `path`; an answer without arguments
  // when the call failed (recorded in failures_ unless it was a D-Bus error).
  QList<QVariant> Call(const QString& service, const QString& path, const QString& interface, const QString& method,
                       const QList<QVariant>& arguments = {});
  AccessibleNode Read(const QString& service, const QString& path, QStringList& interfaces);

  QString connection_name_;
  QDBusConnection bus_;
  std::vector<std::string> failures_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_E2E_ATSPI_CLIENT_H_
