#ifndef VIDORA_CORE_PLAYLISTS_PLAYLIST_DOCUMENT_H_
#define VIDORA_CORE_PLAYLISTS_PLAYLIST_DOCUMENT_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/document/doc_node.h"
#include "core/playlists/m3u_reader.h"

namespace vidora {

// An imported playlist is stored as a catalogue file: the root (named
// kPlaylistVersion) holds one country node, named by the playlist's key,
// with one channel node per channel in the catalogue's own names ("n",
// "c", "r", sources "0", "1", ... with "u"). The catalogue loader reads it
// like any catalogue; the extra attributes below (which it ignores) keep
// what the playlist adds, and new ones may be added beside them. The
// channels' texts are Strings in UTF-8 (the loader takes them for its
// WideStrings), which keeps the file smaller than the playlist's text.
inline constexpr char kPlaylistVersion[] = "playlist2";
// Files written before hold the channels' texts as WideStrings, and "p"
// and "b" besides; they are still read, and rewritten in the current form
// (RewritePlaylistDocument).
inline constexpr char kPlaylistOldVersion[] = "playlist";

// Country node attributes.
inline constexpr char kPlaylistNameAttr[] = "n";      // WideString: shown name
inline constexpr char kPlaylistSourceAttr[] = "src";  // WideString: file or address
inline constexpr char kPlaylistGuideAttr[] = "tvg";   // WideString: url-tvg
inline constexpr char kPlaylistTimeAttr[] = "t";      // String: fetch time, seconds since 1970
inline constexpr char kPlaylistSkippedAttr[] = "skip";  // Int: lines skipped

// Channel node attributes beyond the catalogue's (Strings, UTF-8).
inline constexpr char kChannelLogoAttr[] = "logo";
inline constexpr char kChannelGuideIdAttr[] = "id";   // tvg-id
inline constexpr char kChannelGroupAttr[] = "grp";    // group-title
inline constexpr char kChannelAgentAttr[] = "ua";
inline constexpr char kChannelReferrerAttr[] = "ref";

// What an import knows besides the entries.
struct PlaylistOrigin {
  std::string key;           // the country key (PlaylistKey of the source)
  std::u16string name;       // shown in the country combo
  std::u16string source;     // file path or address it came from
  int64_t fetched_at = 0;    // seconds since 1970
};

// The stable country key of a playlist from its source ("pl" and 8 hex
// digits): the same file or address always gives the same key, so the
// user's favourites find their channels again.
std::string PlaylistKey(std::u16string_view source);

// Whether `key` has the form PlaylistKey gives.
bool IsPlaylistKey(std::string_view key);

// The channel's node name, stable across refreshes: "i" + tvg-id when it
// has one (short enough), else "h" + a hash of name and address.
std::string ChannelNodeName(const PlaylistEntry& entry);

// A name for a playlist from its source: the file name without extension.
std::u16string PlaylistNameFromSource(std::u16string_view source);

// The catalogue file's bytes for `playlist`, written straight in the
// document format (no tree is built: a large playlist converts in a
// fraction of the time). Entries that repeat a channel (same node name
// and name) become further sources of the first one; a tvg-id shared by
// differently named entries falls back to the hash name. Any thread.
void EncodePlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin, std::string& out);
// The same bytes handed to `write` in pieces of about a megabyte, in
// order; stops and returns false as soon as `write` does. Any thread.
bool WritePlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin,
                           const std::function<bool(std::string_view)>& write);

// The same document as a tree (EncodePlaylistDocument read back).
void BuildPlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin, DocNode& root);

// The playlist's country node in `root`, or nullptr when `root` is no
// playlist document (neither version, not exactly one country).
const DocNode* PlaylistCountryNode(const DocNode& root);

// Rewrites a stored playlist of kPlaylistOldVersion in the current form,
// replacing the file atomically; the channels stay as they were. False
// when it is no such file or cannot be written. Any thread.
bool RewritePlaylistDocument(const std::filesystem::path& file);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_DOCUMENT_H_
