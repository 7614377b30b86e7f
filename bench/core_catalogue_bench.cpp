// Loading a large catalogue: 10,000 to 200,000 channels in 200 countries,
// each channel with two sources, stored plainly and scrambled. Reports the
// wall time and CPU time of one load and its peak resident memory (kB:
// VmHWM after resetting it, less the resident set before the load). The
// baseline only reads the same file's bytes, so a load's time can be read
// as a multiple of reading the file.
//
// Medians of 5 runs, RelWithDebInfo, 2 cores shared with other builds (load
// average about 6.5 for both columns, run back to back), CPU time / peak
// growth; wall time was close to CPU time on a quiet machine (200k plain:
// 183 ms wall at load 3.3):
//
//   what                 before (one read, 4 KiB pages,   after (huge-page blocks, grouped
//                        sort through pointers)           title sort, compact channels)
//   read the file only   145 ms                           10 ms
//   10,000 channels      26 ms,  4.5 MB                   19 ms,  6.0 MB
//   50,000 channels      150 ms, 20.1 MB                  60 ms,  21.7 MB
//   100,000 channels     325 ms, 39.9 MB                  101 ms, 40.5 MB
//   200,000 channels     649 ms, 79.2 MB                  201 ms, 78.2 MB
//   200,000 scrambled    806 ms, 79.2 MB                  270 ms, 78.2 MB
//
// Reading was slow for the page faults of the fresh block (one per 4 KiB,
// costly on a virtual machine), not for copying: the same read into a
// block backed by huge pages takes a tenth of the time.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue/catalogue_reader.h"
#include "core/catalogue/catalogue_scrambler.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/document/document_format.h"
#include "core/document/file_bytes.h"
#include "core/stores/message_sink.h"

namespace {

constexpr int kCountries = 200;

// The catalogue files of one size, written once per process.
class CatalogueFiles {
 public:
  explicit CatalogueFiles(int channels) : channels_(channels) {
    folder_ = std::filesystem::temp_directory_path() /
              ("vidora_bench_catalogue_" + std::to_string(getpid()) + "_" + std::to_string(channels));
    std::filesystem::create_directories(folder_);
    // The files are generated in a child process so the generator's heap
    // does not stay resident in this one and hide the loader's peak.
    const pid_t child = fork();
    if (child == 0) {
      Generate();
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    file_size_ = std::filesystem::file_size(plain());
  }
  ~CatalogueFiles() {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }

  std::filesystem::path plain() const { return folder_ / "plain.vdch"; }
  std::filesystem::path scrambled() const { return folder_ / "scrambled.vdch"; }
  size_t file_size() const { return file_size_; }

 private:
  void Generate() const {
    vidora::DocNode root("1.0.0");
    const char* categories[] = {"l", "mu", "n", "r", "sp", "e", "mo", "k", "wc", "ad"};
    const int per_country = channels_ / kCountries;
    for (int c = 0; c < kCountries; ++c) {
      vidora::DocNode* country = root.AddChild("c" + std::to_string(c));
      for (int i = 0; i < per_country; ++i) {
        vidora::DocNode* channel = country->AddChild("ch" + std::to_string(i));
        // Mixed case and scattered numbers keep the sort honest.
        const std::string name = std::string(i % 3 == 0 ? "Radio " : "tv ") + std::to_string((i * 7919) % 100000);
        channel->SetWideString("n", std::u16string(name.begin(), name.end()));
        channel->SetString("p", "p");
        channel->SetString("c", categories[i % 10]);
        if (i % 3 == 0) channel->SetBool("r", true);
        for (int s = 0; s < 2; ++s) {
          vidora::DocNode* source = channel->AddChild(std::to_string(s));
          source->SetInt("b", 128 << s);
          source->SetWideString("u", u"https://stream.example.invalid/live/" + std::u16string(1, u'a' + s));
        }
      }
    }
    vidora::SaveDocumentFile(root, plain());
    std::ifstream in(plain(), std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    vidora::UnscrambleCatalogue(bytes.data(), static_cast<uint32_t>(bytes.size()));
    std::ofstream out(scrambled(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  int channels_;
  std::filesystem::path folder_;
  size_t file_size_ = 0;
};

const CatalogueFiles& Files(int channels) {
  static std::map<int, std::unique_ptr<CatalogueFiles>> files;
  auto& entry = files[channels];
  if (!entry) entry = std::make_unique<CatalogueFiles>(channels);
  return *entry;
}

// A line of /proc/self/status in kB ("VmHWM:", "VmRSS:").
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// Hands freed heap back to the system first, so the peak measured next is
// the load's own and not heap kept from an earlier run.
void ResetPeakResident() {
  malloc_trim(0);
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

void LoadBenchmark(benchmark::State& state, bool scrambled) {
  const int count = static_cast<int>(state.range(0));
  const CatalogueFiles& files = Files(count);
  const std::filesystem::path path = scrambled ? files.scrambled() : files.plain();
  vidora::SetMessageSink([](const std::u16string&, const std::u16string&) {});
  long peak_kb = 0;
  size_t channels = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ResetPeakResident();
    const long before_kb = StatusKb("VmRSS:");
    state.ResumeTiming();
    {
      vidora::ChannelCatalogue catalogue;
      catalogue.Load(path, nullptr);
      channels = catalogue.AllChannels().size();
      benchmark::DoNotOptimize(channels);
      state.PauseTiming();
      peak_kb = std::max(peak_kb, StatusKb("VmHWM:") - before_kb);
    }
    state.ResumeTiming();
  }
  if (channels != static_cast<size_t>(count)) state.SkipWithError("wrong channel count");
  state.counters["channels"] = static_cast<double>(channels);
  state.counters["file_kB"] = static_cast<double>(files.file_size()) / 1024.0;
  state.counters["peak_growth_kB"] = static_cast<double>(peak_kb);
  state.counters["B_per_channel"] = 1024.0 * static_cast<double>(peak_kb) / static_cast<double>(count);
}

void BM_ReadFileBaseline(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const CatalogueFiles& files = Files(count);
  for (auto _ : state) {
    vidora::FileBytes bytes;
    if (!bytes.Read(files.plain())) state.SkipWithError("file not read");
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["file_kB"] = static_cast<double>(files.file_size()) / 1024.0;
}

void BM_LoadPlainCatalogue(benchmark::State& state) { LoadBenchmark(state, false); }
void BM_LoadScrambledCatalogue(benchmark::State& state) { LoadBenchmark(state, true); }

BENCHMARK(BM_ReadFileBaseline)->Arg(200000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_LoadPlainCatalogue)
    ->Arg(10000)->Arg(50000)->Arg(100000)->Arg(200000)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_LoadScrambledCatalogue)
    ->Arg(200000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);

}  // namespace

BENCHMARK_MAIN();
