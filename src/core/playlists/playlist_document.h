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
inline constexpr char kPlaylistCatchupAttr[] = "cu";   // String: header catch-up (EncodeCatchup)

// Channel node attributes beyond the catalogue's (Strings, UTF-8).
inline constexpr char kChannelLogoAttr[] = "logo";
inline constexpr char kChannelGuideIdAttr[] = "id";   // tvg-id
// tvg-name, only when it differs from the channel's name "n" (files
// written before it have none: the name then stands for it).
inline constexpr char kChannelGuideNameAttr[] = "tn";
inline constexpr char kChannelGroupAttr[] = "grp";    // group-title
inline constexpr char kChannelAgentAttr[] = "ua";
inline constexpr char kChannelReferrerAttr[] = "ref";
inline constexpr char kChannelCookieAttr[] = "ck";
inline constexpr char kChannelNumberAttr[] = "chno";  // tvg-chno
inline constexpr char kChannelCatchupAttr[] = "cu";   // EncodeCatchup
inline constexpr char kChannelPropertiesAttr[] = "kp";  // #KODIPROP lines, one a line
// Request headers of the further sources, one line each,
// "address<TAB>user agent<TAB>referrer<TAB>cookie" (EncodeSourceHeaders).
inline constexpr char kChannelSourceHeadersAttr[] = "sh";

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
// and name) and further address lines of one #EXTINF become further
// sources of the first one (at most kMaxSourcesPerChannel);
// a tvg-id shared by differently named entries falls back to the hash
// name. Any thread.
void EncodePlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin, std::string& out);
// The same bytes handed to `write` in pieces of about a megabyte, in
// order; stops and returns false as soon as `write` does. `counts` (may
// be null) gets what was written. Any thread.
struct PlaylistWriteCounts {
  size_t channels = 0;
  // Entries left out because their channel had kMaxSourcesPerChannel
  // sources already.
  size_t dropped_sources = 0;
};
bool WritePlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin,
                           const std::function<bool(std::string_view)>& write, PlaylistWriteCounts* counts = nullptr);

// The same document as a tree (EncodePlaylistDocument read back).
void BuildPlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin, DocNode& root);

// Catch-up attributes as stored: "key=value" lines with the playlist's
// own attribute names ("catchup-source=..."), only those set.
std::string EncodeCatchup(const CatchupAttributes& catchup);
CatchupAttributes DecodeCatchup(std::string_view stored);

// The request headers of one source of a playlist channel.
struct SourceHeaders {
  std::string_view user_agent;
  std::string_view referrer;
  std::string_view cookie;
};
// The headers stored for `address` in a kChannelSourceHeadersAttr text;
// false when it names none for that address (the channel's own apply).
bool FindSourceHeaders(std::string_view stored, std::string_view address, SourceHeaders& out);

// The playlist's country node in `root`, or nullptr when `root` is no
// playlist document (neither version, not exactly one country).
const DocNode* PlaylistCountryNode(const DocNode& root);

// Rewrites a stored playlist of kPlaylistOldVersion in the current form,
// replacing the file atomically; the channels stay as they were. False
// when it is no such file or cannot be written. Any thread.
bool RewritePlaylistDocument(const std::filesystem::path& file);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_DOCUMENT_H_
