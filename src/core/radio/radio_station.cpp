#include "core/radio/radio_station.h"

#include "core/providers/bounded_json.h"

namespace vidora {
namespace {

constexpr size_t kMaxTextBytes = 256;
constexpr size_t kMaxAddressBytes = 2048;

bool IsHttpAddress(std::string_view address) {
  return address.starts_with("http://") || address.starts_with("https://");
}

// The length of the UTF-8 sequence starting with `lead`, 0 when it is none.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool IsHiddenCodePoint(uint32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string CleanDisplayText(std::string_view text, size_t max_bytes) {
  std::string out;
  out.reserve(std::min(text.size(), max_bytes));
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = SequenceLength(lead);
    if (length == 0 || i + length > text.size()) {
      ++i;  // a broken sequence is dropped
      continue;
    }
    uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
    bool valid = true;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = valid && (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (valid && !IsHiddenCodePoint(code)) {
      if (out.size() + length > max_bytes) break;
      out.append(text.substr(i, length));
    } else if (valid && code == '\t' && out.size() < max_bytes) {
      out += ' ';
    }
    i += valid ? length : 1;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  size_t start = 0;
  while (start < out.size() && out[start] == ' ') ++start;
  return out.substr(start);
}

RadioStations ReadRadioStations(std::string_view body, size_t max_rows) {
  RadioStations result;
  JsonAnswer json = ParseBoundedJson(body);
  if (json.failure != JsonFailure::kNone || !json.value.is_array()) {
    result.failure = RadioFailure::kBadAnswer;
    return result;
  }
  for (const nlohmann::json& row : json.value) {
    if (result.stations.size() >= max_rows) break;
    RadioStation station;
    station.name = CleanDisplayText(JsonText(row, "name", 4 * kMaxTextBytes), kMaxTextBytes);
    station.address = JsonText(row, "url_resolved", kMaxAddressBytes);
    if (!IsHttpAddress(station.address)) station.address = JsonText(row, "url", kMaxAddressBytes);
    if (station.name.empty() || !IsHttpAddress(station.address)) continue;
    station.uuid = CleanDisplayText(JsonText(row, "stationuuid", 64), 64);
    station.favicon = JsonText(row, "favicon", kMaxAddressBytes);
    if (!IsHttpAddress(station.favicon)) station.favicon.clear();
    station.country = CleanDisplayText(JsonText(row, "country", kMaxTextBytes), kMaxTextBytes);
    station.country_code = CleanDisplayText(JsonText(row, "countrycode", 8), 8);
    station.language = CleanDisplayText(JsonText(row, "language", kMaxTextBytes), kMaxTextBytes);
    station.tags = CleanDisplayText(JsonText(row, "tags", kMaxTextBytes), kMaxTextBytes);
    station.codec = CleanDisplayText(JsonText(row, "codec", 32), 32);
    station.bitrate = std::max<int64_t>(0, JsonInteger(row, "bitrate").value_or(0));
    station.votes = JsonInteger(row, "votes").value_or(0);
    station.clicks = JsonInteger(row, "clickcount").value_or(0);
    result.stations.push_back(std::move(station));
  }
  return result;
}

}  // namespace vidora
