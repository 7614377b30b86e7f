#ifndef VIDORA_CORE_PROVIDERS_CREDENTIAL_STORE_H_
#define VIDORA_CORE_PROVIDERS_CREDENTIAL_STORE_H_

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "core/providers/xtream_address.h"

namespace vidora {

// Where a saved password went.
struct SecretSave {
  bool in_secret_service = false;  // false: kept in memory until the player ends
  std::string reason;              // why not in the secret service (for a tooltip)
};

// The passwords of provider accounts. They are kept in the desktop's
// secret store (the Secret Service on the session bus, through libsecret)
// and never in the player's own files; without a secret service they live
// in memory only, for this run. Thread-safe: the calls that reach the
// secret service block on D-Bus, so call them off the UI thread.
class CredentialStore {
 public:
  SecretSave Save(const XtreamAccount& account, const std::string& password);
  // The password from memory, else from the secret service; none when
  // neither has it.
  std::optional<std::string> Find(const XtreamAccount& account);
  // Removes the password from memory and the secret service.
  void Forget(const XtreamAccount& account);

 private:
  static std::string KeyOf(const XtreamAccount& account) { return account.server + "\n" + account.user; }

  std::mutex mutex_;
  std::map<std::string, std::string> memory_;
};

// The process-wide store.
CredentialStore& Credentials();

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_CREDENTIAL_STORE_H_
