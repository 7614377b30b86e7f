#ifndef VIDORA_CORE_PROVIDERS_XTREAM_LIBRARY_H_
#define VIDORA_CORE_PROVIDERS_XTREAM_LIBRARY_H_

#include <atomic>
#include <cstdint>
#include <string>

#include "core/providers/xtream_address.h"
#include "core/providers/xtream_answers.h"
#include "core/providers/xtream_vod.h"

namespace vidora {

// The films and series of an account: get_vod_categories, get_vod_streams,
// get_series_categories and get_series. `failure` is that of the films'
// list (the account has none when it fails); series that cannot be read
// leave `series` empty. Blocking, any thread; `cancel` may be null.
struct XtreamLibrary {
  XtreamFailure failure = XtreamFailure::kNone;
  XtreamCategories film_categories;
  XtreamCategories series_categories;
  XtreamFilms films;
  XtreamSeriesList series;
};
XtreamLibrary FetchXtreamLibrary(const XtreamAccount& account, const std::string& password,
                                 const std::atomic<bool>* cancel);

// get_series_info of one series. Blocking, any thread.
XtreamSeriesInfo FetchXtreamSeriesInfo(const XtreamAccount& account, const std::string& password, int64_t series_id,
                                       const std::atomic<bool>* cancel);

// get_vod_info's plot of one film, or empty. Blocking, any thread.
std::string FetchXtreamFilmPlot(const XtreamAccount& account, const std::string& password, int64_t film_id,
                                const std::atomic<bool>* cancel);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_XTREAM_LIBRARY_H_
