#ifndef VIDORA_CORE_DOCUMENT_TEXT_CODEC_H_
#define VIDORA_CORE_DOCUMENT_TEXT_CODEC_H_

#include <string>
#include <string_view>

namespace vidora {

// 8-bit text is UTF-8 on this platform. Invalid sequences become U+FFFD;
// nothing throws.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// The same into `out`, reusing its storage.
void Utf16ToUtf8Into(std::u16string_view text, std::string& out);

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_TEXT_CODEC_H_
