// Feeds arbitrary bytes to the readers of a provider's films and series
// (lists read row by row, a series' episodes, a film's plot) and to the
// parser of their stored addresses; every film read makes an address that
// parses back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/providers/xtream_address.h"
#include "core/providers/xtream_vod.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vidora::XtreamAccount account{"http://tv.example:8080", "user"};
  for (const vidora::XtreamFilm& film : vidora::ReadXtreamFilms(text).films) {
    if (!vidora::ParseXtreamMediaAddress(vidora::XtreamMediaAddress({account, false, film.id, film.extension}))) {
      std::abort();
    }
  }
  vidora::ReadXtreamSeriesList(text);
  for (const vidora::XtreamEpisode& episode : vidora::ReadXtreamSeriesInfo(text).episodes) {
    if (!vidora::ParseXtreamMediaAddress(vidora::XtreamMediaAddress({account, true, episode.id, episode.extension}))) {
      std::abort();
    }
  }
  vidora::ReadXtreamFilmPlot(text);
  if (const auto media = vidora::ParseXtreamMediaAddress(text)) vidora::XtreamPlayAddress(*media, "pw");
  return 0;
}
