#include "core/playback/stream_address_policy.h"

#include <array>
#include <string>

namespace vidora {
namespace {

constexpr std::array<std::u16string_view, 10> kNetworkSchemes = {
    u"http", u"https", u"rtsp", u"rtsps", u"rtmp", u"rtmps", u"mms", u"mmsh", u"udp", u"rtp"};
static_assert(kNetworkSchemes.size() == kNetworkStreamSchemeCount);

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool IsSchemeChar(char16_t c, bool first) {
  const char16_t lower = AsciiLower(c);
  if (lower >= u'a' && lower <= u'z') return true;
  return !first && ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.');
}

// The scheme in lower case when `address` starts with "scheme:", else
// nothing (empty).
std::u16string SchemeOf(std::u16string_view address) {
  std::u16string scheme;
  for (size_t i = 0; i < address.size(); ++i) {
    const char16_t c = address[i];
    if (c == u':') return i == 0 ? std::u16string() : scheme;
    if (!IsSchemeChar(c, i == 0)) return {};
    scheme += AsciiLower(c);
  }
  return {};
}

bool HasControlCharacter(std::u16string_view address) {
  for (const char16_t c : address) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::u16string_view NetworkStreamScheme(size_t index) { return kNetworkSchemes[index]; }

bool IsAllowedStreamAddress(std::u16string_view address, StreamAddressOrigin origin) {
  if (address.empty() || HasControlCharacter(address)) return false;
  const std::u16string scheme = SchemeOf(address);
  if (origin == StreamAddressOrigin::kUserLocalFile) {
    // A plain path, or the file: scheme, and nothing of the player's own
    // pseudo-protocols (a path never starts with "x:", so no scheme means
    // a path).
    if (scheme.empty() || scheme == u"file") return true;
  }
  // "scheme:" alone, or "scheme:path" without "//", is no network address.
  if (address.substr(scheme.size(), 3) != u"://") return false;
  for (const std::u16string_view allowed : kNetworkSchemes) {
    if (scheme == allowed) return true;
  }
  return false;
}

}  // namespace vidora
