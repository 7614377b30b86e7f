#include "secret_service_stand_in.h"

#include <future>
#include <utility>

namespace vidora::testing {
namespace {

constexpr char kCollection[] = "/org/freedesktop/secrets/collection/login";
constexpr char kSession[] = "/org/freedesktop/secrets/session/s1";

constexpr char kIntrospection[] = R"xml(<node>
  <interface name="org.freedesktop.Secret.Service">
    <method name="OpenSession"><arg type="s" direction="in"/><arg type="v" direction="in"/>
      <arg type="v" direction="out"/><arg type="o" direction="out"/></method>
    <method name="SearchItems"><arg type="a{ss}" direction="in"/>
      <arg type="ao" direction="out"/><arg type="ao" direction="out"/></method>
    <method name="Unlock"><arg type="ao" direction="in"/><arg type="ao" direction="out"/><arg type="o" direction="out"/></method>
    <method name="GetSecrets"><arg type="ao" direction="in"/><arg type="o" direction="in"/>
      <arg type="a{o(oayays)}" direction="out"/></method>
    <method name="ReadAlias"><arg type="s" direction="in"/><arg type="o" direction="out"/></method>
    <property name="Collections" type="ao" access="read"/>
  </interface>
  <interface name="org.freedesktop.Secret.Collection">
    <method name="CreateItem"><arg type="a{sv}" direction="in"/><arg type="(oayays)" direction="in"/>
      <arg type="b" direction="in"/><arg type="o" direction="out"/><arg type="o" direction="out"/></method>
    <method name="SearchItems"><arg type="a{ss}" direction="in"/><arg type="ao" direction="out"/></method>
    <property name="Items" type="ao" access="read"/>
    <property name="Label" type="s" access="read"/>
    <property name="Locked" type="b" access="read"/>
    <property name="Created" type="t" access="read"/>
    <property name="Modified" type="t" access="read"/>
  </interface>
  <interface name="org.freedesktop.Secret.Item">
    <method name="Delete"><arg type="o" direction="out"/></method>
    <method name="GetSecret"><arg type="o" direction="in"/><arg type="(oayays)" direction="out"/></method>
    <property name="Attributes" type="a{ss}" access="read"/>
    <property name="Label" type="s" access="read"/>
    <property name="Locked" type="b" access="read"/>
    <property name="Created" type="t" access="read"/>
    <property name="Modified" type="t" access="read"/>
  </interface>
  <interface name="org.freedesktop.Secret.Session">
    <method name="Close"/>
  </interface>
</node>)xml";

GVariant* PathArray(const std::vector<std::string>& paths) {
  GVariantBuilder builder;
  g_variant_builder_init(&builder, G_VARIANT_TYPE("ao"));
  for (const std::string& path : paths) g_variant_builder_add(&builder, "o", path.c_str());
  return g_variant_builder_end(&builder);
}

GVariant* SecretValue(const std::string& secret) {
  return g_variant_new("(o@ay@ays)", kSession, g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, "", 0, 1),
                       g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, secret.data(), secret.size(), 1),
                       "text/plain");
}

const GDBusInterfaceVTable kVTable = {&SecretServiceStandIn::OnCall, &SecretServiceStandIn::OnProperty, nullptr, {}};

}  // namespace

