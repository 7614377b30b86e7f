// A provider account's large answers: 20,000 live streams and 100,000
// films, in the shapes real panels send (ids as strings and numbers).
//
// BM_ParseFilmsDom is the baseline for reading: the same films answer
// parsed as one JSON document. BM_ReadFilms reads it row by row into the
// films list the "Films & series" page shows (counter rss_MB: the
// process's resident memory while the list is held). BM_M3uChannels is
// the baseline for the live channels: the same 20,000 channels as an M3U
// playlist, imported and attached as the channels dialog sees them;
// BM_ProviderChannels does the same from the streams answer (the time
// from the answers' arrival until the channels are usable; counter
// peak_MB: the process's peak memory after both provider benchmarks, the
// answers included). main prints the peak after the baselines too.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "core/catalogue/channel_catalogue.h"
#include "core/playlists/playlist_import.h"
#include "core/playlists/playlist_library.h"
#include "core/providers/xtream_client.h"
#include "core/providers/xtream_vod.h"
#include "core/stores/message_sink.h"

namespace {

constexpr int kStreams = 20000;
constexpr int kFilms = 100000;

std::filesystem::path Folder(const char* name) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("vidora_bench_providers_" + std::to_string(getpid())) / name;
  std::filesystem::create_directories(folder);
  return folder;
}

const std::string& StreamsAnswer() {
  static const std::string text = [] {
    std::string t = "[";
    for (int i = 0; i < kStreams; ++i) {
      const std::string n = std::to_string(i);
      if (i > 0) t += ',';
      // Every other row sends its numbers as strings.
      const bool quoted = i % 2 == 0;
      const std::string id = quoted ? "\"" + n + "\"" : n;
      t += "{\"num\":" + n + ",\"name\":\"Channel " + n + " HD\",\"stream_type\":\"live\",\"stream_id\":" + id +
           ",\"stream_icon\":\"http://logos.example/" + n + ".png\",\"epg_channel_id\":\"channel" + n +
           ".example\",\"added\":\"1600000000\",\"category_id\":" + (quoted ? "\"" + std::to_string(i % 40) + "\"" : std::to_string(i % 40)) +
           ",\"tv_archive\":" + (i % 3 == 0 ? "1" : "0") + ",\"tv_archive_duration\":\"" + (i % 3 == 0 ? "5" : "0") + "\"}";
    }
    return t + "]";
  }();
  return text;
}

const std::string& CategoriesAnswer() {
  static const std::string text = [] {
    std::string t = "[";
    for (int i = 0; i < 40; ++i) {
      if (i > 0) t += ',';
      t += "{\"category_id\":\"" + std::to_string(i) + "\",\"category_name\":\"Group " + std::to_string(i) + "\"}";
    }
    return t + "]";
  }();
  return text;
}

const std::string& FilmsAnswer() {
  static const std::string text = [] {
    std::string t = "[";
    t.reserve(size_t{kFilms} * 300);
    for (int i = 0; i < kFilms; ++i) {
      const std::string n = std::to_string(100000 + i);
      if (i > 0) t += ',';
      t += "{\"num\":" + std::to_string(i) + ",\"name\":\"A Film Called " + n + " (2019)\",\"stream_type\":\"movie\"," +
           "\"stream_id\":" + (i % 2 == 0 ? "\"" + n + "\"" : n) + ",\"stream_icon\":\"http://posters.example/" + n +
           ".jpg\",\"rating\":\"7.1\",\"rating_5based\":3.55,\"added\":\"1600000000\",\"category_id\":\"" +
           std::to_string(i % 60) + "\",\"container_extension\":\"mkv\",\"custom_sid\":\"\",\"direct_source\":\"\"}";
    }
    return t + "]";
  }();
  return text;
}

long ResidentKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  }
  return 0;
}

void Attach(benchmark::State& state, const std::filesystem::path& folder) {
  vidora::ChannelCatalogue catalogue;
  vidora::PlaylistLibrary library(folder);
  library.Scan();
  library.AttachAll(catalogue, nullptr, nullptr);
  if (catalogue.AllChannels().size() != kStreams) state.SkipWithError("wrong channel count");
}

void BM_ParseFilmsDom(benchmark::State& state) {
  const std::string& text = FilmsAnswer();
  for (auto _ : state) {
    nlohmann::json films = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(films.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ReadFilms(benchmark::State& state) {
  const std::string& text = FilmsAnswer();
  for (auto _ : state) {
    vidora::XtreamFilms films = vidora::ReadXtreamFilms(text);
    if (films.films.size() != kFilms) state.SkipWithError("wrong film count");
    state.counters["rss_MB"] = static_cast<double>(ResidentKb("VmRSS:")) / 1024.0;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_M3uChannels(benchmark::State& state) {
  std::string m3u = "#EXTM3U\n";
  for (int i = 0; i < kStreams; ++i) {
    const std::string n = std::to_string(i);
    m3u += "#EXTINF:-1 tvg-id=\"channel" + n + ".example\" tvg-logo=\"http://logos.example/" + n +
           ".png\" group-title=\"Group " + std::to_string(i % 40) + "\",Channel " + n + " HD\nhttp://tv.example/live/u/p/" +
           n + ".m3u8\n";
  }
  const std::filesystem::path folder = Folder("m3u");
  for (auto _ : state) {
    const vidora::PlaylistImport result = vidora::ImportPlaylistText(m3u, u"http://tv.example/get.php", u"All", folder, 0);
    if (!result.ok) state.SkipWithError(result.reason.c_str());
    Attach(state, folder);
  }
}

void BM_ProviderChannels(benchmark::State& state) {
  const std::filesystem::path folder = Folder("xtream");
  const vidora::XtreamAccount account{"http://tv.example", "user"};
  for (auto _ : state) {
    const vidora::XtreamCategories categories = vidora::ReadXtreamCategories(CategoriesAnswer());
    const vidora::XtreamStreams streams = vidora::ReadXtreamStreams(StreamsAnswer());
    const vidora::M3uPlaylist playlist = vidora::XtreamPlaylist(account, categories, streams, true);
    const vidora::PlaylistImport result =
        vidora::StorePlaylist(playlist, u"xtream:http://tv.example#user", u"All", folder, 0);
    if (!result.ok) state.SkipWithError(result.reason.c_str());
    Attach(state, folder);
  }
  // Films and channels read, the answers held: the provider's peak.
  state.counters["peak_MB"] = static_cast<double>(ResidentKb("VmHWM:")) / 1024.0;
}

// The provider's own first, so that peak_MB is theirs and not the
// baselines'.
BENCHMARK(BM_ReadFilms)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_ProviderChannels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_M3uChannels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_ParseFilmsDom)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  vidora::SetMessageSink([](const std::u16string&, const std::u16string&) {});
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("peak memory: %.1f MB\n", static_cast<double>(ResidentKb("VmHWM:")) / 1024.0);
  std::error_code error;
  std::filesystem::remove_all(Folder("m3u").parent_path(), error);
  return 0;
}
