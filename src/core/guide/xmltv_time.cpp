#include "core/guide/xmltv_time.h"

#include <array>
#include <chrono>
#include <cctype>
#include <string>
#include <utility>

namespace vidora {
namespace {

bool Digits(std::string_view text, size_t at, size_t count, int64_t& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

// Zone names seen in real guides, with their offsets in minutes.
constexpr std::array<std::pair<std::string_view, int>, 22> kZones = {{
    {"UTC", 0},    {"GMT", 0},     {"UT", 0},     {"Z", 0},      {"WET", 0},     {"WEST", 60},
    {"BST", 60},   {"CET", 60},    {"CEST", 120}, {"MET", 60},   {"MEST", 120},  {"EET", 120},
    {"EEST", 180}, {"MSK", 180},   {"EST", -300}, {"EDT", -240}, {"CST", -360},  {"CDT", -300},
    {"MST", -420}, {"MDT", -360},  {"PST", -480}, {"PDT", -420},
}};

}  // namespace

bool ParseXmltvTime(std::string_view text, int64_t& seconds) {
  int64_t y, mo, d, h = 0, mi = 0, s = 0;
  if (!Digits(text, 0, 4, y) || !Digits(text, 4, 2, mo) || !Digits(text, 6, 2, d)) return false;
  size_t at = 8;
  if (Digits(text, 8, 2, h) && Digits(text, 10, 2, mi)) {
    at = 12;
    if (Digits(text, 12, 2, s)) at = 14;
  } else {
    h = 0;
  }
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60) return false;
  int64_t offset_minutes = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    int64_t oh, om;
    if (!Digits(text, at + 1, 2, oh) || !Digits(text, at + 3, 2, om) || oh > 14 || om > 59) return false;
    offset_minutes = (oh * 60 + om) * (text[at] == '-' ? -1 : 1);
  } else if (at < text.size()) {
    size_t end = at;
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
    std::string name(text.substr(at, end - at));
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const auto& [zone, minutes] : kZones) {
      if (zone == name) offset_minutes = minutes;
    }
  }
  // A day past the month's end (31 April) runs on into the next month, as
  // the calendar types count it for a valid year and month.
  const std::chrono::year_month_day date{std::chrono::year{static_cast<int>(y)},
                                         std::chrono::month{static_cast<unsigned>(mo)},
                                         std::chrono::day{static_cast<unsigned>(d)}};
  const int64_t days = std::chrono::sys_days{date}.time_since_epoch().count();
  seconds = days * 86400 + h * 3600 + mi * 60 + s - offset_minutes * 60;
  return true;
}

}  // namespace vidora
