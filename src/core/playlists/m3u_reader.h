#ifndef VIDORA_CORE_PLAYLISTS_M3U_READER_H_
#define VIDORA_CORE_PLAYLISTS_M3U_READER_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/timeshift/catchup_attributes.h"

namespace vidora {

// Bounds of what one entry may hold; longer texts are cut (at a UTF-8
// character boundary) and counted, so that a hostile playlist cannot make
// every later step slow.
inline constexpr size_t kMaxEntryNameBytes = 512;       // name, tvg-name, group
inline constexpr size_t kMaxEntryAttributeBytes = 4096;  // other attributes, headers
inline constexpr size_t kMaxEntryAddressBytes = 8192;   // longer: the entry is left out
inline constexpr size_t kMaxSourcesPerChannel = 64;     // further entries of a channel are left out
                                                        // (when stored: playlist_document.h)
inline constexpr size_t kMaxPropertiesPerEntry = 16;    // #KODIPROP lines kept


// One entry of an Extended M3U playlist: one source of a channel. Texts are
// UTF-8 as read.
struct PlaylistEntry {
  std::string name;       // the text after the #EXTINF comma, else tvg-name,
                          // else the address's last path segment
  std::string address;    // absolute (resolved against the playlist's
                          // address), without the "|Header=..." part
  std::string tvg_id;
  std::string tvg_name;   // for finding the channel's guide
  std::string tvg_logo;   // absolute, or empty
  std::string tvg_country;
  std::string tvg_language;
  std::string channel_number;  // tvg-chno, as written
  std::string group;      // group-title, else #EXTGRP
  // Request headers of this source: from the address's "|User-Agent=...&
  // Referer=..." part, the user-agent/referrer attributes, #EXTHTTP and
  // #EXTVLCOPT (the later of these wins).
  std::string user_agent;
  std::string referrer;
  std::string cookie;
  // The entry's own catch-up attributes; null when it has none (the
  // header's, M3uPlaylist::catchup, then apply).
  std::shared_ptr<const CatchupAttributes> catchup;
  // #KODIPROP lines ("key=value") of the entry, kept as read; nothing acts
  // on them.
  std::vector<std::string> properties;
  bool radio = false;     // radio="true" or an audio-only address
  // A further address line after the same #EXTINF: another source of the
  // previous entry's channel.
  bool continues_previous = false;
  std::string provider;   // stream address provider (empty: play the address)
};

struct M3uPlaylist {
  // url-tvg and x-tvg-url of the #EXTM3U header: one or more programme
  // guide addresses, comma-separated, as written (both joined by a comma
  // when both are given).
  std::string guide_address;
  // x-name / name of the #EXTM3U header, else the first #PLAYLIST line's
  // title, or empty.
  std::string name;
  // Catch-up attributes of the #EXTM3U header (defaults for every entry);
  // its tvg-shift also from x-tvg-shift.
  CatchupAttributes catchup;
  std::vector<PlaylistEntry> entries;
  // Lines that could not be used: an #EXTINF without its address, an
  // address line that is no address or cannot be resolved, separator
  // lines ("=====Sudan=====").
  size_t skipped_lines = 0;
  // Entries with a text cut to the bounds above, and entries left out
  // because their address was too long.
  size_t shortened_entries = 0;
  size_t dropped_entries = 0;
};

// Reads an Extended M3U / M3U8 playlist (UTF-8 with or without a byte
// order mark, LF or CRLF; a plain list of addresses works too).
// `base_address` is where the playlist came from (URL or file path) and
// resolves relative addresses. Never fails: what cannot be read is
// skipped and counted. Any thread.
M3uPlaylist ReadM3u(std::string_view text, std::string_view base_address);

// What a fetched or opened text is, judged by its content (never by the
// file name).
enum class PlaylistTextKind {
  kPlaylist,  // a channel list
  kStream,    // an HLS master or media playlist: a stream to play
  kWebPage,   // an HTML page (an error page, a login page)
  kEmpty,     // nothing but white space
  kBinary,    // not text
};
PlaylistTextKind ClassifyPlaylistText(std::string_view text);

// The title of an HTML page (for a message), cut to 80 bytes, or empty.
std::string WebPageTitle(std::string_view html);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_M3U_READER_H_
