#ifndef VIDORA_CORE_PLAYBACK_STREAM_ADDRESS_PROVIDER_H_
#define VIDORA_CORE_PLAYBACK_STREAM_ADDRESS_PROVIDER_H_

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vidora {

// Turns a channel's address into the address the player can play, for
// channels that name a stream provider (attribute "g" of the channel).
// Providers live in the ProviderTable under their name. UI thread only,
// apart from copies made by CopyForWorker.
class StreamAddressProvider {
 public:
  explicit StreamAddressProvider(std::string name) : name_(std::move(name)) {}
  StreamAddressProvider(const StreamAddressProvider&) = delete;
  StreamAddressProvider& operator=(const StreamAddressProvider&) = delete;
  virtual ~StreamAddressProvider() = default;

  // The table key.
  const std::string& name() const { return name_; }

  // The playable address for `address`, possibly empty, or none when the
  // provider could not find one. May block on the network; `cancel` (may
  // be null) cuts that short with none. The base provider finds none.
  std::optional<std::u16string> Resolve(std::u16string_view address) { return Resolve(address, nullptr); }
  virtual std::optional<std::u16string> Resolve(std::u16string_view address, const std::atomic<bool>* cancel);
  // A copy that holds everything it needs to Resolve on any thread, with
  // nothing shared with this one (settings are read now, on the UI
  // thread). The base copies only the name.
  virtual std::unique_ptr<StreamAddressProvider> CopyForWorker() const;

 private:
  std::string name_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_STREAM_ADDRESS_PROVIDER_H_
