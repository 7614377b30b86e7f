#ifndef VIDORA_TOOLS_QDOC_BASE64_H_
#define VIDORA_TOOLS_QDOC_BASE64_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

std::string EncodeBase64(const uint8_t* bytes, size_t count);
// Standard alphabet with padding; nullopt on any other character or a
// wrong length.
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text);

}  // namespace vidora

#endif  // VIDORA_TOOLS_QDOC_BASE64_H_
