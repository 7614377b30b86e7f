// Requests against servers that trickle, flood or send oversized answers
// end within their bounds.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/net/http_client.h"
#include "core/net/http_limits.h"
#include "core/updates/update_checks.h"
#include "core/updates/version_description.h"
#include "core/stores/message_sink.h"
#include "core/net/local_http_server.h"
#include "core/net/slow_server.h"

namespace vidora {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsOf(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class HostileServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ClearProxyEnvironment();
    saved_ = CurrentHttpLimits();
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
  }
  void TearDown() override {
    SetMessageSink({});
    SetHttpLimits(saved_);
  }

  // Runs every kind of request at once against `server` and returns how
  // long each took: page, cookie, version file, catalogue file.
  std::vector<double> RunEveryKind(const testing::SlowServer& server, std::vector<bool>& failed) {
    std::vector<double> seconds(4, 0.0);
    failed.assign(4, false);
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
      seconds[0] = SecondsOf([&] { failed[0] = FetchPageText(server.Url("/stream/x")).empty(); });
    });
    threads.emplace_back([&] {
      seconds[1] = SecondsOf([&] { failed[1] = FetchCookieValue(server.Host16(), u"general/x.html", u"tv").value.empty(); });
    });
    threads.emplace_back([&] {
      seconds[2] = SecondsOf([&] {
        failed[2] = DownloadToMemory(u"Agent", server.Url("/update.dat"), nullptr, HttpRequestKind::kVersionFile) == nullptr;
      });
    });
    threads.emplace_back([&] {
      seconds[3] = SecondsOf([&] {
        failed[3] = DownloadToMemory(u"Agent", server.Url("/Channels.vdch"), nullptr, HttpRequestKind::kCatalogueFile) == nullptr;
      });
    });
    for (std::thread& thread : threads) thread.join();
    return seconds;
  }

  HttpLimits saved_;
};

TEST_F(HostileServerTest, ATrickleOfTwoBytesASecondFailsEveryKindWithinTheSlowWindow) {
  const HttpLimits limits = CurrentHttpLimits();
  ASSERT_LE(limits.slow_window_seconds, 15);
  testing::SlowServer server(1 << 20, 1, 500);
  std::vector<bool> failed;
  const std::vector<double> seconds = RunEveryKind(server, failed);
  for (size_t kind = 0; kind < seconds.size(); ++kind) {
    EXPECT_TRUE(failed[kind]) << kind;
    // The window, plus generous room for a busy machine.
    EXPECT_LT(seconds[kind], limits.slow_window_seconds + 10.0) << kind;
  }
}

TEST_F(HostileServerTest, ATransferJustAboveTheMinimumSpeedEndsAtItsTotalLimit) {
  HttpLimits limits = CurrentHttpLimits();
  limits.min_bytes_per_second = 1;
  limits.page_total_seconds = 2;
  limits.version_total_seconds = 2;
  limits.catalogue_total_seconds = 4;
  SetHttpLimits(limits);
  testing::SlowServer server(1 << 20, 8, 100);  // 80 bytes a second, for ever
  std::vector<bool> failed;
  const std::vector<double> seconds = RunEveryKind(server, failed);
  // The cookie request ends with the header block, well before its limit;
  // a page cut off keeps what arrived, as after any broken transfer.
  EXPECT_FALSE(failed[1]);
  for (const size_t kind : {2u, 3u}) {
    EXPECT_TRUE(failed[kind]) << kind;
  }
  EXPECT_LT(seconds[0], 2 + 5.0);
  EXPECT_LT(seconds[2], 2 + 5.0);
  EXPECT_GE(seconds[3], 4 - 0.5);
  EXPECT_LT(seconds[3], 4 + 5.0);
}

long PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST_F(HostileServerTest, AHugeVersionAnswerIsCutOffAtAFewKiBWithoutTheMemoryToHoldIt) {
  testing::SlowServer server(63u << 20, 64 << 10, 0);  // 63 MiB as fast as it goes
  const long before = PeakResidentKiB();
  UpdateState state;
  bool newer = true;
  const double seconds = SecondsOf([&] { newer = CheckApplicationVersion(server.Host16(), state); });
  EXPECT_FALSE(newer);
  EXPECT_EQ(state.application_update_result.load(), UpdateOutcome::kError);
  EXPECT_LT(PeakResidentKiB() - before, 100 * 1024);
  EXPECT_LT(seconds, 10.0);
}

TEST(VersionDescriptionTest, OnlyTheRootNameIsRead) {
  auto bytes = [](const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); };
  // A name with attributes after it that claim more than there is.
  std::vector<uint8_t> doc = bytes(std::string("QDOC\x05") + "3.2.1" + std::string("\xff\xff\xff\xff", 4));
  EXPECT_EQ(ReadVersionName(doc.data(), static_cast<uint32_t>(doc.size())), "3.2.1");
  // The three length prefixes.
  const std::string name255(255, 'v');
  doc = bytes(std::string("QDOC\xff\xff\x00", 7) + name255);
  EXPECT_EQ(ReadVersionName(doc.data(), static_cast<uint32_t>(doc.size())), name255);
  const std::string name65535(65535, 'w');
  doc = bytes(std::string("QDOC\xff\xff\xff\xff\xff\x00\x00", 11) + name65535);
  EXPECT_EQ(ReadVersionName(doc.data(), static_cast<uint32_t>(doc.size())), name65535);
  // Damage: wrong magic, a name longer than what follows, a cut prefix.
  for (const std::string& bad : {std::string("QDOX\x01x"), std::string("QDOC\x05" "3.2"), std::string("QDOC\xff\x10", 6),
                                 std::string("QDOC\xff\xff\xff\xff", 8), std::string("QDOC"), std::string()}) {
    doc = bytes(bad);
    EXPECT_FALSE(ReadVersionName(doc.data(), static_cast<uint32_t>(doc.size())).has_value()) << bad.size();
  }
  EXPECT_FALSE(ReadVersionName(nullptr, 10).has_value());
}

}  // namespace
}  // namespace vidora
