// Reading, caching and matching a large programme guide.
//
// The guide is generated in the shape of a big real one: channels with
// programmes every 30 minutes over 21 days (7 back, 14 ahead of the
// reading time), each with a title, a sub-title, a category and a
// description of about 200 bytes. Titles come from 2,000 and descriptions
// from 20,000 distinct texts, as series repeat. 2,500 channels make about
// 1 GB of XML; the default here is VIDORA_BENCH_GUIDE_CHANNELS=700 (about
// 290 MB) to fit the shared build machine; set it to 2500 for the full size.
//
// Floors: BM_PlainFileRead reads the file with read(2); BM_GzipFileRead
// inflates the gzip copy with zlib. BM_ReadGuide and BM_ReadGuideGzip
// stream it into the guide store (MB/s of XML, peak resident growth);
// BM_LoadGuideCache loads the binary cache written from that store;
// BM_MatchChannels matches 200,000 playlist channels against 50,000 guide
// channels.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/guide/guide_cache.h"
#include "core/guide/guide_matcher.h"
#include "core/guide/guide_store.h"
#include "core/guide/xmltv_reader.h"

namespace {

constexpr int64_t kNow = 1767268800;  // 2026-01-01 12:00 UTC
constexpr int kDays = 21;
constexpr int kSlotsPerDay = 48;

int Channels() {
  const char* text = std::getenv("VIDORA_BENCH_GUIDE_CHANNELS");
  return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : 700;
}

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    auto f = std::filesystem::temp_directory_path() / ("vidora_bench_guide_" + std::to_string(getpid()));
    std::filesystem::create_directories(f);
    return f;
  }();
  return folder;
}

void Time(char* out, int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  struct tm parts {};
  gmtime_r(&t, &parts);
  std::strftime(out, 32, "%Y%m%d%H%M%S +0000", &parts);
}

