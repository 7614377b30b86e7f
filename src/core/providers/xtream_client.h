#ifndef VIDORA_CORE_PROVIDERS_XTREAM_CLIENT_H_
#define VIDORA_CORE_PROVIDERS_XTREAM_CLIENT_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/playlists/m3u_reader.h"
#include "core/playlists/playlist_import.h"
#include "core/providers/xtream_address.h"
#include "core/providers/xtream_answers.h"

namespace vidora {

// The stream provider name of provider channels (their "g" attribute).
inline constexpr char kXtreamProviderName[] = "xtream";

// Asks player_api.php (no action) about the account. Blocking, any
// thread; `cancel` may be null. `now`: seconds since 1970.
XtreamAccountAnswer CheckXtreamAccount(const XtreamAccount& account, const std::string& password, int64_t now,
                                       const std::atomic<bool>* cancel);

// The account's live channels as playlist entries: the account check
// (for the allowed formats), get_live_categories and get_live_streams.
// Each entry's address is an XtreamChannelAddress (no password), its
// group the category's name, its provider kXtreamProviderName; a stream
// with an archive (tv_archive) carries it as catch-up attributes with an
// XtreamArchiveTemplate, and the playlist's guide is the account's
// XtreamGuideSource.
struct XtreamChannels {
  XtreamFailure failure = XtreamFailure::kNone;
  XtreamAccountInfo info;
  M3uPlaylist playlist;
};
XtreamChannels FetchXtreamChannels(const XtreamAccount& account, const std::string& password, int64_t now,
                                   const std::atomic<bool>* cancel);

// Entries for `streams` (used by FetchXtreamChannels; any thread).
M3uPlaylist XtreamPlaylist(const XtreamAccount& account, const XtreamCategories& categories,
                           const XtreamStreams& streams, bool hls);

// The playlist importer for "xtream:" sources (see SetSchemeImporter):
// reads the password from Credentials(), fetches the channels and stores
// them like an imported playlist. A failure keeps the stored copy; its
// reason is the failure's name (XtreamFailureName).
PlaylistImport ImportXtreamSource(std::u16string_view source, std::u16string name,
                                  const std::filesystem::path& folder, int64_t now,
                                  const std::atomic<bool>* cancel);

// get_short_epg for one live stream: the next programmes of the channel,
// for when the guide has nothing for it. Blocking, any thread; `cancel`
// may be null.
XtreamShortGuide FetchXtreamShortGuide(const XtreamAccount& account, const std::string& password, int64_t stream_id,
                                       const std::atomic<bool>* cancel);

// The GuideAddressResolver of XtreamGuideSource sources (see
// SetGuideAddressResolver): the account's xmltv.php with the password from
// Credentials(). Any thread.
std::optional<std::string> ResolveXtreamGuideSource(std::string_view source, std::string* reason);

// A stable English name of `failure` ("wrong-credentials", …), used as
// the reason of a failed import; the UI turns it into a sentence.
const char* XtreamFailureName(XtreamFailure failure);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_XTREAM_CLIENT_H_
