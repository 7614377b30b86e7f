#ifndef VIDORA_CORE_PLAYLISTS_M3U_READER_H_
#define VIDORA_CORE_PLAYLISTS_M3U_READER_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

// One channel of an Extended M3U playlist. Texts are UTF-8 as read.
struct PlaylistEntry {
  std::string name;       // the text after the #EXTINF comma, else tvg-name,
                          // else the address's last path segment
  std::string address;    // absolute (resolved against the playlist's address)
  std::string tvg_id;
  std::string tvg_name;
  std::string tvg_logo;   // absolute, or empty
  std::string tvg_country;
  std::string tvg_language;
  std::string group;      // group-title, else #EXTGRP
  std::string user_agent; // #EXTVLCOPT:http-user-agent=
  std::string referrer;   // #EXTVLCOPT:http-referrer= (or http-referer=)
  bool radio = false;     // radio="true" or an audio-only address
  std::string provider;   // stream address provider (empty: play the address)
};

struct M3uPlaylist {
  // url-tvg / x-tvg-url of the #EXTM3U header: one or more programme
  // guide addresses, comma-separated, as written.
  std::string guide_address;
  std::vector<PlaylistEntry> entries;
  // Lines that could not be used: an #EXTINF without its address, an
  // address line that is no address or cannot be resolved.
  size_t skipped_lines = 0;
};

// Reads an Extended M3U / M3U8 playlist (UTF-8 with or without a byte
// order mark, LF or CRLF; a plain list of addresses works too).
// `base_address` is where the playlist came from (URL or file path) and
// resolves relative addresses. Never fails: what cannot be read is
// skipped and counted. Any thread.
M3uPlaylist ReadM3u(std::string_view text, std::string_view base_address);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_M3U_READER_H_
