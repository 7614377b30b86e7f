#ifndef VIDORA_CORE_RECORDING_HLS_PLAYLIST_H_
#define VIDORA_CORE_RECORDING_HLS_PLAYLIST_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

struct HlsSegment {
  std::string address;  // absolute
  int64_t sequence = 0;
  double seconds = 0;
};

// An HLS playlist as far as recording needs it.
struct HlsPlaylist {
  bool valid = false;  // the text starts with #EXTM3U
  // A master playlist's variants, best first (highest BANDWIDTH), absolute
  // http(s) addresses (others are left out, as for segments).
  std::vector<std::string> variants;
  // A media playlist's segments, in order, numbered from
  // #EXT-X-MEDIA-SEQUENCE.
  std::vector<HlsSegment> segments;
  double target_seconds = 0;
  bool ended = false;  // #EXT-X-ENDLIST: nothing more will come
};

// Reads `text` fetched from `address`. Never fails: lines it cannot use
// are passed over. Any thread.
HlsPlaylist ReadHlsPlaylist(std::string_view text, std::string_view address);

}  // namespace vidora

#endif  // VIDORA_CORE_RECORDING_HLS_PLAYLIST_H_
