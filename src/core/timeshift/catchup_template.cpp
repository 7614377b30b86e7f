#include "core/timeshift/catchup_template.h"

#include <ctime>
#include <optional>

namespace vidora {
namespace {

// A placeholder longer than this is no placeholder; the bound also keeps a
// hostile template from making the scan quadratic.
constexpr size_t kMaxPlaceholder = 64;

enum class TimeOf { kStart, kEnd, kNow };

struct Placeholder {
  std::string_view name;
  bool dollar;  // written "${name}"
};

std::tm LocalTime(int64_t seconds) {
  std::tm parts{};
  const std::time_t t = static_cast<std::time_t>(seconds);
  if (localtime_r(&t, &parts) == nullptr) parts = std::tm{};
  return parts;
}

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + (value / 10) % 10);
  out += static_cast<char>('0' + value % 10);
}

// One of Y m d H M S; false for any other letter.
bool AppendField(std::string& out, char field, const std::tm& parts) {
  switch (field) {
    case 'Y': out += std::to_string(parts.tm_year + 1900); return true;
    case 'm': AppendTwoDigits(out, parts.tm_mon + 1); return true;
    case 'd': AppendTwoDigits(out, parts.tm_mday); return true;
    case 'H': AppendTwoDigits(out, parts.tm_hour); return true;
    case 'M': AppendTwoDigits(out, parts.tm_min); return true;
    case 'S': AppendTwoDigits(out, parts.tm_sec); return true;
    default: return false;
  }
}

std::optional<TimeOf> EpochName(const Placeholder& p) {
  if (p.dollar) {
    if (p.name == "start") return TimeOf::kStart;
    if (p.name == "end") return TimeOf::kEnd;
    if (p.name == "now" || p.name == "timestamp") return TimeOf::kNow;
  } else {
    if (p.name == "utc") return TimeOf::kStart;
    if (p.name == "utcend") return TimeOf::kEnd;
    if (p.name == "lutc") return TimeOf::kNow;
  }
  return std::nullopt;
}

int64_t TimeValue(TimeOf which, const CatchupTimes& times) {
  switch (which) {
    case TimeOf::kStart: return times.start;
    case TimeOf::kEnd: return times.start + times.duration;
    case TimeOf::kNow: return times.now;
  }
  return 0;
}

// A positive divisor of at most nine digits.
std::optional<int64_t> Divisor(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value == 0) return std::nullopt;
  return value;
}

// The replacement for `{body}` / `${body}`, or none to keep it as written.
std::optional<std::string> Replacement(std::string_view body, bool dollar, const CatchupTimes& times) {
  const size_t colon = body.find(':');
  const Placeholder p{body.substr(0, colon), dollar};
  const std::optional<std::string_view> argument =
      colon == std::string_view::npos ? std::nullopt : std::optional<std::string_view>(body.substr(colon + 1));

  if (p.name == "duration" || p.name == "offset") {
    const int64_t seconds = p.name == "duration" ? times.duration : times.now - times.start;
    if (!argument) {
      // {offset} alone is not a placeholder; ${offset} and both durations are.
      if (p.name == "offset" && !dollar) return std::nullopt;
      return std::to_string(seconds);
    }
    const std::optional<int64_t> divisor = Divisor(*argument);
    if (!divisor) return std::nullopt;
    return std::to_string(seconds < 0 ? 0 : seconds / *divisor);
  }
  if (const std::optional<TimeOf> which = EpochName(p)) {
    const int64_t value = TimeValue(*which, times);
    if (!argument) return std::to_string(value);
    const std::tm parts = LocalTime(value);
    std::string out;
    for (char c : *argument) {
      if (!AppendField(out, c, parts)) out += c;
    }
    return out;
  }
  if (dollar || argument) return std::nullopt;
  if (p.name.size() == 1) {
    std::string out;
    if (AppendField(out, p.name[0], LocalTime(times.start))) return out;
    return std::nullopt;
  }
  if (p.name == "catchup-id" && !times.catchup_id.empty()) return times.catchup_id;
  return std::nullopt;
}

}  // namespace

std::string ExpandCatchupTemplate(std::string_view source, const CatchupTimes& times) {
  std::string out;
  out.reserve(source.size() + 32);
  size_t i = 0;
  while (i < source.size()) {
    const bool dollar = source[i] == '$' && i + 1 < source.size() && source[i + 1] == '{';
    if (source[i] != '{' && !dollar) {
      out += source[i++];
      continue;
    }
    const size_t open = dollar ? i + 1 : i;
    const size_t limit = std::min(source.size(), open + 1 + kMaxPlaceholder);
    size_t close = open + 1;
    while (close < limit && source[close] != '}' && source[close] != '{') ++close;
    if (close < limit && source[close] == '}') {
      if (std::optional<std::string> value = Replacement(source.substr(open + 1, close - open - 1), dollar, times)) {
        out += *value;
        i = close + 1;
        continue;
      }
    }
    // Not a placeholder of ours: copy one character; a "$" before a plain
    // placeholder ("${utc}") leaves the placeholder to the next turn.
    out += source[i++];
  }
  return out;
}

}  // namespace vidora
