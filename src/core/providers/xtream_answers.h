#ifndef VIDORA_CORE_PROVIDERS_XTREAM_ANSWERS_H_
#define VIDORA_CORE_PROVIDERS_XTREAM_ANSWERS_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

// Why an account or its channels cannot be used; each has a sentence of
// its own in the UI (XtreamFailureText).
enum class XtreamFailure {
  kNone,
  kNoAnswer,          // unreachable, refused, too slow or too large
  kHtml,              // a web page instead of the API's answer
  kEmpty,             // an empty body
  kNotJson,           // neither JSON nor a page, or nested too deep
  kWrongTypes,        // JSON, but not of the API's shape
  kWrongCredentials,  // "auth": 0
  kExpired,           // status "Expired" or an expiry in the past
  kDisabled,          // status "Disabled" or "Banned"
  kNoChannels,        // the account lists no live stream
  kNoPassword,        // the password is in no store (was never saved)
};

// What player_api.php without an action tells of the account.
struct XtreamAccountInfo {
  std::string status;          // "Active", "Expired", …
  int64_t expires_at = 0;      // seconds since 1970; 0: never
  int64_t max_connections = 0;
  int64_t active_connections = 0;
  bool trial = false;
  // allowed_output_formats; empty when the server does not say.
  std::vector<std::string> formats;
  // Whether live streams are asked for as HLS: m3u8 is allowed, or the
  // server names no formats at all.
  bool PrefersHls() const;
};

struct XtreamAccountAnswer {
  XtreamFailure failure = XtreamFailure::kNone;
  XtreamAccountInfo info;
};

// Reads the account answer; `now` (seconds since 1970) tells an expiry in
// the past. Any thread.
XtreamAccountAnswer ReadXtreamAccount(std::string_view body, int64_t now);

// get_live_categories: category id -> name. Rows that are no object or
// lack an id are skipped; a body that is no list fails.
struct XtreamCategories {
  XtreamFailure failure = XtreamFailure::kNone;
  std::map<std::string, std::string, std::less<>> names;
};
XtreamCategories ReadXtreamCategories(std::string_view body);

// One row of get_live_streams.
struct XtreamStream {
  int64_t id = 0;
  std::string name;
  std::string icon;           // stream_icon
  std::string guide_id;       // epg_channel_id
  std::string category_id;
  bool archive = false;       // tv_archive
  int64_t archive_days = 0;   // tv_archive_duration
};

struct XtreamStreams {
  XtreamFailure failure = XtreamFailure::kNone;
  std::vector<XtreamStream> streams;
  size_t skipped = 0;  // rows without a usable id or name
};
XtreamStreams ReadXtreamStreams(std::string_view body);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_XTREAM_ANSWERS_H_
