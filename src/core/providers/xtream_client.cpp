#include "core/providers/xtream_client.h"

#include <algorithm>
#include <memory>

#include "core/document/text_codec.h"
#include "core/net/http_client.h"
#include "core/providers/account_status.h"
#include "core/providers/credential_store.h"

namespace vidora {
namespace {

constexpr char16_t kAgent[] = u"Vidora";

// The body of `address`, or none (no answer, too large, cancelled). The
// account answer is small; channel lists take the catalogue's bounds.
std::unique_ptr<MemoryStream> Get(const std::string& address, const std::atomic<bool>* cancel,
                                  HttpRequestKind kind = HttpRequestKind::kCatalogueFile) {
  return DownloadToMemory(kAgent, Utf8ToUtf16(address), cancel, kind);
}

std::string_view View(const MemoryStream& body) {
  return std::string_view(reinterpret_cast<const char*>(body.Data()), body.size());
}

}  // namespace

XtreamAccountAnswer CheckXtreamAccount(const XtreamAccount& account, const std::string& password, int64_t now,
                                       const std::atomic<bool>* cancel) {
  std::unique_ptr<MemoryStream> body = Get(XtreamApiAddress(account, password, {}), cancel, HttpRequestKind::kPage);
  if (!body) {
    XtreamAccountAnswer failed;
    failed.failure = XtreamFailure::kNoAnswer;
    return failed;
  }
  return ReadXtreamAccount(View(*body), now);
}

M3uPlaylist XtreamPlaylist(const XtreamAccount& account, const XtreamCategories& categories,
                           const XtreamStreams& streams, bool hls) {
  M3uPlaylist playlist;
  playlist.skipped_lines = streams.skipped;
  playlist.entries.reserve(streams.streams.size());
  playlist.guide_address = XtreamGuideSource(account);
  const char* extension = hls ? "m3u8" : "ts";
  for (const XtreamStream& stream : streams.streams) {
    PlaylistEntry entry;
    entry.name = stream.name;
    entry.address = XtreamChannelAddress(account, stream.id, extension);
    entry.tvg_id = stream.guide_id;
    entry.tvg_logo = stream.icon;
    const auto category = categories.names.find(stream.category_id);
    if (category != categories.names.end()) entry.group = category->second;
    entry.provider = kXtreamProviderName;
    if (stream.archive) {
      // The whole archive address as a template ("default"), so the guide
      // offers catch-up like it does for a playlist's; the days the server
      // names, else the usual default.
      auto catchup = std::make_shared<CatchupAttributes>();
      catchup->catchup = "default";
      catchup->source = XtreamArchiveTemplate(account, stream.id);
      if (stream.archive_days > 0) catchup->days = std::to_string(std::min<int64_t>(stream.archive_days, 365));
      entry.catchup = std::move(catchup);
    }
    playlist.entries.push_back(std::move(entry));
  }
  return playlist;
}

XtreamChannels FetchXtreamChannels(const XtreamAccount& account, const std::string& password, int64_t now,
                                   const std::atomic<bool>* cancel) {
  XtreamChannels result;
  XtreamAccountAnswer check = CheckXtreamAccount(account, password, now, cancel);
  result.info = check.info;
  if (check.failure != XtreamFailure::kNone) {
    result.failure = check.failure;
    return result;
  }
  XtreamCategories categories;
  // Channels without their categories are still channels.
  if (std::unique_ptr<MemoryStream> body = Get(XtreamApiAddress(account, password, "get_live_categories"), cancel)) {
    categories = ReadXtreamCategories(View(*body));
  }
  std::unique_ptr<MemoryStream> body = Get(XtreamApiAddress(account, password, "get_live_streams"), cancel);
  if (!body) {
    result.failure = XtreamFailure::kNoAnswer;
    return result;
  }
  XtreamStreams streams = ReadXtreamStreams(View(*body));
  body.reset();
  if (streams.failure != XtreamFailure::kNone) {
    result.failure = streams.failure;
    return result;
  }
  if (streams.streams.empty()) {
    result.failure = XtreamFailure::kNoChannels;
    return result;
  }
  result.playlist = XtreamPlaylist(account, categories, streams, check.info.PrefersHls());
  return result;
}

PlaylistImport ImportXtreamSource(std::u16string_view source, std::u16string name,
                                  const std::filesystem::path& folder, int64_t now,
                                  const std::atomic<bool>* cancel) {
  PlaylistImport failed;
  const std::optional<XtreamAccount> account = ParseXtreamSource(Utf16ToUtf8(source));
  if (!account) {
    failed.reason = XtreamFailureName(XtreamFailure::kWrongTypes);
    return failed;
  }
  const std::optional<std::string> password = Credentials().Find(*account);
  if (!password) {
    failed.reason = XtreamFailureName(XtreamFailure::kNoPassword);
    return failed;
  }
  XtreamChannels channels = FetchXtreamChannels(*account, *password, now, cancel);
  if (channels.failure == XtreamFailure::kNone || channels.failure == XtreamFailure::kExpired ||
      channels.failure == XtreamFailure::kDisabled) {
    RememberAccountInfo(Utf16ToUtf8(source), channels.info);
  }
  if (channels.failure != XtreamFailure::kNone) {
    failed.reason = XtreamFailureName(channels.failure);
    return failed;
  }
  if (name.empty()) name = Utf8ToUtf16(account->user + " @ " + account->server.substr(account->server.find("://") + 3));
  return StorePlaylist(channels.playlist, source, std::move(name), folder, now);
}

XtreamShortGuide FetchXtreamShortGuide(const XtreamAccount& account, const std::string& password, int64_t stream_id,
                                       const std::atomic<bool>* cancel) {
  const std::string action = "get_short_epg&stream_id=" + std::to_string(stream_id) + "&limit=" +
                             std::to_string(kMaxShortGuideProgrammes);
  std::unique_ptr<MemoryStream> body = Get(XtreamApiAddress(account, password, action), cancel, HttpRequestKind::kPage);
  if (!body) {
    XtreamShortGuide failed;
    failed.failure = XtreamFailure::kNoAnswer;
    return failed;
  }
  return ReadXtreamShortGuide(View(*body));
}

std::optional<std::string> ResolveXtreamGuideSource(std::string_view source, std::string* reason) {
  const std::optional<XtreamAccount> account = ParseXtreamGuideSource(source);
  const std::optional<std::string> password = account ? Credentials().Find(*account) : std::nullopt;
  if (!password) {
    if (reason != nullptr) *reason = XtreamFailureName(account ? XtreamFailure::kNoPassword : XtreamFailure::kWrongTypes);
    return std::nullopt;
  }
  return XtreamGuideAddress(*account, *password);
}

const char* XtreamFailureName(XtreamFailure failure) {
  switch (failure) {
    case XtreamFailure::kNone: return "";
    case XtreamFailure::kNoAnswer: return "no-answer";
    case XtreamFailure::kHtml: return "html";
    case XtreamFailure::kEmpty: return "empty";
    case XtreamFailure::kNotJson: return "not-json";
    case XtreamFailure::kWrongTypes: return "wrong-types";
    case XtreamFailure::kWrongCredentials: return "wrong-credentials";
    case XtreamFailure::kExpired: return "expired";
    case XtreamFailure::kDisabled: return "disabled";
    case XtreamFailure::kNoChannels: return "no-channels";
    case XtreamFailure::kNoPassword: return "no-password";
  }
  return "";
}

}  // namespace vidora
