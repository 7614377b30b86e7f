// The stream provider's playlist page: the address is taken from the first
// reference element, and whatever it is must pass the address rule before
// the player could see it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/document/text_codec.h"
#include "core/playback/stream_address_policy.h"
#include "core/playback/vdtm_provider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string page = vidora::Utf8ToUtf16(std::string(reinterpret_cast<const char*>(data), size));
  const std::optional<std::u16string> address = vidora::VdtmProvider::ExtractStreamAddress(page);
  if (address) vidora::IsAllowedStreamAddress(*address);
  vidora::IsAllowedStreamAddress(page);
  return 0;
}
