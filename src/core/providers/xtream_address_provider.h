#ifndef VIDORA_CORE_PROVIDERS_XTREAM_ADDRESS_PROVIDER_H_
#define VIDORA_CORE_PROVIDERS_XTREAM_ADDRESS_PROVIDER_H_

#include <memory>

#include "core/playback/stream_address_provider.h"

namespace vidora {

// The stream provider of provider-account channels: turns a stored
// XtreamChannelAddress into the live address, and an expanded
// XtreamArchiveTemplate into the archive address, and a film's or an
// episode's XtreamMediaAddress into its play address, with the account's
// password (from Credentials(), read when the channel plays). None when the address
// is not one or no password is known. Copies share nothing but the
// thread-safe credential store.
class XtreamAddressProvider : public StreamAddressProvider {
 public:
  XtreamAddressProvider();
  using StreamAddressProvider::Resolve;
  std::optional<std::u16string> Resolve(std::u16string_view address, const std::atomic<bool>* cancel) override;
  std::unique_ptr<StreamAddressProvider> CopyForWorker() const override;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_XTREAM_ADDRESS_PROVIDER_H_
