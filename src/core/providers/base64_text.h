#ifndef VIDORA_CORE_PROVIDERS_BASE64_TEXT_H_
#define VIDORA_CORE_PROVIDERS_BASE64_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vidora {

// Decodes standard Base64 (RFC 4648, "+/" with or without "=" padding;
// blanks and line breaks between the characters are ignored). None when
// `text` holds any other character or ends in the middle of a byte. Any
// thread.
std::optional<std::string> DecodeBase64(std::string_view text);

// Encodes `count` bytes as standard Base64 with "=" padding. Any thread.
std::string EncodeBase64(const uint8_t* bytes, size_t count);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_BASE64_TEXT_H_
