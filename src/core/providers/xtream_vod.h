#ifndef VIDORA_CORE_PROVIDERS_XTREAM_VOD_H_
#define VIDORA_CORE_PROVIDERS_XTREAM_VOD_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/providers/xtream_answers.h"

namespace vidora {

// A film of get_vod_streams.
struct XtreamFilm {
  int64_t id = 0;            // stream_id
  std::string name;
  std::string poster;        // stream_icon (an address, or empty)
  std::string category_id;
  std::string extension;     // container_extension ("mkv", "mp4", …); "mp4" when absent
  std::string rating;        // as sent ("7.2"), or empty
};

struct XtreamFilms {
  XtreamFailure failure = XtreamFailure::kNone;
  std::vector<XtreamFilm> films;
  size_t skipped = 0;  // rows without a usable id or name
};
// get_vod_streams, row by row (100,000 rows stay small). Any thread.
XtreamFilms ReadXtreamFilms(std::string_view body);

// A series of get_series.
struct XtreamSeries {
  int64_t id = 0;            // series_id
  std::string name;
  std::string poster;        // cover
  std::string category_id;
  std::string plot;
  std::string year;          // releaseDate's year, or empty
};

struct XtreamSeriesList {
  XtreamFailure failure = XtreamFailure::kNone;
  std::vector<XtreamSeries> series;
  size_t skipped = 0;
};
// get_series. Any thread.
XtreamSeriesList ReadXtreamSeriesList(std::string_view body);

// One episode of get_series_info.
struct XtreamEpisode {
  int64_t id = 0;
  int season = 0;
  int number = 0;            // episode_num
  std::string title;
  std::string extension;     // container_extension; "mp4" when absent
  std::string plot;          // info.plot
  int64_t seconds = 0;       // info.duration_secs
};

// get_series_info: the series' plot and its episodes, by season then
// number. "episodes" may be an object of seasons ({"1":[…]}) or a list of
// lists; each episode's season is its own "season" field, else its
// list's key. Any thread.
struct XtreamSeriesInfo {
  XtreamFailure failure = XtreamFailure::kNone;
  std::string plot;
  std::vector<XtreamEpisode> episodes;
};
XtreamSeriesInfo ReadXtreamSeriesInfo(std::string_view body);

// get_vod_info: the film's plot (info.plot, else info.description), or
// empty. Any thread.
std::string ReadXtreamFilmPlot(std::string_view body);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_XTREAM_VOD_H_
