#ifndef VIDORA_CORE_PROVIDERS_XTREAM_ANSWERS_H_
#define VIDORA_CORE_PROVIDERS_XTREAM_ANSWERS_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/providers/bounded_json.h"

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

// Reads a list answer row by row (ForEachJsonRow): kNone, or why the
// answer is no list; rows already handed over before a failure must be
// dropped by the caller. Any thread.
XtreamFailure ReadXtreamRows(std::string_view body, const std::function<void(const nlohmann::json& row)>& row);
// The failure of an answer that is no JSON.
XtreamFailure FailureOf(JsonFailure failure);

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

// One programme of get_short_epg, its texts decoded from Base64 (a text
// that is no Base64 is taken as it stands) with control characters made
// blanks. Times are seconds since 1970, start < stop.
struct XtreamProgramme {
  int64_t start = 0;
  int64_t stop = 0;
  std::string title;
  std::string description;
};

// At most this many programmes are taken from one answer.
inline constexpr size_t kMaxShortGuideProgrammes = 64;

// get_short_epg: {"epg_listings":[{"title":"<base64>","description":…,
// "start_timestamp":"…","stop_timestamp":"…"},…]}, in start order. Rows
// without times or a title are skipped; an answer without the list fails
// (kWrongTypes). Any thread.
struct XtreamShortGuide {
  XtreamFailure failure = XtreamFailure::kNone;
  std::vector<XtreamProgramme> programmes;
};
XtreamShortGuide ReadXtreamShortGuide(std::string_view body);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_XTREAM_ANSWERS_H_
