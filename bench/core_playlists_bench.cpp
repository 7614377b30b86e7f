// Importing a large playlist and reading a large programme guide.
//
// Playlists: a generated Extended M3U of 200,000 entries (tvg attributes,
// groups in several languages, a few #EXTVLCOPT lines), about 45 MB.
// BM_ScanLines is the baseline: one pass finding every line end of the
// same text. BM_ReadM3u parses it, BM_EncodePlaylist converts the parsed
// playlist into the catalogue file's bytes, BM_ImportPlaylist parses,
// converts and writes the file durably (the whole import), BM_AttachPlaylist adds the
// stored file to a catalogue as the channels dialog sees it.
//
// Guide: a generated plain XMLTV file of 100 MB (2,000 channels, 200 of
// them wanted, programmes every 20 minutes over several days).
// BM_ReadXmltv reads it with the streaming reader and reports the peak
// resident memory growth of the read (kB, VmHWM after resetting it) and
// the programmes kept; BM_CountXmltvBytes is the baseline that only
// reads the file through zlib.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

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
#include "core/playlists/xmltv_reader.h"
#include "core/stores/message_sink.h"

namespace {

constexpr int kEntries = 200000;
constexpr int kGuideChannels = 2000;
constexpr int kWantedGuideChannels = 200;
constexpr int64_t kGuideStart = 1767225600;  // 2026-01-01 00:00 UTC
constexpr size_t kGuideBytes = 100u << 20;

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

std::filesystem::path GuideFile() {
  static const std::filesystem::path path = [] {
    const std::filesystem::path p = Folder() / "guide.xml";
    // Generated in a child so its buffers do not count in this process.
    const pid_t child = fork();
    if (child == 0) {
      FILE* f = std::fopen(p.c_str(), "wb");
      std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv generator-info-name=\"bench\">\n", f);
      for (int c = 0; c < kGuideChannels; ++c) {
        std::fprintf(f, "<channel id=\"ch%d.example\"><display-name lang=\"de\">Channel %d</display-name></channel>\n", c, c);
      }
      size_t written = 0;
      char line[512];
      for (int64_t slot = 0; written < kGuideBytes; ++slot) {
        const int64_t t = kGuideStart + slot * 1200;
        for (int c = 0; c < kGuideChannels && written < kGuideBytes; c += 1) {
          time_t start = t, stop = t + 1200;
          struct tm a, b;
          gmtime_r(&start, &a);
          gmtime_r(&stop, &b);
          const int n = std::snprintf(
              line, sizeof line,
              "<programme start=\"%04d%02d%02d%02d%02d00 +0000\" stop=\"%04d%02d%02d%02d%02d00 +0000\" channel=\"ch%d.example\">"
              "<title lang=\"de\">Sendung %lld</title><desc>Eine Beschreibung der Sendung.</desc></programme>\n",
              a.tm_year + 1900, a.tm_mon + 1, a.tm_mday, a.tm_hour, a.tm_min, b.tm_year + 1900, b.tm_mon + 1, b.tm_mday,
              b.tm_hour, b.tm_min, c, static_cast<long long>(slot));
          std::fwrite(line, 1, static_cast<size_t>(n), f);
          written += static_cast<size_t>(n);
        }
      }
      std::fputs("</tv>\n", f);
      std::fclose(f);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return p;
  }();
  return path;
}

long ReadKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
  }
  return -1;
}

void ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

void BM_CountXmltvBytes(benchmark::State& state) {
  const std::filesystem::path path = GuideFile();
  for (auto _ : state) {
    gzFile f = gzopen(path.c_str(), "rb");
    std::vector<char> buffer(64 * 1024);
    size_t total = 0;
    int n;
    while ((n = gzread(f, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0) total += static_cast<size_t>(n);
    gzclose(f);
    benchmark::DoNotOptimize(total);
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

void BM_ReadXmltv(benchmark::State& state) {
  const std::filesystem::path path = GuideFile();
  vidora::GuideRequest request;
  for (int c = 0; c < kWantedGuideChannels; ++c) request.ids.insert("ch" + std::to_string(c * 10) + ".example");
  request.from = kGuideStart + 6 * 3600;
  request.to = request.from + 24 * 3600;
  long peak_growth = 0;
  size_t kept = 0;
  for (auto _ : state) {
    // Freed heap pages of earlier runs go back first, so the read cannot
    // hide its own peak in them.
    malloc_trim(0);
    ResetPeak();
    const long before = ReadKb("VmRSS:");
    vidora::ProgrammeGuide guide;
    std::string error;
    if (!vidora::ReadXmltvFile(path, request, guide, &error)) state.SkipWithError(error.c_str());
    peak_growth = std::max(peak_growth, ReadKb("VmHWM:") - before);
    kept = guide.programme_count();
  }
  state.counters["peak_growth_kB"] = static_cast<double>(peak_growth);
  state.counters["programmes_kept"] = static_cast<double>(kept);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

BENCHMARK(BM_ScanLines)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ReadM3u)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_EncodePlaylist)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_ImportPlaylist)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_AttachPlaylist)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_CountXmltvBytes)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(2);
BENCHMARK(BM_ReadXmltv)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(2);

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
