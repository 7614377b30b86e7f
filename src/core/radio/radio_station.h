#ifndef VIDORA_CORE_RADIO_RADIO_STATION_H_
#define VIDORA_CORE_RADIO_RADIO_STATION_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

// One station of the community radio directory, as its answers describe
// it. Texts are UTF-8 without control or direction-changing characters.
struct RadioStation {
  std::string uuid;          // stationuuid: the key of clicks
  std::string name;
  std::string address;       // url_resolved, else url
  std::string favicon;
  std::string country;
  std::string country_code;  // ISO 3166-1 alpha-2
  std::string language;
  std::string tags;
  std::string codec;
  int64_t bitrate = 0;       // kbit/s; 0: unknown
  int64_t votes = 0;
  int64_t clicks = 0;
};

// Why a directory answer gave no list.
enum class RadioFailure {
  kNone,
  kOffline,   // no mirror answered
  kBadAnswer, // an answer that is no station list
};

struct RadioStations {
  RadioFailure failure = RadioFailure::kNone;
  std::vector<RadioStation> stations;
};

// Reads a station list answer (a JSON array of station objects). Rows
// without a name or a playable http(s) address are left out; at most
// `max_rows` are kept. Any thread.
RadioStations ReadRadioStations(std::string_view body, size_t max_rows = 1000);

// `text` without C0/C1 control characters and the Unicode direction
// marks, embeddings, overrides and isolates, cut to `max_bytes` on a
// character boundary.
std::string CleanDisplayText(std::string_view text, size_t max_bytes);

}  // namespace vidora

#endif  // VIDORA_CORE_RADIO_RADIO_STATION_H_
