// "Check channels" over 10,000 sources on a farm of local stream servers
// (eight hosts, 127.0.0.1 to 127.0.0.8): half of the sources dead (a
// refused connection or a 404), 200 slow (a 4 KB file after 600 ms), the
// rest endless MPEG-TS streams.
//
// BM_PlainRequests is the baseline: the same sources asked by eight
// threads with the player's plain HTTP GET, headers only, no bound per
// host. BM_CheckChannels runs the check as the player does, from the
// progress window's event loop, over a catalogue of 10,000 channels.
// Counters: total_s; vs_plain, its time over the baseline's of this run;
// stall_ms, the longest the event loop did not answer a 5 ms timer;
// most_at_once and most_on_one_host, the most probes the check ran at
// once in all and to one host (the bounds: 8 and 2; a probe closes its
// connection before it stops counting); dead, the sources found dead.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/document/text_codec.h"
#include "core/health/stream_hosts.h"
#include "core/net/curl_transfer.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "support/temp_dir.h"
#include "ui/health/channel_health_check.h"
#include "ui/skin/resource_pack.h"

namespace vidora {
namespace {

constexpr int kSources = 10000;
constexpr int kHosts = 8;

struct Farm {
  std::vector<std::unique_ptr<testing::StreamHost>> hosts;
  std::vector<std::string> urls;
  Farm() {
    for (int n = 1; n <= kHosts; ++n) hosts.push_back(std::make_unique<testing::StreamHost>("127.0.0." + std::to_string(n)));
    const int refused = testing::RefusingPort();
    for (int i = 0; i < kSources; ++i) {
      const testing::StreamHost& host = *hosts[static_cast<size_t>(i % kHosts)];
      const std::string n = std::to_string(i);
      if (i % 4 == 1) {
        urls.push_back("http://127.0.0." + std::to_string(1 + i % kHosts) + ":" + std::to_string(refused) + "/" + n);
      } else if (i % 4 == 3) {
        urls.push_back(host.Url("/missing?" + n));
      } else if (i % 50 == 0) {
        urls.push_back(host.Url("/slow.ts?ms=600&n=" + n));
      } else {
        urls.push_back(host.Url("/live.ts?" + n));
      }
    }
  }
};

Farm& TheFarm() {
  static Farm farm;
  return farm;
}

double plain_seconds = 0;

void BM_PlainRequests(benchmark::State& state) {
  const Farm& farm = TheFarm();
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    std::atomic<size_t> next{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([&] {
        for (size_t i = next++; i < farm.urls.size(); i = next++) {
          HttpGetRequest request;
          request.url = farm.urls[i];
          request.body_mode = BodyMode::kStopAtFirstByte;
          request.timeout_ms = 5000;
          benchmark::DoNotOptimize(PerformGet(request));
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    plain_seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
  }
  state.counters["total_s"] = plain_seconds;
}
BENCHMARK(BM_PlainRequests)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_CheckChannels(benchmark::State& state) {
  const Farm& farm = TheFarm();
  SetMessageSink([](const std::u16string&, const std::u16string&) {});
  SetBarUnitForDpi(96);
  Skin().Load("/nonexistent/Resources.qdoc", "/nonexistent/cbuild.qdoc");
  // The shipped texts, for the progress line and the closing sentence.
  Languages().Load(std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / kLanguagePackFileName, u"en");
  testing::TempDir dir;
  DocNode root("v_bench");
  DocNode* country = root.AddChild("bf");
  for (int i = 0; i < kSources; ++i) {
    DocNode* channel = country->AddChild("c" + std::to_string(i));
    channel->SetWideString("n", u"Channel " + Utf8ToUtf16(std::to_string(i)));
    channel->SetString("c", "n");
    channel->AddChild("0")->SetWideString("u", Utf8ToUtf16(farm.urls[static_cast<size_t>(i)]));
  }
  SaveDocumentFile(root, dir.path() / "Channels.vdch");
  ChannelCatalogue catalogue;
  catalogue.Load(dir.path() / "Channels.vdch", nullptr);

  for (auto _ : state) {
    ChannelHealthCheck::Options options;
    options.file = dir.path() / "source-checks.tsv";
    options.show_summary = false;
    options.recheck_delay_ms = -1;
    ChannelHealthCheck check(options);
    QElapsedTimer since;
    double stall = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
      stall = std::max(stall, static_cast<double>(since.nsecsElapsed()) / 1e6 - 5);
      since.restart();
    });
    QElapsedTimer timer;
    timer.start();
    since.start();
    tick.start(5);
    check.Check(nullptr, catalogue.AllChannels());
    tick.stop();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const HealthCheckRun* run = check.last_run();
    state.counters["total_s"] = seconds;
    state.counters["vs_plain"] = plain_seconds > 0 ? seconds / plain_seconds : 0;
    state.counters["stall_ms"] = stall;
    state.counters["most_at_once"] = run != nullptr ? run->most_at_once() : -1;
    state.counters["most_on_one_host"] = run != nullptr ? run->most_on_one_host() : -1;
    state.counters["dead"] = run != nullptr ? static_cast<double>(run->dead()) : -1;
    while (check.busy()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
}
BENCHMARK(BM_CheckChannels)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace vidora
