#include "core/health/source_probe.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>

#include "core/net/curl_transfer.h"
#include "core/playlists/m3u_reader.h"
#include "core/recording/hls_playlist.h"

namespace vidora {
namespace {

using Clock = std::chrono::steady_clock;

// A master playlist may point at another master playlist; real ones never
// nest deeper than this.
constexpr int kMaxPlaylistHops = 3;

enum class FetchMode {
  kSource,   // the source itself: a stream or an HLS playlist
  kPlaylist, // a variant playlist named by a master playlist
  kSegment,  // an HLS segment: only its first bytes matter
};

struct Fetched {
  HttpGetResult result;
  std::string body;        // kept only while it may be a playlist
  size_t received = 0;
  bool playlist = false;   // the body began as an HLS playlist
  bool page = false;       // the body began as markup (an error or login page)
  bool enough = false;     // kProbeStreamBytes of a stream arrived
};

std::string_view SkipBlanks(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  return text;
}

// No stream format starts with "<" and a letter or "!": a page of markup.
bool StartsAsPage(std::string_view text) {
  text = SkipBlanks(text);
  return text.size() >= 2 && text[0] == '<' && (std::isalpha(static_cast<unsigned char>(text[1])) || text[1] == '!');
}

bool StartsAsPlaylist(std::string_view text) { return SkipBlanks(text).substr(0, 7) == "#EXTM3U"; }

Fetched Fetch(const ProbeRequest& request, const std::string& url, FetchMode mode, Clock::time_point deadline) {
  Fetched fetched;
  HttpGetRequest get;
  get.url = url;
  if (!request.user_agent.empty()) get.header_lines.push_back("User-Agent: " + request.user_agent);
  if (!request.referrer.empty()) get.header_lines.push_back("Referer: " + request.referrer);
  if (!request.cookie.empty()) get.header_lines.push_back("Cookie: " + request.cookie);
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  get.timeout_ms = std::max<long>(1, static_cast<long>(left));
  get.max_body_bytes = UINT32_MAX;
  get.cancel = request.cancel;
  bool decided = mode == FetchMode::kSegment;
  fetched.playlist = mode == FetchMode::kPlaylist;
  get.sink = [&](const char* data, size_t size) {
    fetched.received += size;
    // The start of the body decides what it is; a stream's bytes are
    // counted, never kept beyond that.
    if (!decided || fetched.playlist) {
      const size_t room = kProbePlaylistBytes - std::min(kProbePlaylistBytes, fetched.body.size());
      fetched.body.append(data, std::min(size, room));
    }
    if (!decided && (fetched.body.size() >= 16 || fetched.body.find('\n') != std::string::npos)) {
      decided = true;
      fetched.playlist = StartsAsPlaylist(fetched.body);
      fetched.page = StartsAsPage(fetched.body);
      if (fetched.page) return false;
    }
    if (fetched.playlist) return fetched.body.size() < kProbePlaylistBytes;
    if (decided && fetched.received >= kProbeStreamBytes) {
      fetched.enough = true;
      return false;
    }
    return true;
  };
  fetched.result = PerformGet(get);
  if (!decided) fetched.playlist = mode != FetchMode::kSegment && StartsAsPlaylist(fetched.body);
  return fetched;
}

bool Cancelled(const ProbeRequest& request) { return request.cancel != nullptr && request.cancel->load(); }

SourceCheck Dead(DeadReason reason, int status = 0) {
  SourceCheck check;
  check.state = SourceState::kDead;
  check.reason = reason;
  check.http_status = status;
  return check;
}

SourceCheck Live() {
  SourceCheck check;
  check.state = SourceState::kLive;
  return check;
}

// Judges a fetch that is no (complete) playlist; nullopt when it is one to
// be read.
std::optional<SourceCheck> Judge(const ProbeRequest& request, const Fetched& fetched, FetchMode mode) {
  if (Cancelled(request)) return SourceCheck{};
  const HttpGetResult& result = fetched.result;
  if (result.status >= 300 || (result.answered && result.status < 200 && result.status != 0)) {
    return Dead(DeadReason::kHttpStatus, static_cast<int>(result.status));
  }
  if (fetched.page) return Dead(DeadReason::kWebPage);
  if (fetched.enough) return Live();
  const bool ended = result.error == CURLE_OK || (fetched.playlist && fetched.body.size() >= kProbePlaylistBytes);
  if (!ended) {
    switch (result.error) {
      case CURLE_COULDNT_RESOLVE_HOST:
      case CURLE_COULDNT_RESOLVE_PROXY:
        return Dead(DeadReason::kNoHost);
      case CURLE_COULDNT_CONNECT:
        return Dead(DeadReason::kRefused);
      case CURLE_OPERATION_TIMEDOUT:
        return Dead(fetched.received > 0 ? DeadReason::kTooSlow : DeadReason::kNoAnswer);
      default:
        return Dead(DeadReason::kFailed);
    }
  }
  if (fetched.received == 0) return Dead(DeadReason::kEmpty);
  if (fetched.playlist) return std::nullopt;
  // A short answer that ended: a small file plays; a page does not.
  const PlaylistTextKind kind = ClassifyPlaylistText(fetched.body);
  if (kind == PlaylistTextKind::kWebPage) return Dead(DeadReason::kWebPage);
  if (mode != FetchMode::kSegment && kind != PlaylistTextKind::kBinary) return Dead(DeadReason::kWebPage);
  return Live();
}

}  // namespace

SourceCheck ProbeSource(const ProbeRequest& request) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(request.budget_ms);
  std::string url = request.url;
  FetchMode mode = FetchMode::kSource;
  for (int hop = 0; hop <= kMaxPlaylistHops; ++hop) {
    Fetched fetched = Fetch(request, url, mode, deadline);
    if (std::optional<SourceCheck> judged = Judge(request, fetched, mode)) return *judged;
    const std::string& base = fetched.result.final_url.empty() ? url : fetched.result.final_url;
    const HlsPlaylist playlist = ReadHlsPlaylist(fetched.body, base);
    if (!playlist.segments.empty()) {
      const Fetched segment = Fetch(request, playlist.segments.front().address, FetchMode::kSegment, deadline);
      const std::optional<SourceCheck> judged = Judge(request, segment, FetchMode::kSegment);
      if (!judged || judged->state != SourceState::kDead) return judged.value_or(Live());
      return Dead(DeadReason::kSegmentFailed, judged->http_status);
    }
    if (playlist.variants.empty()) return Dead(DeadReason::kNoSegment);
    url = playlist.variants.front();
    mode = FetchMode::kPlaylist;
  }
  return Dead(DeadReason::kNoSegment);
}

std::string ProbeHostOf(std::string_view url) {
  const size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return std::string();
  std::string_view authority = url.substr(scheme + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  const size_t at = authority.rfind('@');
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);
  std::string_view host;
  if (!authority.empty() && authority.front() == '[') {
    host = authority.substr(1, authority.find(']') == std::string_view::npos ? std::string_view::npos
                                                                             : authority.find(']') - 1);
  } else {
    host = authority.substr(0, authority.find(':'));
  }
  std::string lower(host);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

}  // namespace vidora
