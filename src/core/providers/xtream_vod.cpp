#include "core/providers/xtream_vod.h"

#include <algorithm>
#include <cctype>

#include "core/providers/bounded_json.h"
#include "core/providers/xtream_fields.h"

namespace vidora {
namespace {

constexpr size_t kMaxPlotBytes = 4096;
// An episode list larger than this is no series anyone watches.
constexpr size_t kMaxEpisodes = 5000;

// A container extension usable in an address: letters and digits only.
std::string Extension(const nlohmann::json& row) {
  std::string extension = JsonText(row, "container_extension", 8);
  for (char& c : extension) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) return "mp4";
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return extension.empty() ? "mp4" : extension;
}

void ReadEpisodes(const nlohmann::json& list, int season, XtreamSeriesInfo& info) {
  if (!list.is_array()) return;
  for (const nlohmann::json& row : list) {
    if (info.episodes.size() >= kMaxEpisodes) return;
    const std::optional<int64_t> id = JsonInteger(row, "id");
    if (!id || *id < 0) continue;
    XtreamEpisode episode;
    episode.id = *id;
    episode.season = static_cast<int>(std::clamp<int64_t>(JsonInteger(row, "season").value_or(season), 0, 9999));
    episode.number = static_cast<int>(std::clamp<int64_t>(JsonInteger(row, "episode_num").value_or(0), 0, 99999));
    episode.title = BlankControls(JsonText(row, "title", kXtreamMaxNameBytes));
    episode.extension = Extension(row);
    if (const nlohmann::json* details = JsonMember(row, "info")) {
      episode.plot = BlankControls(JsonText(*details, "plot", kMaxPlotBytes));
      episode.seconds = std::max<int64_t>(0, JsonInteger(*details, "duration_secs").value_or(0));
    }
    info.episodes.push_back(std::move(episode));
  }
}

}  // namespace

XtreamFilms ReadXtreamFilms(std::string_view body) {
  XtreamFilms result;
  result.failure = ReadXtreamRows(body, [&result](const nlohmann::json& row) {
    XtreamFilm film;
    const std::optional<int64_t> id = JsonInteger(row, "stream_id");
    film.name = BlankControls(JsonText(row, "name", kXtreamMaxNameBytes));
    if (!id || *id < 0 || film.name.empty()) {
      ++result.skipped;
      return;
    }
    film.id = *id;
    film.poster = JsonText(row, "stream_icon", kXtreamMaxAddressBytes);
    film.category_id = JsonText(row, "category_id", 64);
    film.extension = Extension(row);
    film.rating = JsonText(row, "rating", 8);
    result.films.push_back(std::move(film));
  });
  if (result.failure != XtreamFailure::kNone) result.films.clear();
  return result;
}

XtreamSeriesList ReadXtreamSeriesList(std::string_view body) {
  XtreamSeriesList result;
  result.failure = ReadXtreamRows(body, [&result](const nlohmann::json& row) {
    XtreamSeries series;
    const std::optional<int64_t> id = JsonInteger(row, "series_id");
    series.name = BlankControls(JsonText(row, "name", kXtreamMaxNameBytes));
    if (!id || *id < 0 || series.name.empty()) {
      ++result.skipped;
      return;
    }
    series.id = *id;
    series.poster = JsonText(row, "cover", kXtreamMaxAddressBytes);
    series.category_id = JsonText(row, "category_id", 64);
    series.plot = BlankControls(JsonText(row, "plot", kMaxPlotBytes));
    const std::string released = JsonText(row, "releaseDate", 32);
    if (released.size() >= 4 && std::all_of(released.begin(), released.begin() + 4, [](char c) {
          return c >= '0' && c <= '9';
        })) {
      series.year = released.substr(0, 4);
    }
    result.series.push_back(std::move(series));
  });
  if (result.failure != XtreamFailure::kNone) result.series.clear();
  return result;
}

XtreamSeriesInfo ReadXtreamSeriesInfo(std::string_view body) {
  XtreamSeriesInfo info;
  JsonAnswer json;
  if (!ParseXtreamAnswer(body, json, info.failure)) return info;
  const nlohmann::json* episodes = JsonRowsMember(json.value, "episodes");
  if (episodes == nullptr) {
    info.failure = XtreamFailure::kWrongTypes;
    return info;
  }
  if (const nlohmann::json* about = JsonMember(json.value, "info")) info.plot = BlankControls(JsonText(*about, "plot", kMaxPlotBytes));
  if (episodes->is_object()) {
    for (const auto& item : episodes->items()) {
      int season = 0;
      for (char c : item.key()) {
        if (c < '0' || c > '9' || season > 999) break;
        season = season * 10 + (c - '0');
      }
      ReadEpisodes(item.value(), season, info);
    }
  } else {
    int season = 0;
    for (const nlohmann::json& list : *episodes) ReadEpisodes(list, ++season, info);
  }
  std::stable_sort(info.episodes.begin(), info.episodes.end(), [](const XtreamEpisode& a, const XtreamEpisode& b) {
    return a.season != b.season ? a.season < b.season : a.number < b.number;
  });
  return info;
}

std::string ReadXtreamFilmPlot(std::string_view body) {
  const JsonAnswer json = ParseBoundedJson(body);
  const nlohmann::json* about = json.failure == JsonFailure::kNone ? JsonMember(json.value, "info") : nullptr;
  if (about == nullptr) return {};
  std::string plot = JsonText(*about, "plot", kMaxPlotBytes);
  if (plot.empty()) plot = JsonText(*about, "description", kMaxPlotBytes);
  return BlankControls(std::move(plot));
}

}  // namespace vidora
