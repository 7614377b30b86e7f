// Feeds arbitrary text to the HLS playlist reader the recorder follows;
// every address it gives must be a web address and the numbering must
// rise.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <strings.h>

#include "core/recording/hls_playlist.h"

// Schemes are case-insensitive: "HTTP://" is a web address too.
static bool IsWebAddress(const std::string& address) { return strncasecmp(address.c_str(), "http", 4) == 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vidora::HlsPlaylist playlist = vidora::ReadHlsPlaylist(text, "http://127.0.0.1/a/live.m3u8");
  for (size_t i = 0; i < playlist.segments.size(); ++i) {
    if (!IsWebAddress(playlist.segments[i].address)) std::abort();
    if (i > 0 && playlist.segments[i].sequence <= playlist.segments[i - 1].sequence) std::abort();
  }
  for (const std::string& variant : playlist.variants) {
    if (!IsWebAddress(variant)) std::abort();
  }
  return 0;
}
