// Loading a large catalogue: 100,000 channels in 200 countries, each with
// two sources, stored plainly and scrambled. Reports the load time and the
// peak resident memory of one load (kB, from VmHWM after resetting it).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/catalogue/catalogue_reader.h"
#include "core/catalogue/catalogue_scrambler.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/document/document_format.h"
#include "core/stores/message_sink.h"

namespace {

constexpr int kCountries = 200;
constexpr int kChannelsPerCountry = 500;

class CatalogueFiles {
 public:
  CatalogueFiles() {
    folder_ = std::filesystem::temp_directory_path() / ("vidora_bench_catalogue_" + std::to_string(getpid()));
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
    for (int c = 0; c < kCountries; ++c) {
      vidora::DocNode* country = root.AddChild("c" + std::to_string(c));
      for (int i = 0; i < kChannelsPerCountry; ++i) {
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

  std::filesystem::path folder_;
  size_t file_size_ = 0;
};

const CatalogueFiles& Files() {
  static CatalogueFiles files;
  return files;
}

// Peak resident set since the last reset, in kB.
long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
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
  const std::filesystem::path path = scrambled ? Files().scrambled() : Files().plain();
  vidora::SetMessageSink([](const std::u16string&, const std::u16string&) {});
  long peak_kb = 0;
  size_t channels = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ResetPeakResident();
    const long before_kb = PeakResidentKb();
    state.ResumeTiming();
    {
      vidora::ChannelCatalogue catalogue;
      catalogue.Load(path, nullptr);
      channels = catalogue.AllChannels().size();
      benchmark::DoNotOptimize(channels);
      state.PauseTiming();
      peak_kb = std::max(peak_kb, PeakResidentKb() - before_kb);
    }
    state.ResumeTiming();
  }
  state.counters["channels"] = static_cast<double>(channels);
  state.counters["file_kB"] = static_cast<double>(Files().file_size()) / 1024.0;
  state.counters["peak_growth_kB"] = static_cast<double>(peak_kb);
  state.counters["VmHWM_kB"] = static_cast<double>(PeakResidentKb());
}

// The document read alone, for comparison with the whole load.
void BM_ReadPlainDocumentOnly(benchmark::State& state) {
  for (auto _ : state) {
    vidora::DocNode document;
    vidora::ReadCatalogueDocument(Files().plain(), document);
    benchmark::DoNotOptimize(document.children().size());
  }
}

void BM_LoadPlainCatalogue(benchmark::State& state) { LoadBenchmark(state, false); }
void BM_LoadScrambledCatalogue(benchmark::State& state) { LoadBenchmark(state, true); }

BENCHMARK(BM_ReadPlainDocumentOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlainCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadScrambledCatalogue)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
