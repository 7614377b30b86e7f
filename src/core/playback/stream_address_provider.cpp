#include "core/playback/stream_address_provider.h"

namespace vidora {

std::optional<std::u16string> StreamAddressProvider::Resolve(std::u16string_view) { return std::nullopt; }

}  // namespace vidora
