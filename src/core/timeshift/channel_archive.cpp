#include "core/timeshift/channel_archive.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>
#include <optional>
#include <vector>

namespace vidora {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

const std::string& Either(const std::string& first, const std::string& second) {
  return first.empty() ? second : first;
}

// A whole number of days; none for anything else or a count of none.
std::optional<int> Days(const std::string& text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value <= 0) return std::nullopt;
  return value;
}

// Hours as written ("3", "-1.5"), in seconds; 0 for anything unreadable.
int HoursInSeconds(const std::string& text) {
  if (text.empty() || text.size() > 16) return 0;
  // std::from_chars, unlike strtod, ignores the locale: "1.5" is an hour
  // and a half under a German or French locale too.
  std::string_view digits = text;
  while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t')) digits.remove_prefix(1);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double hours = 0;
  const std::from_chars_result read = std::from_chars(digits.data(), digits.data() + digits.size(), hours);
  if (read.ec != std::errc() || !std::isfinite(hours) || std::fabs(hours) > 48) return 0;
  return static_cast<int>(std::lround(hours * 3600.0));
}

struct ModeName {
  CatchupMode mode = CatchupMode::kNone;
  bool ts_stream = false;
};

ModeName ParseMode(std::string_view name) {
  if (EqualsNoCase(name, "default")) return {CatchupMode::kDefault};
  if (EqualsNoCase(name, "append")) return {CatchupMode::kAppend};
  // "timeshift" is the older name of "shift".
  if (EqualsNoCase(name, "shift") || EqualsNoCase(name, "timeshift")) return {CatchupMode::kShift};
  if (EqualsNoCase(name, "flussonic") || EqualsNoCase(name, "flussonic-hls")) return {CatchupMode::kFlussonic};
  if (EqualsNoCase(name, "flussonic-ts") || EqualsNoCase(name, "fs")) return {CatchupMode::kFlussonic, true};
  if (EqualsNoCase(name, "xc")) return {CatchupMode::kXtream};
  if (EqualsNoCase(name, "vod")) return {CatchupMode::kVod};
  return {};
}

// An http(s) address taken apart: "scheme://host", the path segments
// after the host and the query with its "?".
struct AddressParts {
  std::string_view origin;
  std::vector<std::string_view> segments;
  std::string_view query;
};

std::optional<AddressParts> Split(std::string_view address) {
  size_t scheme_end = 0;
  if (address.substr(0, 7) == "http://") scheme_end = 7;
  else if (address.substr(0, 8) == "https://") scheme_end = 8;
  else return std::nullopt;
  const size_t slash = address.find('/', scheme_end);
  if (slash == std::string_view::npos || slash == scheme_end) return std::nullopt;
  AddressParts parts;
  parts.origin = address.substr(0, slash);
  std::string_view path = address.substr(slash + 1);
  const size_t question = path.find('?');
  if (question != std::string_view::npos) {
    parts.query = path.substr(question);
    path = path.substr(0, question);
  }
  size_t from = 0;
  while (true) {
    const size_t next = path.find('/', from);
    parts.segments.push_back(path.substr(from, next == std::string_view::npos ? std::string_view::npos : next - from));
    if (next == std::string_view::npos) break;
    from = next + 1;
  }
  return parts;
}

// Flussonic servers take "?token=..." style queries only: a name, "=" and
// a value.
bool UsableQuery(std::string_view query) {
  if (query.empty()) return true;
  const size_t equals = query.find('=', 2);
  return equals != std::string_view::npos && equals + 1 < query.size();
}

std::string Join(const std::vector<std::string_view>& segments, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += '/';
    out += segments[i];
  }
  return out;
}

// live: http://host/325/mpegts?token=t    archive: http://host/325/timeshift_abs-${start}.ts?token=t
// live: http://host/325/index.m3u8?t=1    archive: http://host/325/timeshift_rel-{offset:1}.m3u8?t=1
// live: http://host/325/mono.m3u8         archive: http://host/325/mono-timeshift_rel-{offset:1}.m3u8
// live: http://host/325/anything          archive: by the mode's name, TS or HLS as above
bool FlussonicSource(std::string_view live, ChannelArchive& archive) {
  const std::optional<AddressParts> parts = Split(live);
  if (!parts || parts->segments.size() < 2 || !UsableQuery(parts->query)) return false;
  const std::string channel = Join(parts->segments, parts->segments.size() - 1);
  const std::string_view last = parts->segments.back();
  const std::string base = std::string(parts->origin) + "/" + channel + "/";
  const std::string query(parts->query);
  if (EndsWith(last, "mpegts")) {
    archive.ts_stream = true;
  } else if (EndsWith(last, ".m3u8")) {
    archive.ts_stream = false;
    const std::string_view list = last.substr(0, last.size() - 5);
    archive.source = base + (list == "index" ? "" : std::string(list) + "-") + "timeshift_rel-{offset:1}.m3u8" + query;
    return true;
  }
  archive.source = base + (archive.ts_stream ? "timeshift_abs-${start}.ts" : "timeshift_rel-{offset:1}.m3u8") + query;
  return true;
}