SecretServiceStandIn::SecretServiceStandIn(const std::string& address) {
  std::promise<bool> started;
  std::future<bool> done = started.get_future();
  thread_ = std::thread([this, address, &started] {
    context_ = g_main_context_new();
    g_main_context_push_thread_default(context_);
    loop_ = g_main_loop_new(context_, FALSE);
    GError* error = nullptr;
    connection_ = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error);
    bool ok = connection_ != nullptr;
    if (error != nullptr) g_error_free(error);
    if (ok) {
      info_ = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
      g_dbus_connection_register_object(connection_, "/org/freedesktop/secrets", info_->interfaces[0], &kVTable, this,
                                        nullptr, nullptr);
      g_dbus_connection_register_object(connection_, kCollection, info_->interfaces[1], &kVTable, this, nullptr,
                                        nullptr);
      g_dbus_connection_register_object(connection_, "/org/freedesktop/secrets/aliases/default",
                                        info_->interfaces[1], &kVTable, this, nullptr, nullptr);
      g_dbus_connection_register_object(connection_, kSession, info_->interfaces[3], &kVTable, this, nullptr,
                                        nullptr);
      GVariant* reply = g_dbus_connection_call_sync(
          connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
          g_variant_new("(su)", "org.freedesktop.secrets", 4u), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000,
          nullptr, nullptr);
      ok = reply != nullptr;
      if (reply != nullptr) g_variant_unref(reply);
    }
    ready_ = ok;
    started.set_value(ok);
    if (ok) g_main_loop_run(loop_);
    if (connection_ != nullptr) {
      g_dbus_connection_close_sync(connection_, nullptr, nullptr);
      g_object_unref(connection_);
    }
    if (info_ != nullptr) g_dbus_node_info_unref(info_);
    g_main_loop_unref(loop_);
    g_main_context_pop_thread_default(context_);
    g_main_context_unref(context_);
  });
  done.wait();
}

SecretServiceStandIn::~SecretServiceStandIn() {
  if (loop_ != nullptr) {
    GMainLoop* loop = loop_;
    GSource* quit = g_idle_source_new();
    g_source_set_callback(quit, [](gpointer l) -> gboolean {
      g_main_loop_quit(static_cast<GMainLoop*>(l));
      return G_SOURCE_REMOVE;
    }, loop, nullptr);
    g_source_attach(quit, context_);
    g_source_unref(quit);
  }
  thread_.join();
}

std::map<std::string, std::string> SecretServiceStandIn::Secrets() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::map<std::string, std::string> secrets;
  for (const auto& [path, item] : items_) secrets[path] = item.secret;
  return secrets;
}

std::vector<std::string> SecretServiceStandIn::Matching(GVariant* attributes) {
  std::map<std::string, std::string> wanted;
  GVariantIter iter;
  g_variant_iter_init(&iter, attributes);
  const gchar* key = nullptr;
  const gchar* value = nullptr;
  while (g_variant_iter_next(&iter, "{&s&s}", &key, &value)) wanted[key] = value;
  std::vector<std::string> found;
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [path, item] : items_) {
    bool all = true;
    for (const auto& [k, v] : wanted) {
      const auto it = item.attributes.find(k);
      all = all && it != item.attributes.end() && it->second == v;
    }
    if (all) found.push_back(path);
  }
  return found;
}

void SecretServiceStandIn::RegisterItem(const std::string& path) {
  g_dbus_connection_register_object(connection_, path.c_str(), info_->interfaces[2], &kVTable, this, nullptr, nullptr);
}

