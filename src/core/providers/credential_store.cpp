#include "core/providers/credential_store.h"

#include <libsecret/secret.h>

#include <cstdlib>
#include <filesystem>

namespace vidora {
namespace {

const SecretSchema* PasswordSchema() {
  static const SecretSchema schema = {
      "org.vidora.ProviderPassword",
      SECRET_SCHEMA_NONE,
      {{"server", SECRET_SCHEMA_ATTRIBUTE_STRING},
       {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
       {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
      0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  return &schema;
}

// Without a session bus address GLib would try to start a bus of its own;
// the player then keeps passwords in memory instead.
bool HasSessionBus(std::string& reason) {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  if (runtime != nullptr && std::filesystem::exists(std::filesystem::path(runtime) / "bus", error)) return true;
  reason = "no D-Bus session bus";
  return false;
}

std::string TakeError(GError* error) {
  std::string text = error != nullptr && error->message != nullptr ? error->message : "unknown error";
  if (error != nullptr) g_error_free(error);
  return text;
}

}  // namespace

SecretSave CredentialStore::Save(const XtreamAccount& account, const std::string& password) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    memory_[KeyOf(account)] = password;
  }
  SecretSave save;
  if (!HasSessionBus(save.reason)) return save;
  const std::string label = "Vidora: " + account.user + " @ " + account.server;
  GError* error = nullptr;
  save.in_secret_service = secret_password_store_sync(PasswordSchema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                                                      password.c_str(), nullptr, &error, "server",
                                                      account.server.c_str(), "user", account.user.c_str(), nullptr);
  if (!save.in_secret_service) save.reason = TakeError(error);
  return save;
}

std::optional<std::string> CredentialStore::Find(const XtreamAccount& account) {
  const std::string key = KeyOf(account);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = memory_.find(key);
    if (found != memory_.end()) return found->second;
  }
  std::string reason;
  if (!HasSessionBus(reason)) return std::nullopt;
  GError* error = nullptr;
  gchar* secret = secret_password_lookup_sync(PasswordSchema(), nullptr, &error, "server", account.server.c_str(),
                                              "user", account.user.c_str(), nullptr);
  if (error != nullptr) g_error_free(error);
  if (secret == nullptr) return std::nullopt;
  std::string password(secret);
  secret_password_free(secret);
  std::lock_guard<std::mutex> lock(mutex_);
  memory_[key] = password;
  return password;
}

void CredentialStore::Forget(const XtreamAccount& account) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    memory_.erase(KeyOf(account));
  }
  std::string reason;
  if (!HasSessionBus(reason)) return;
  GError* error = nullptr;
  secret_password_clear_sync(PasswordSchema(), nullptr, &error, "server", account.server.c_str(), "user",
                             account.user.c_str(), nullptr);
  if (error != nullptr) g_error_free(error);
}

CredentialStore& Credentials() {
  static CredentialStore store;
  return store;
}

}  // namespace vidora
