#include "core/recording/hls_playlist.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

#include "core/playlists/playlist_address.h"

namespace vidora {
namespace {

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

bool IsWebAddress(std::string_view address) {
  const auto starts = [address](std::string_view scheme) {
    if (address.size() < scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(address[i])) != scheme[i]) return false;
    }
    return true;
  };
  return starts("http://") || starts("https://");
}

// A bounded decimal number; 0 for anything else.
double Number(std::string_view text) {
  std::string digits(text.substr(0, std::min<size_t>(text.size(), 24)));
  char* end = nullptr;
  const double value = std::strtod(digits.c_str(), &end);
  return end == digits.c_str() || !(value >= 0 && value < 1e15) ? 0 : value;
}

double Bandwidth(std::string_view attributes) {
  size_t at = 0;
  while ((at = attributes.find("BANDWIDTH=", at)) != std::string_view::npos) {
    // Not AVERAGE-BANDWIDTH.
    if (at == 0 || attributes[at - 1] == ',' || attributes[at - 1] == ':') return Number(attributes.substr(at + 10));
    at += 10;
  }
  return 0;
}

}  // namespace

HlsPlaylist ReadHlsPlaylist(std::string_view text, std::string_view address) {
  HlsPlaylist playlist;
  if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  if (!StartsWith(text, "#EXTM3U")) return playlist;
  playlist.valid = true;
  std::vector<std::pair<double, std::string>> variants;
  int64_t sequence = 0;
  double next_seconds = 0;
  bool next_is_variant = false;
  double next_bandwidth = 0;
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(from, end - from);
    from = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line[0] == '#') {
      if (StartsWith(line, "#EXT-X-MEDIA-SEQUENCE:")) {
        // Only before the first segment, as the format says: later it
        // would number segments backwards.
        if (playlist.segments.empty()) sequence = static_cast<int64_t>(Number(line.substr(22)));
      } else if (StartsWith(line, "#EXT-X-TARGETDURATION:")) {
        playlist.target_seconds = Number(line.substr(22));
      } else if (StartsWith(line, "#EXTINF:")) {
        next_seconds = Number(line.substr(8));
      } else if (StartsWith(line, "#EXT-X-STREAM-INF:")) {
        next_is_variant = true;
        next_bandwidth = Bandwidth(line.substr(18));
      } else if (StartsWith(line, "#EXT-X-ENDLIST")) {
        playlist.ended = true;
      }
      continue;
    }
    std::string resolved = ResolveAddress(address, line);
    // A playlist from the network may only send the recorder to the
    // network, never to a local file or another protocol.
    if (!IsWebAddress(resolved)) continue;
    if (next_is_variant) {
      variants.emplace_back(next_bandwidth, std::move(resolved));
      next_is_variant = false;
    } else {
      playlist.segments.push_back({std::move(resolved), sequence++, next_seconds});
      next_seconds = 0;
    }
  }
  std::stable_sort(variants.begin(), variants.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (auto& variant : variants) playlist.variants.push_back(std::move(variant.second));
  return playlist;
}

}  // namespace vidora
