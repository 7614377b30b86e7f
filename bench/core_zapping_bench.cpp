// Zapping through a 200,000-channel list: Page Down and Page Up from a
// channel in the middle of the list (the step a viewer makes after
// zapping there), the same from the channel reached by the step before
// (zapping on), and a typed channel number found (the last number of the
// list, and one that is not in it).
//
// BM_ScanBaseline is the baseline: one pass over the list's 200,000
// channel pointers looking for one that is not there, the least any
// lookup that visits every entry costs. Each case reports its CPU time as
// a multiple of that pass measured in the same process ("x_scan"); far
// below 1 means the case does not walk the list.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/stores/message_sink.h"
#include "core/zapping/zap_list.h"

namespace {

constexpr int kChannels = 200000;

// A catalogue of kChannels channels in 200 countries.
vidora::ChannelCatalogue& Catalogue() {
  static std::unique_ptr<vidora::ChannelCatalogue> catalogue = [] {
    vidora::SetMessageSink([](const std::u16string&, const std::u16string&) {});
    vidora::DocNode root("v_bench");
    for (int c = 0, n = 0; c < 200; ++c) {
      vidora::DocNode* country = root.AddChild("c" + std::to_string(c));
      for (int i = 0; i < kChannels / 200; ++i, ++n) {
        vidora::DocNode* channel = country->AddChild("ch" + std::to_string(i));
        const std::string name = "Channel " + std::to_string(n);
        channel->SetWideString("n", std::u16string(name.begin(), name.end()));
        channel->SetString("c", "n");
        channel->AddChild("0")->SetWideString("u", u"http://127.0.0.1/stream");
      }
    }
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vidora_bench_zapping_" + std::to_string(getpid()) + ".vdch");
    vidora::SaveDocumentFile(root, path);
    auto loaded = std::make_unique<vidora::ChannelCatalogue>();
    loaded->Load(path, nullptr);
    std::filesystem::remove(path);
    return loaded;
  }();
  return *catalogue;
}

// The zapping list of every channel, numbered as a playlist numbers them:
// mostly by place, every tenth with a tvg-chno of its own.
vidora::ZapList& List() {
  static vidora::ZapList* list = [] {
    auto* made = new vidora::ZapList();
    std::vector<vidora::Channel*> channels = Catalogue().AllChannels();
    auto* places = new std::unordered_map<const vidora::Channel*, size_t>();
    for (size_t i = 0; i < channels.size(); ++i) places->emplace(channels[i], i);
    made->Set(
        std::move(channels),
        [places](const vidora::Channel& channel) {
          const size_t i = places->at(&channel);
          return i % 10 == 0 ? std::to_string(500000 + i) : std::string();
        },
        Catalogue().ListVersion());
    return made;
  }();
  return *list;
}

double ThreadCpuNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// CPU nanoseconds of one pass over the list's pointers, the median of 31
// runs of 20 passes: CPU time, like the cases', so that other work on the
// machine changes neither.
double ScanNanoseconds() {
  static const double nanoseconds = [] {
    const std::vector<vidora::Channel*>& channels = Catalogue().AllChannels();
    std::vector<double> runs;
    for (int run = 0; run < 31; ++run) {
      const double start = ThreadCpuNanoseconds();
      for (int pass = 0; pass < 20; ++pass) {
        auto found = std::find(channels.begin(), channels.end(), nullptr);
        benchmark::DoNotOptimize(found);
      }
      runs.push_back((ThreadCpuNanoseconds() - start) / 20);
    }
    std::nth_element(runs.begin(), runs.begin() + 15, runs.end());
    return runs[15];
  }();
  return nanoseconds;
}

// Runs `body` once per iteration and reports its CPU time per iteration
// as a multiple of one pass over the list ("x_scan").
template <typename Body>
void RunAgainstScan(benchmark::State& state, Body body) {
  const double scan = ScanNanoseconds();
  const double start = ThreadCpuNanoseconds();
  for (auto _ : state) body();
  const double per_iteration = (ThreadCpuNanoseconds() - start) / static_cast<double>(state.iterations());
  state.counters["x_scan"] = per_iteration / scan;
}

void BM_ScanBaseline(benchmark::State& state) {
  const std::vector<vidora::Channel*>& channels = Catalogue().AllChannels();
  for (auto _ : state) {
    auto found = std::find(channels.begin(), channels.end(), nullptr);
    benchmark::DoNotOptimize(found);
  }
}

// A step from the middle of the list and one from a quarter of it (the
// first step after arriving at each from elsewhere).
void BM_StepFromMiddle(benchmark::State& state) {
  const vidora::ZapList& list = List();
  vidora::Channel* middle = Catalogue().AllChannels()[kChannels / 2];
  vidora::Channel* elsewhere = Catalogue().AllChannels()[kChannels / 4];
  const bool forward = state.range(0) != 0;
  RunAgainstScan(state, [&] {
    // A step from another place first, so that each timed step is the
    // first one from the middle.
    benchmark::DoNotOptimize(list.Step(elsewhere, forward));
    benchmark::DoNotOptimize(list.Step(middle, forward));
  });
}

// Zapping on: each step starts from the channel the one before reached.
void BM_StepOn(benchmark::State& state) {
  const vidora::ZapList& list = List();
  vidora::Channel* current = Catalogue().AllChannels()[kChannels / 2];
  const bool forward = state.range(0) != 0;
  RunAgainstScan(state, [&] {
    current = list.Step(current, forward);
    benchmark::DoNotOptimize(current);
  });
}

void BM_FindNumber(benchmark::State& state) {
  const vidora::ZapList& list = List();
  // The list's last channel by place, and a number no channel has.
  const std::string number = state.range(0) != 0 ? std::to_string(kChannels) : "999999";
  RunAgainstScan(state, [&] { benchmark::DoNotOptimize(list.FindNumber(number)); });
}

}  // namespace

BENCHMARK(BM_ScanBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepFromMiddle)->Unit(benchmark::kMicrosecond)->ArgName("forward")->Arg(1)->Arg(0);
BENCHMARK(BM_StepOn)->Unit(benchmark::kMicrosecond)->ArgName("forward")->Arg(1)->Arg(0);
BENCHMARK(BM_FindNumber)->Unit(benchmark::kMicrosecond)->ArgName("present")->Arg(1)->Arg(0);
BENCHMARK_MAIN();
