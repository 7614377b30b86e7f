// Feeds arbitrary bytes to the radio directory's station reader; every
// station kept has a name and an http(s) address.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/radio/radio_station.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vidora::RadioStations stations = vidora::ReadRadioStations(text);
  for (const vidora::RadioStation& station : stations.stations) {
    if (station.name.empty() || !station.address.starts_with("http")) std::abort();
  }
  return 0;
}
