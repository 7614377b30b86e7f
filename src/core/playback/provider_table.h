#ifndef VIDORA_CORE_PLAYBACK_PROVIDER_TABLE_H_
#define VIDORA_CORE_PLAYBACK_PROVIDER_TABLE_H_

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/playback/stream_address_provider.h"

namespace vidora {

// The stream providers by name (byte-wise order). Owns them. UI thread
// only.
class ProviderTable {
 public:
  // Enters `provider` under its name; an earlier provider of that name is
  // destroyed. A null provider changes nothing.
  void Enter(std::unique_ptr<StreamAddressProvider> provider);
  // The provider of exactly that name, or nullptr. Borrowed.
  StreamAddressProvider* Find(std::string_view name) const;
  // Destroys every provider.
  void Clear();
  bool empty() const { return providers_.empty(); }

 private:
  std::map<std::string, std::unique_ptr<StreamAddressProvider>, std::less<>> providers_;
};

// The process-wide table.
ProviderTable& Providers();

// Enters the "vdtm" provider and those of the added factories into the process-wide table (when the main
// view is created). Allocation failure leaves the table as it was.
void CreateProviders();
// Makes one more provider for CreateProviders to enter (a feature's own
// provider). Call before the main view is created; UI thread only.
using ProviderFactory = std::unique_ptr<StreamAddressProvider> (*)();
void AddProviderFactory(ProviderFactory factory);

// Destroys every provider of the process-wide table (when the main view is
// destroyed).
void DestroyProviders();

// The result of the provider named `provider_name` for `address`, or none
// when no provider has that name. Blocks while the provider works.
std::optional<std::u16string> ResolveAddress(std::u16string_view address, std::string_view provider_name);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_PROVIDER_TABLE_H_
