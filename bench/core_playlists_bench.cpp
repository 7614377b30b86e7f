// Importing a large playlist.
//
// Playlists: a generated Extended M3U of 200,000 entries (tvg attributes,
// groups in several languages, a few #EXTVLCOPT lines), about 45 MB.
// BM_ScanLines is the baseline: one pass finding every line end of the
// same text. BM_ReadM3u parses it, BM_EncodePlaylist converts the parsed
// playlist into the catalogue file's bytes, BM_ImportPlaylist parses,
// converts and writes the file durably (the whole import), BM_AttachPlaylist adds the
// stored file to a catalogue as the channels dialog sees it. The
// programme guide has its own benchmarks (core_guide_bench.cpp).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/catalogue/channel_catalogue.h"
#include "core/playlists/m3u_reader.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"
#include "core/playlists/playlist_library.h"
#include "core/stores/message_sink.h"

namespace {

constexpr int kEntries = 200000;

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    auto f = std::filesystem::temp_directory_path() / ("vidora_bench_playlists_" + std::to_string(getpid()));
    std::filesystem::create_directories(f);
    return f;
  }();
  return folder;
}

const std::string& PlaylistText() {
  static const std::string text = [] {
    const char* groups[] = {"News", "Sport", "Музыка", "Kinder", "Films", "Documentary", "Radio", "Regional"};
    std::string t = "#EXTM3U url-tvg=\"http://epg.example/guide.xml.gz\"\n";
    t.reserve(size_t{kEntries} * 230);
    for (int i = 0; i < kEntries; ++i) {
      const std::string n = std::to_string(i);
      t += "#EXTINF:-1 tvg-id=\"channel" + n + ".example\" tvg-name=\"Channel " + n + ", HD\" tvg-logo=\"http://logos.example/" +
           n + ".png\" tvg-country=\"DE\" tvg-language=\"German\" group-title=\"" + groups[i % 8] + "\",Channel " + n + " HD\n";
      if (i % 50 == 0) t += "#EXTVLCOPT:http-user-agent=Mozilla/5.0\n";
      t += "http://streams.example/live/" + n + "/index.m3u8\n";
    }
    return t;
  }();
  return text;
}

void BM_ScanLines(benchmark::State& state) {
  const std::string& text = PlaylistText();
  for (auto _ : state) {
    size_t lines = 0;
    for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, '\n', text.data() + text.size() - p)));
         ++p) {
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ReadM3u(benchmark::State& state) {
  const std::string& text = PlaylistText();
  for (auto _ : state) {
    vidora::M3uPlaylist playlist = vidora::ReadM3u(text, "http://lists.example/all.m3u");
    if (playlist.entries.size() != kEntries) state.SkipWithError("wrong entry count");
  }
  state.counters["entries"] = kEntries;
}

void BM_EncodePlaylist(benchmark::State& state) {
  const vidora::M3uPlaylist playlist = vidora::ReadM3u(PlaylistText(), "http://lists.example/all.m3u");
  const vidora::PlaylistOrigin origin{"pl00000000", u"All", u"http://lists.example/all.m3u", 0};
  std::string bytes;
  for (auto _ : state) vidora::EncodePlaylistDocument(playlist, origin, bytes);
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_ImportPlaylist(benchmark::State& state) {
  const std::string& text = PlaylistText();
  vidora::PlaylistImport result;
  for (auto _ : state) {
    result = vidora::ImportPlaylistText(text, u"http://lists.example/all.m3u", u"All", Folder(), 0);
    if (!result.ok) state.SkipWithError(result.reason.c_str());
  }
  state.counters["entries"] = kEntries;
  std::error_code error;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(result.file, error)) / 1e6;
}

void BM_AttachPlaylist(benchmark::State& state) {
  vidora::PlaylistImport result = vidora::ImportPlaylistText(PlaylistText(), u"http://lists.example/all.m3u",
                                                             u"All", Folder(), 0);
  for (auto _ : state) {
    vidora::ChannelCatalogue catalogue;
    vidora::PlaylistLibrary library(Folder());
    library.Scan();
    library.AttachAll(catalogue, nullptr, nullptr);
    if (catalogue.AllChannels().size() != kEntries) state.SkipWithError("wrong channel count");
  }
}

BENCHMARK(BM_ScanLines)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ReadM3u)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_EncodePlaylist)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_ImportPlaylist)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_AttachPlaylist)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  vidora::SetMessageSink([](const std::u16string&, const std::u16string&) {});
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code error;
  std::filesystem::remove_all(Folder(), error);
  return 0;
}
