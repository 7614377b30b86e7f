#include "core/playback/stream_address_provider.h"

namespace vidora {

std::optional<std::u16string> StreamAddressProvider::Resolve(std::u16string_view, const std::atomic<bool>*) {
  return std::nullopt;
}

std::unique_ptr<StreamAddressProvider> StreamAddressProvider::CopyForWorker() const {
  return std::make_unique<StreamAddressProvider>(name_);
}

}  // namespace vidora
