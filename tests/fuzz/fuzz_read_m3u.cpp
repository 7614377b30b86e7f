// Feeds arbitrary bytes to the playlist reader and the catalogue
// conversion; every entry must come out with an address, a bounded
// name and no request headers left in its address (a '|' with no
// "name=value" after it is part of the address).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/document/doc_node.h"
#include "core/playlists/m3u_reader.h"
#include "core/playlists/playlist_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vidora::M3uPlaylist playlist = vidora::ReadM3u(text, "http://lists.example/a/b.m3u");
  for (const vidora::PlaylistEntry& entry : playlist.entries) {
    const size_t pipe = entry.address.find('|');
    if (entry.address.empty() || entry.name.size() > vidora::kMaxEntryNameBytes ||
        (pipe != std::string::npos && entry.address.find('=', pipe) != std::string::npos)) {
      std::abort();
    }
  }
  (void)vidora::ClassifyPlaylistText(text);
  (void)vidora::WebPageTitle(text);
  vidora::PlaylistOrigin origin{"pl00000000", u"fuzz", u"http://lists.example/a/b.m3u", 0};
  vidora::DocNode root;
  vidora::BuildPlaylistDocument(playlist, origin, root);
  if (vidora::PlaylistCountryNode(root) == nullptr) std::abort();
  return 0;
}
