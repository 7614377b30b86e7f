#include "core/playlists/playlist_address.h"

#include <array>
#include <cctype>
#include <vector>

namespace vidora {
namespace {

bool IsSchemeChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

// Removes "." and ".." segments from a path that starts with "/".
std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string_view> out;
  std::string_view rest = path.substr(1);
  while (true) {
    const size_t slash = rest.find('/');
    const bool last = slash == std::string_view::npos;
    const std::string_view segment = last ? rest : rest.substr(0, slash);
    if (segment == "..") {
      if (!out.empty()) out.pop_back();
      if (last) out.emplace_back();
    } else if (segment == ".") {
      if (last) out.emplace_back();
    } else {
      out.push_back(segment);
    }
    if (last) break;
    rest.remove_prefix(slash + 1);
  }
  std::string result = "/";
  for (size_t i = 0; i < out.size(); ++i) {
    if (i > 0) result += '/';
    result.append(out[i]);
  }
  return result;
}

bool LooksLikeAddress(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F) return false;
  }
  return true;
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
    // A local playlist file: paths relative to its folder.
    if (reference.front() == '/') return RemoveDotSegments(reference);
    const size_t slash = base.rfind('/');
    const std::string folder = slash == std::string_view::npos ? std::string() : std::string(base.substr(0, slash + 1));
    const std::string joined = folder + std::string(reference);
    return joined.front() == '/' ? RemoveDotSegments(joined) : joined;
  }

  const size_t colon = base.find(':');
  const std::string_view scheme = base.substr(0, colon + 1);
  std::string_view rest = base.substr(colon + 1);
  std::string_view authority;
  if (rest.starts_with("//")) {
    const size_t end = rest.find_first_of("/?#", 2);
    authority = rest.substr(0, end == std::string_view::npos ? rest.size() : end);
    rest.remove_prefix(authority.size());
  }
  const size_t query = rest.find_first_of("?#");
  const std::string_view path = rest.substr(0, query == std::string_view::npos ? rest.size() : query);

  std::string result(scheme);
  if (reference.starts_with("//")) return result + std::string(reference);
  result.append(authority);
  if (reference.front() == '?' || reference.front() == '#') {
    return result + std::string(path) + std::string(reference);
  }
  const size_t ref_query = reference.find_first_of("?#");
  const std::string_view ref_path = reference.substr(0, ref_query == std::string_view::npos ? reference.size() : ref_query);
  const std::string_view ref_tail = reference.substr(ref_path.size());
  std::string merged;
  if (ref_path.front() == '/') {
    merged = std::string(ref_path);
  } else {
    const size_t slash = path.rfind('/');
    merged = (slash == std::string_view::npos ? std::string("/") : std::string(path.substr(0, slash + 1))) +
             std::string(ref_path);
  }
  return result + RemoveDotSegments(merged) + std::string(ref_tail);
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
