#include "core/providers/xtream_library.h"

#include <memory>

#include "core/document/text_codec.h"
#include "core/net/http_client.h"

namespace vidora {
namespace {

constexpr char16_t kAgent[] = u"Vidora";

// The body of one API call, or none. Lists take the catalogue's bounds
// (a provider's 100,000 films are tens of megabytes); single answers a
// page's.
std::unique_ptr<MemoryStream> Ask(const XtreamAccount& account, const std::string& password, const std::string& action,
                                  const std::atomic<bool>* cancel, HttpRequestKind kind) {
  return DownloadToMemory(kAgent, Utf8ToUtf16(XtreamApiAddress(account, password, action)), cancel, kind);
}

std::string_view View(const MemoryStream& body) {
  return std::string_view(reinterpret_cast<const char*>(body.Data()), body.size());
}

}  // namespace

XtreamLibrary FetchXtreamLibrary(const XtreamAccount& account, const std::string& password,
                                 const std::atomic<bool>* cancel) {
  XtreamLibrary library;
  if (auto body = Ask(account, password, "get_vod_categories", cancel, HttpRequestKind::kPage)) {
    library.film_categories = ReadXtreamCategories(View(*body));
  }
  if (auto body = Ask(account, password, "get_vod_streams", cancel, HttpRequestKind::kCatalogueFile)) {
    library.films = ReadXtreamFilms(View(*body));
    library.failure = library.films.failure;
  } else {
    library.failure = XtreamFailure::kNoAnswer;
  }
  if (auto body = Ask(account, password, "get_series_categories", cancel, HttpRequestKind::kPage)) {
    library.series_categories = ReadXtreamCategories(View(*body));
  }
  if (auto body = Ask(account, password, "get_series", cancel, HttpRequestKind::kCatalogueFile)) {
    library.series = ReadXtreamSeriesList(View(*body));
  }
  return library;
}

XtreamSeriesInfo FetchXtreamSeriesInfo(const XtreamAccount& account, const std::string& password, int64_t series_id,
                                       const std::atomic<bool>* cancel) {
  auto body = Ask(account, password, "get_series_info&series_id=" + std::to_string(series_id), cancel,
                  HttpRequestKind::kPage);
  if (!body) {
    XtreamSeriesInfo failed;
    failed.failure = XtreamFailure::kNoAnswer;
    return failed;
  }
  return ReadXtreamSeriesInfo(View(*body));
}

std::string FetchXtreamFilmPlot(const XtreamAccount& account, const std::string& password, int64_t film_id,
                                const std::atomic<bool>* cancel) {
  auto body = Ask(account, password, "get_vod_info&vod_id=" + std::to_string(film_id), cancel, HttpRequestKind::kPage);
  return body ? ReadXtreamFilmPlot(View(*body)) : std::string();
}

}  // namespace vidora
