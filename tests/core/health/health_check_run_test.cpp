// The check of many sources keeps its bounds and stops when cancelled.
#include "core/health/health_check_run.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "core/health/stream_hosts.h"

namespace vidora {
namespace {

using testing::StreamHost;

ProbeTarget Target(const StreamHost& host, const std::string& path) {
  ProbeTarget target;
  target.address = host.Url16(path);
  return target;
}

TEST(HealthCheckRunTest, NeverMoreThanEightProbesAtOnceNorTwoToOneServer) {
  // Six servers, each a host of its own: room for twelve probes if the
  // total were not bounded.
  std::vector<std::unique_ptr<StreamHost>> hosts;
  for (int n = 1; n <= 6; ++n) hosts.push_back(std::make_unique<StreamHost>("127.0.0." + std::to_string(n)));
  std::vector<ProbeTarget> targets;
  for (int i = 0; i < 72; ++i) {
    // Most on the first server, as a playlist of one provider has them.
    const StreamHost& host = *hosts[i < 30 ? 0 : static_cast<size_t>(i % 6)];
    targets.push_back(Target(host, "/slow.ts?ms=40&n=" + std::to_string(i)));
  }
  HealthCheckRun run(targets, HealthCheckLimits{});
  run.Run(nullptr);

  EXPECT_EQ(run.done(), targets.size());
  EXPECT_EQ(run.dead(), 0u);
  for (const SourceCheck& result : run.results()) EXPECT_EQ(result.state, SourceState::kLive);
  int served = 0;
  for (const auto& host : hosts) {
    EXPECT_LE(host->most_at_once(), 2);
    served += host->served();
  }
  EXPECT_EQ(served, 72);
  EXPECT_LE(run.most_at_once(), 8);
  EXPECT_GT(run.most_at_once(), 2);  // the bound is used, not one at a time
}

TEST(HealthCheckRunTest, MixedListTellsLiveFromDeadAndLeavesUncheckableSourcesUnknown) {
  StreamHost host;
  std::vector<ProbeTarget> targets = {Target(host, "/live.ts"), Target(host, "/missing"),
                                      Target(host, "/master.m3u8")};
  targets.push_back(ProbeTarget{u"rtmp://127.0.0.1/live/stream", "", "", "", ""});
  targets.push_back(ProbeTarget{u"provider:42", "no-such-provider", "", "", ""});
  HealthCheckRun run(targets, HealthCheckLimits{});
  run.Run(nullptr);
  ASSERT_EQ(run.results().size(), 5u);
  EXPECT_EQ(run.results()[0].state, SourceState::kLive);
  EXPECT_EQ(run.results()[1].state, SourceState::kDead);
  EXPECT_EQ(run.results()[2].state, SourceState::kLive);
  EXPECT_EQ(run.results()[3].state, SourceState::kUnknown);
  EXPECT_EQ(run.results()[4].state, SourceState::kUnknown);
  EXPECT_EQ(run.dead(), 1u);
}

TEST(HealthCheckRunTest, CancelStopsHangingProbesAndLeavesTheRestUnknown) {
  StreamHost host;
  std::vector<ProbeTarget> targets;
  for (int i = 0; i < 20; ++i) targets.push_back(Target(host, "/hang?n=" + std::to_string(i)));
  HealthCheckLimits limits;
  limits.source_ms = 60000;
  HealthCheckRun run(targets, limits);
  std::atomic<bool> cancel{false};
  std::thread stopper([&cancel] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    cancel = true;
  });
  run.Run(&cancel);
  stopper.join();
  EXPECT_EQ(run.done(), 0u);
  for (const SourceCheck& result : run.results()) EXPECT_EQ(result.state, SourceState::kUnknown);
}

}  // namespace
}  // namespace vidora
