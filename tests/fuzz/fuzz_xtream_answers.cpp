// Feeds arbitrary bytes to the provider-account answer readers and the
// playlist conversion of their streams; every entry keeps its address.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/providers/xtream_answers.h"
#include "core/providers/xtream_client.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vidora::ReadXtreamAccount(text, 1760000000);
  const vidora::XtreamCategories categories = vidora::ReadXtreamCategories(text);
  const vidora::XtreamStreams streams = vidora::ReadXtreamStreams(text);
  const vidora::XtreamAccount account{"http://tv.example:8080", "user"};
  const vidora::M3uPlaylist playlist = vidora::XtreamPlaylist(account, categories, streams, true);
  for (const vidora::PlaylistEntry& entry : playlist.entries) {
    if (!vidora::ParseXtreamChannelAddress(entry.address)) std::abort();
  }
  return 0;
}
