#ifndef VIDORA_TESTS_CORE_PROVIDERS_SECRET_SERVICE_STAND_IN_H_
#define VIDORA_TESTS_CORE_PROVIDERS_SECRET_SERVICE_STAND_IN_H_

#include <gio/gio.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vidora::testing {

// A small org.freedesktop.secrets service on the bus at `address`: one
// unlocked "default" collection, "plain" sessions, and the calls libsecret
// makes to store, look up and clear a password. Runs on a thread of its
// own with its own main context; stopped with the object.
class SecretServiceStandIn {
 public:
  explicit SecretServiceStandIn(const std::string& address);
  ~SecretServiceStandIn();
  bool ready() const { return ready_; }
  // The secrets stored so far, by item path.
  std::map<std::string, std::string> Secrets();

  struct Item {
    std::map<std::string, std::string> attributes;
    std::string label;
    std::string secret;
  };

  // GDBus handlers (the service's thread).
  static void OnCall(GDBusConnection*, const gchar*, const gchar* path, const gchar* interface, const gchar* method,
                     GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* OnProperty(GDBusConnection*, const gchar*, const gchar* path, const gchar* interface,
                              const gchar* property, GError**, gpointer self);

 private:
  void RegisterItem(const std::string& path);
  std::vector<std::string> Matching(GVariant* attributes);

  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  GDBusConnection* connection_ = nullptr;
  GDBusNodeInfo* info_ = nullptr;
  bool ready_ = false;
  std::mutex mutex_;
  std::map<std::string, Item> items_;
  int next_item_ = 1;
  std::thread thread_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_CORE_PROVIDERS_SECRET_SERVICE_STAND_IN_H_
