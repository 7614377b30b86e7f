#include "core/playlists/playlist_address.h"

#include <curl/curl.h>

#include <array>
#include <cctype>
#include <memory>

#include "core/net/curl_transfer.h"

namespace vidora {
namespace {

bool IsSchemeChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

bool LooksLikeAddress(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F) return false;
  }
  return true;
}

// Escapes '%', blanks, control characters and bytes beyond ASCII (and
// '?' and '#' too in a file path, where they name no query). curl then has
// nothing left to encode or refuse, every escape in its answer is one of
// these, and decoding the answer gives the text back as it was written.
bool IsEscapedInUrl(unsigned char c) { return c == '%' || c <= 0x20 || c >= 0x7F; }
bool IsEscapedInPath(unsigned char c) { return IsEscapedInUrl(c) || c == '?' || c == '#'; }

std::string Escape(std::string_view text, bool file_path) {
  return PercentEncode(text, file_path ? IsEscapedInPath : IsEscapedInUrl);
}

// A relative reference, escaped. A colon in its first segment would make
// that a scheme ("c:d.ts" has none: one letter is a drive): such a path is
// written "./c:d.ts".
std::string EscapeReference(std::string_view reference, bool file_path) {
  std::string out = Escape(reference, file_path);
  const size_t colon = out.find(':');
  if (colon != std::string::npos && colon < out.find_first_of("/?#") && !out.starts_with('/')) out.insert(0, "./");
  return out;
}

using UrlHandle = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

// The part `part` of `reference` resolved against the absolute `base`
// (both escaped; an empty reference stands for the base itself), decoded;
// empty when curl refuses either. Schemes curl does not speak itself (udp,
// rtp, ...) are resolved all the same.
std::string Resolve(const std::string& base, std::string_view reference, CURLUPart part) {
  UrlHandle url(curl_url(), &curl_url_cleanup);
  if (url == nullptr) return {};
  constexpr unsigned int kFlags = CURLU_NON_SUPPORT_SCHEME;
  if (curl_url_set(url.get(), CURLUPART_URL, base.c_str(), kFlags) != CURLUE_OK) return {};
  // A lone fragment keeps the base's path and query.
  const bool fragment = reference.starts_with('#');
  const std::string relative(fragment ? reference.substr(1) : reference);
  if (!reference.empty() &&
      curl_url_set(url.get(), fragment ? CURLUPART_FRAGMENT : CURLUPART_URL, relative.c_str(), kFlags) != CURLUE_OK) {
    return {};
  }
  char* text = nullptr;
  if (curl_url_get(url.get(), part, &text, 0) != CURLUE_OK) return {};
  int length = 0;
  char* decoded = curl_easy_unescape(nullptr, text, 0, &length);
  curl_free(text);
  if (decoded == nullptr) return {};
  std::string result(decoded, static_cast<size_t>(length));
  curl_free(decoded);
  return result;
}

}  // namespace

bool HasAddressScheme(std::string_view text) {
  if (text.empty() || std::isalpha(static_cast<unsigned char>(text[0])) == 0) return false;
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] == ':') return i >= 2;  // one letter is a drive, not a scheme
    if (!IsSchemeChar(text[i])) return false;
  }
  return false;
}

std::string ResolveAddress(std::string_view base, std::string_view reference) {
  if (!LooksLikeAddress(reference)) return {};
  if (HasAddressScheme(reference)) return std::string(reference);
  if (base.empty()) return reference.front() == '/' ? std::string(reference) : std::string();

  if (!HasAddressScheme(base)) {
    // A local playlist file: paths relative to its folder, resolved as the
    // path of a file: URL.
    if (reference.front() == '/') return Resolve("file://" + Escape(reference, true), "", CURLUPART_PATH);
    const size_t slash = base.rfind('/');
    if (slash == std::string_view::npos || base.front() != '/') {
      // A folder given relative to nothing known stays as written.
      return std::string(base.substr(0, slash == std::string_view::npos ? 0 : slash + 1)) + std::string(reference);
    }
    return Resolve("file://" + Escape(base, true), EscapeReference(reference, true), CURLUPART_PATH);
  }

  std::string resolved = Resolve(Escape(base, false), EscapeReference(reference, false), CURLUPART_URL);
  // curl writes the scheme in lower case; the base's own spelling stays.
  const size_t colon = base.find(':');
  if (resolved.size() > colon && resolved[colon] == ':') resolved.replace(0, colon, base.substr(0, colon));
  return resolved;
}

bool IsAudioOnlyAddress(std::string_view address) {
  const size_t end = address.find_first_of("?#");
  std::string_view path = address.substr(0, end == std::string_view::npos ? address.size() : end);
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return false;
  std::string extension;
  for (char c : path.substr(dot + 1)) extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static constexpr std::array<std::string_view, 9> kAudio = {"mp3", "aac", "ogg", "oga", "opus",
                                                             "m4a", "flac", "wav", "pls"};
  for (std::string_view a : kAudio) {
    if (extension == a) return true;
  }
  return false;
}

}  // namespace vidora