void SecretServiceStandIn::OnCall(GDBusConnection*, const gchar*, const gchar* path, const gchar*,
                                  const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                                  gpointer data) {
  auto* self = static_cast<SecretServiceStandIn*>(data);
  const std::string name = method;
  if (name == "OpenSession") {
    const gchar* algorithm = nullptr;
    GVariant* input = nullptr;
    g_variant_get(parameters, "(&sv)", &algorithm, &input);
    g_variant_unref(input);
    if (std::string(algorithm) != "plain") {
      g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.NotSupported", "plain only");
      return;
    }
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(@vo)", g_variant_new_variant(g_variant_new_string("")), kSession));
  } else if (name == "SearchItems") {
    GVariant* attributes = g_variant_get_child_value(parameters, 0);
    const std::vector<std::string> found = self->Matching(attributes);
    g_variant_unref(attributes);
    if (std::string(path) == "/org/freedesktop/secrets") {
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(@ao@ao)", PathArray(found), PathArray({})));
    } else {
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(@ao)", PathArray(found)));
    }
  } else if (name == "Unlock") {
    GVariant* paths = g_variant_get_child_value(parameters, 0);
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(@ao@o)", paths, g_variant_new_object_path("/")));
  } else if (name == "GetSecrets") {
    GVariantIter* paths = nullptr;
    const gchar* session = nullptr;
    g_variant_get(parameters, "(ao&o)", &paths, &session);
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a{o(oayays)}"));
    const gchar* item_path = nullptr;
    {
      std::lock_guard<std::mutex> lock(self->mutex_);
      while (g_variant_iter_next(paths, "&o", &item_path)) {
        const auto it = self->items_.find(item_path);
        if (it != self->items_.end()) g_variant_builder_add(&builder, "{o@(oayays)}", item_path, SecretValue(it->second.secret));
      }
    }
    g_variant_iter_free(paths);
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(@a{o(oayays)})", g_variant_builder_end(&builder)));
  } else if (name == "ReadAlias") {
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", kCollection));
  } else if (name == "CreateItem") {
    GVariant* properties = g_variant_get_child_value(parameters, 0);
    GVariant* secret = g_variant_get_child_value(parameters, 1);
    Item item;
    GVariant* attributes = g_variant_lookup_value(properties, "org.freedesktop.Secret.Item.Attributes", G_VARIANT_TYPE("a{ss}"));
    if (attributes != nullptr) {
      GVariantIter iter;
      g_variant_iter_init(&iter, attributes);
      const gchar* key = nullptr;
      const gchar* value = nullptr;
      while (g_variant_iter_next(&iter, "{&s&s}", &key, &value)) item.attributes[key] = value;
      g_variant_unref(attributes);
    }
    GVariant* bytes = g_variant_get_child_value(secret, 2);
    gsize size = 0;
    const void* data_bytes = g_variant_get_fixed_array(bytes, &size, 1);
    item.secret.assign(static_cast<const char*>(data_bytes), size);
    g_variant_unref(bytes);
    g_variant_unref(secret);
    g_variant_unref(properties);
    std::string item_path;
    {
      std::lock_guard<std::mutex> lock(self->mutex_);
      for (auto& [existing_path, existing] : self->items_) {
        if (existing.attributes == item.attributes) item_path = existing_path;
      }
      if (item_path.empty()) item_path = std::string(kCollection) + "/i" + std::to_string(self->next_item_++);
      const bool fresh = self->items_.count(item_path) == 0;
      self->items_[item_path] = item;
      if (fresh) self->RegisterItem(item_path);
    }
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(oo)", item_path.c_str(), "/"));
  } else if (name == "Delete") {
    {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->items_.erase(path);
    }
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", "/"));
  } else if (name == "GetSecret") {
    std::lock_guard<std::mutex> lock(self->mutex_);
    const auto it = self->items_.find(path);
    if (it == self->items_.end()) {
      g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.Secret.Error.NoSuchObject", "gone");
      return;
    }
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(@(oayays))", SecretValue(it->second.secret)));
  } else {
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }
}

GVariant* SecretServiceStandIn::OnProperty(GDBusConnection*, const gchar*, const gchar* path, const gchar*,
                                           const gchar* property, GError**, gpointer data) {
  auto* self = static_cast<SecretServiceStandIn*>(data);
  const std::string name = property;
  if (name == "Collections") return PathArray({kCollection});
  if (name == "Locked") return g_variant_new_boolean(FALSE);
  if (name == "Created" || name == "Modified") return g_variant_new_uint64(0);
  std::lock_guard<std::mutex> lock(self->mutex_);
  if (name == "Items") {
    std::vector<std::string> paths;
    for (const auto& entry : self->items_) paths.push_back(entry.first);
    return PathArray(paths);
  }
  const auto it = self->items_.find(path);
  if (name == "Label") return g_variant_new_string(it != self->items_.end() ? it->second.label.c_str() : "Login");
  if (name == "Attributes") {
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a{ss}"));
    if (it != self->items_.end()) {
      for (const auto& [k, v] : it->second.attributes) g_variant_builder_add(&builder, "{ss}", k.c_str(), v.c_str());
    }
    return g_variant_builder_end(&builder);
  }
  return nullptr;
}

}  // namespace vidora::testing
