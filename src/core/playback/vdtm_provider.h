#ifndef VIDORA_CORE_PLAYBACK_VDTM_PROVIDER_H_
#define VIDORA_CORE_PLAYBACK_VDTM_PROVIDER_H_

#include <optional>
#include <string>
#include <string_view>

#include "core/playback/stream_address_provider.h"

namespace vidora {

inline constexpr char kVdtmProviderName[] = "vdtm";

// The "vdtm" stream provider: the channel's address names a page on the
// provider's server. Asking for "general/<address>.html" (HTTP/1.0) yields
// the cookie "tv", and the playlist "/stream/<cookie value>" holds the
// playable address in its first `<ref href = "..."/>` element. UI thread
// only (a copy for a worker any thread); Resolve blocks for both requests
// and for the message box that shows the result.
class VdtmProvider : public StreamAddressProvider {
 public:
  // Asks the server StreamProviderHost() names at each Resolve.
  VdtmProvider();
  // Always asks `host` ("name" or "name:port").
  explicit VdtmProvider(std::u16string host);

  // None when the server sets no cookie (after showing the failure's
  // CookieFailureText through ShowPlainMessage), the playlist cannot be
  // fetched or holds no complete reference element, or `cancel` (may be
  // null) became true; otherwise the address, also when empty, after
  // showing it through ShowPlainMessage.
  std::optional<std::u16string> Resolve(std::u16string_view address, const std::atomic<bool>* cancel) override;
  using StreamAddressProvider::Resolve;
  // Fixed to the host that StreamProviderHost() names now.
  std::unique_ptr<StreamAddressProvider> CopyForWorker() const override;

  // The text between the first `<ref href = "` of `playlist` and the next
  // `"/>` after it; none when either marker is missing.
  static std::optional<std::u16string> ExtractStreamAddress(std::u16string_view playlist);

 private:
  std::u16string host_;  // empty: StreamProviderHost()
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_VDTM_PROVIDER_H_