// live: http://host/[live/]user/password/1477[.m3u8|.ts]
// archive: http://host/timeshift/user/password/{duration:60}/{Y}-{m}-{d}:{H}-{M}/1477.ts (or .m3u8)
bool XtreamSource(std::string_view live, ChannelArchive& archive) {
  std::optional<AddressParts> parts = Split(live);
  if (!parts || !parts->query.empty()) return false;
  std::vector<std::string_view>& s = parts->segments;
  if (s.size() == 4 && s[0] == "live") s.erase(s.begin());
  if (s.size() != 3 || s[0].empty() || s[1].empty() || s[2].empty()) return false;
  const size_t dot = s[2].find('.');
  const std::string_view id = s[2].substr(0, dot);
  std::string extension(dot == std::string_view::npos ? std::string_view() : s[2].substr(dot));
  if (id.empty()) return false;
  if (extension.empty()) extension = ".ts";
  if (extension != ".ts" && extension != ".m3u8" && extension != ".m3u") return false;
  archive.ts_stream = extension == ".ts";
  archive.source = std::string(parts->origin) + "/timeshift/" + std::string(s[0]) + "/" + std::string(s[1]) +
                   "/{duration:60}/{Y}-{m}-{d}:{H}-{M}/" + std::string(id) + extension;
  return true;
}

}  // namespace

ChannelArchive ReadChannelArchive(const CatchupAttributes& entry, const CatchupAttributes& header,
                                  std::string_view live_address) {
  ChannelArchive archive;
  const ModeName named = ParseMode(Either(Either(entry.catchup, entry.catchup_type), Either(header.catchup, header.catchup_type)));
  archive.mode = named.mode;
  archive.ts_stream = named.ts_stream;
  const std::string& source = Either(entry.source, header.source);
  // The older attributes name the days of a "shift" archive.
  const std::optional<int> legacy_days = entry.timeshift.empty() ? Days(entry.tvg_rec) : Days(entry.timeshift);
  if (archive.mode == CatchupMode::kNone && legacy_days) archive.mode = CatchupMode::kShift;

  bool built = false;
  switch (archive.mode) {
    case CatchupMode::kNone:
      break;
    case CatchupMode::kDefault:
      archive.source = source;
      built = !source.empty();
      break;
    case CatchupMode::kAppend:
      archive.source = std::string(live_address) + source;
      built = !source.empty();
      break;
    case CatchupMode::kShift:
      archive.source = std::string(live_address) +
                       (live_address.find('?') == std::string_view::npos ? "?" : "&") + "utc={utc}&lutc={lutc}";
      built = true;
      break;
    case CatchupMode::kFlussonic:
      built = FlussonicSource(live_address, archive);
      break;
    case CatchupMode::kXtream:
      built = XtreamSource(live_address, archive);
      break;
    case CatchupMode::kVod:
      archive.source = source.empty() ? "{catchup-id}" : source;
      built = true;
      break;
  }
  if (!built) return ChannelArchive{};

  if (const std::optional<int> days = Days(Either(entry.days, header.days))) {
    archive.days = *days;
  } else if (archive.mode == CatchupMode::kVod) {
    archive.days = 0;
  } else {
    archive.days = legacy_days.value_or(kDefaultCatchupDays);
  }
  archive.shift_seconds = HoursInSeconds(Either(entry.tvg_shift, header.tvg_shift)) +
                          HoursInSeconds(Either(entry.correction, header.correction));
  return archive;
}

int GuideShiftSeconds(const CatchupAttributes& entry, const CatchupAttributes& header) {
  return HoursInSeconds(Either(entry.tvg_shift, header.tvg_shift));
}

}  // namespace vidora