// Writes the plain and the gzip guide in a child, so its buffers do not
// count in this process.
const std::filesystem::path& GuideFile(bool gzip) {
  static const std::filesystem::path plain = Folder() / "guide.xml";
  static const std::filesystem::path packed = Folder() / "guide.xml.gz";
  static const bool made = [] {
    const pid_t child = fork();
    if (child == 0) {
      FILE* f = std::fopen(plain.c_str(), "wb");
      gzFile z = gzopen(packed.c_str(), "wb6");
      auto put = [&](const char* text, size_t size) {
        std::fwrite(text, 1, size, f);
        gzwrite(z, text, static_cast<unsigned>(size));
      };
      std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv generator-info-name=\"bench\">\n";
      for (int c = 0; c < Channels(); ++c) {
        head += "<channel id=\"ch" + std::to_string(c) + ".example\"><display-name>Channel " + std::to_string(c) +
                "</display-name></channel>\n";
      }
      put(head.data(), head.size());
      std::string description(190, 'x');
      char line[1024], start[32], stop[32];
      const int64_t first = kNow - 7 * 86400;
      for (int c = 0; c < Channels(); ++c) {
        for (int slot = 0; slot < kDays * kSlotsPerDay; ++slot) {
          const int64_t t = first + int64_t{slot} * 1800;
          Time(start, t);
          Time(stop, t + 1800);
          const unsigned mix = static_cast<unsigned>(c * 7919 + slot * 104729);
          const int n = std::snprintf(
              line, sizeof line,
              "<programme start=\"%s\" stop=\"%s\" channel=\"ch%d.example\"><title lang=\"en\">Series %u</title>"
              "<sub-title>Part %u</sub-title><desc lang=\"en\">Episode %u. %s</desc><category>Drama</category>"
              "</programme>\n",
              start, stop, c, mix % 2000, mix % 13, mix % 20000, description.c_str());
          put(line, static_cast<size_t>(n));
        }
      }
      put("</tv>\n", 6);
      std::fclose(f);
      gzclose(z);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return true;
  }();
  (void)made;
  return gzip ? packed : plain;
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
  malloc_trim(0);
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

double XmlMegabytes() { return static_cast<double>(std::filesystem::file_size(GuideFile(false))) / 1e6; }

void BM_PlainFileRead(benchmark::State& state) {
  const std::filesystem::path& path = GuideFile(false);
  std::vector<char> buffer(256 * 1024);
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    size_t total = 0;
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) total += static_cast<size_t>(n);
    ::close(fd);
    benchmark::DoNotOptimize(total);
  }
  state.counters["xml_MB"] = XmlMegabytes();
  state.counters["MB/s"] = benchmark::Counter(XmlMegabytes() * static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
}

void BM_GzipFileRead(benchmark::State& state) {
  const std::filesystem::path& path = GuideFile(true);
  std::vector<char> buffer(256 * 1024);
  for (auto _ : state) {
    gzFile f = gzopen(path.c_str(), "rb");
    gzbuffer(f, 256 * 1024);
    size_t total = 0;
    int n;
    while ((n = gzread(f, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0) total += static_cast<size_t>(n);
    gzclose(f);
    benchmark::DoNotOptimize(total);
  }
  state.counters["gz_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  state.counters["MB/s"] = benchmark::Counter(XmlMegabytes() * static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
}

void ReadGuide(benchmark::State& state, bool gzip) {
  const std::filesystem::path& path = GuideFile(gzip);
  long peak_growth = 0;
  size_t kept = 0;
  for (auto _ : state) {
    ResetPeak();
    const long before = ReadKb("VmRSS:");
    vidora::GuideStore store;
    const vidora::GuideReadResult read = vidora::ReadXmltvFile(path, store, kNow);
    if (!read.ok) state.SkipWithError(read.reason.c_str());
    store.Finish();
    peak_growth = std::max(peak_growth, ReadKb("VmHWM:") - before);
    kept = store.programme_count();
  }
  state.counters["peak_growth_MB"] = static_cast<double>(peak_growth) / 1024.0;
  state.counters["programmes"] = static_cast<double>(kept);
  state.counters["xml_MB"] = XmlMegabytes();
  state.counters["MB/s"] = benchmark::Counter(XmlMegabytes() * static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
}

void BM_ReadGuide(benchmark::State& state) { ReadGuide(state, false); }
void BM_ReadGuideGzip(benchmark::State& state) { ReadGuide(state, true); }

void BM_LoadGuideCache(benchmark::State& state) {
  const std::filesystem::path path = Folder() / "guide.cache";
  if (!std::filesystem::exists(path)) {
    vidora::GuideStore store;
    vidora::ReadXmltvFile(GuideFile(false), store, kNow);
    store.Finish();
    vidora::WriteGuideCache(path, store, {}, kNow);
  }
  size_t programmes = 0;
  for (auto _ : state) {
    std::string reason;
    auto content = vidora::ReadGuideCache(path, &reason);
    if (!content) state.SkipWithError(reason.c_str());
    else programmes = content->store->programme_count();
  }
  state.counters["cache_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  state.counters["programmes"] = static_cast<double>(programmes);
}

void BM_MatchChannels(benchmark::State& state) {
  vidora::GuideStore store;
  for (int i = 0; i < 50000; ++i) {
    const int32_t c = store.AddChannel("Channel" + std::to_string(i) + ".de");
    store.AddDisplayName(c, "Channel " + std::to_string(i));
    store.AddDisplayName(c, "Kanal " + std::to_string(i) + " HD");
  }
  store.Finish();
  // A quarter each: the id, the id with a feed, the tvg-name, the name.
  std::vector<std::string> ids(200000), names(200000);
  vidora::GuideMatchList inputs;
  for (int i = 0; i < 200000; ++i) {
    const std::string n = std::to_string(i % 60000);
    switch (i % 4) {
      case 0: ids[i] = "channel" + n + ".DE"; break;
      case 1: ids[i] = "Channel" + n + ".de@SD"; break;
      case 2: names[i] = "channel " + n; break;
      default: names[i] = "KANAL " + n + " FHD"; break;
    }
    vidora::GuideMatchInput input;
    input.tvg_id = ids[i];
    if (i % 4 == 2) input.tvg_name = names[i];
    else input.name = names[i];
    inputs.Add(input);
  }
  size_t matched = 0;
  for (auto _ : state) {
    const std::vector<vidora::GuideMatch> matches = vidora::MatchGuideChannels(store, inputs);
    matched = 0;
    for (const auto& m : matches) matched += m.channel >= 0 ? 1 : 0;
  }
  state.counters["matched"] = static_cast<double>(matched);
}

BENCHMARK(BM_PlainFileRead)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
BENCHMARK(BM_GzipFileRead)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(2);
BENCHMARK(BM_ReadGuide)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(2);
BENCHMARK(BM_ReadGuideGzip)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(2);
BENCHMARK(BM_LoadGuideCache)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(5);
BENCHMARK(BM_MatchChannels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}
