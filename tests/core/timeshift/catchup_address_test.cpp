// Archive addresses checked against a local archive server that answers
// only the exact address each kind of archive must ask for, and logs what
// it was asked.
#include "core/timeshift/catchup_address.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>
#include <string>

#include "core/net/http_client.h"
#include "core/net/local_http_server.h"
#include "core/timeshift/catchup_template.h"
#include "core/timeshift/channel_archive.h"

namespace vidora {
namespace {

using testing::HttpAnswer;
using testing::LocalHttpServer;
using testing::RequestPath;

constexpr int64_t kNow = 1796763600;    // 2026-12-08 21:00:00 UTC
constexpr int64_t kStart = 1796760000;  // 20:00:00 UTC, 22:00 in the test's zone
constexpr int64_t kEnd = 1796762700;    // 20:45:00 UTC

class CatchupAddressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ClearProxyEnvironment();
    const char* zone = std::getenv("TZ");
    saved_zone_ = zone ? zone : "";
    had_zone_ = zone != nullptr;
    setenv("TZ", "EET-2", 1);
    tzset();
  }
  void TearDown() override {
    if (had_zone_) setenv("TZ", saved_zone_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

  std::string Live(const std::string& path) const { return "http://" + server_.Host() + path; }

  // Asks the archive server for the address `entry` builds for the 20:00
  // programme and expects exactly `expected_path` to be asked and served.
  void ExpectAsked(const CatchupAttributes& entry, const std::string& live_path, const std::string& expected_path,
                   const std::string& catchup_id = {}, const CatchupAttributes& header = {}) {
    expected_ = expected_path;
    const ChannelArchive archive = ReadChannelArchive(entry, header, Live(live_path));
    ASSERT_TRUE(archive.available()) << entry.catchup;
    const CatchupAddress address = BuildCatchupAddress(archive, {kStart, kEnd, catchup_id}, kNow);
    ASSERT_EQ(address.refusal, CatchupRefusal::kNone);
    const std::u16string url(address.address.begin(), address.address.end());
    const std::unique_ptr<MemoryStream> body = DownloadToMemory(u"test", url);
    ASSERT_TRUE(body);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(body->Data()), body->size()), "archive");
    ASSERT_FALSE(server_.Requests().empty());
    EXPECT_EQ(RequestPath(server_.Requests().back()), expected_path);
  }

  std::string expected_;
  LocalHttpServer server_{[this](const std::string& head) -> std::optional<std::string> {
    if (RequestPath(head) == expected_) return HttpAnswer(200, "archive");
    return HttpAnswer(404, "no such programme");
  }};
  std::string saved_zone_;
  bool had_zone_ = false;
};

TEST_F(CatchupAddressTest, ModesDerivedFromTheLiveAddress) {
  ExpectAsked({.catchup = "shift"}, "/ch/1.m3u8", "/ch/1.m3u8?utc=1796760000&lutc=1796763600");
  ExpectAsked({.catchup = "shift"}, "/ch/1.m3u8?token=a", "/ch/1.m3u8?token=a&utc=1796760000&lutc=1796763600");
  ExpectAsked({.catchup = "append", .source = "?start=${start}&end=${end}"}, "/ch/2",
              "/ch/2?start=1796760000&end=1796762700");
  ExpectAsked({.catchup = "flussonic"}, "/325/index.m3u8?token=s", "/325/timeshift_rel-3600.m3u8?token=s");
  ExpectAsked({.catchup = "flussonic-hls"}, "/325/mono.m3u8", "/325/mono-timeshift_rel-3600.m3u8");
  ExpectAsked({.catchup = "flussonic"}, "/151/mpegts?token=t", "/151/timeshift_abs-1796760000.ts?token=t");
  ExpectAsked({.catchup = "fs"}, "/151/live?token=t", "/151/timeshift_abs-1796760000.ts?token=t");
  ExpectAsked({.catchup = "flussonic-ts"}, "/a/151/video", "/a/151/timeshift_abs-1796760000.ts");
  ExpectAsked({.catchup = "flussonic"}, "/151/video", "/151/timeshift_rel-3600.m3u8");
}

TEST_F(CatchupAddressTest, XtreamArchivesForEveryLiveForm) {
  ExpectAsked({.catchup = "xc"}, "/live/me/pw/1477.m3u8", "/timeshift/me/pw/45/2026-12-08:22-00/1477.m3u8");
  ExpectAsked({.catchup = "xc"}, "/live/me/pw/1477.ts", "/timeshift/me/pw/45/2026-12-08:22-00/1477.ts");
  ExpectAsked({.catchup = "XC"}, "/me/pw/1477", "/timeshift/me/pw/45/2026-12-08:22-00/1477.ts");
  const ChannelArchive ts = ReadChannelArchive({.catchup = "xc"}, {}, Live("/live/me/pw/1477.ts"));
  EXPECT_TRUE(ts.ts_stream);
  EXPECT_FALSE(ReadChannelArchive({.catchup = "xc"}, {}, Live("/get.php?username=me")).available());
}

TEST_F(CatchupAddressTest, EveryPlaceholderFamily) {
  ExpectAsked({.catchup = "default", .source = Live("/a?s={utc}&e={utcend}&n={lutc}")}, "/live",
              "/a?s=1796760000&e=1796762700&n=1796763600");
  ExpectAsked({.catchup = "default", .source = Live("/b?n=${now}&t=${timestamp}&o=${offset}")}, "/live",
              "/b?n=1796763600&t=1796763600&o=3600");
  ExpectAsked({.catchup = "default", .source = Live("/c/{duration}/{duration:60}/{offset:60}/${duration}")}, "/live",
              "/c/2700/45/60/2700");
  ExpectAsked({.catchup = "default", .source = Live("/d/{Y}/{m}/{d}/{H}{M}{S}.ts")}, "/live", "/d/2026/12/08/220000.ts");
  ExpectAsked({.catchup = "default", .source = Live("/e/{utc:Y-m-d_H-M-S}/${end:YmdHM}/{lutc:H}")}, "/live",
              "/e/2026-12-08_22-00-00/202612082245/23");
  ExpectAsked({.catchup = "vod", .source = Live("/vod/{catchup-id}.mp4")}, "/live", "/vod/ev-81.mp4", "ev-81");
  ExpectAsked({.catchup = "vod"}, "/live", "/vod/ev-82.mp4", Live("/vod/ev-82.mp4"));
  // The header's template stands in for the entry's.
  ExpectAsked({}, "/live", "/f/1796760000", {}, {.catchup = "default", .source = Live("/f/{utc}")});
  // What is no placeholder of ours stays as written.
  const CatchupTimes times{kStart, 60, kNow, {}};
  EXPECT_EQ(ExpandCatchupTemplate("{none}${utc}{offset}{duration:0}{catchup-id}{utc", times),
            "{none}$1796760000{offset}{duration:0}{catchup-id}{utc");
}

TEST_F(CatchupAddressTest, ShiftAndCorrectionMoveTheStart) {
  ExpectAsked({.catchup = "append", .source = "?s={utc}&h={H}", .correction = "1"}, "/g", "/g?s=1796756400&h=21");
  ExpectAsked({.catchup = "append", .source = "?s={utc}", .correction = "-0.5", .tvg_shift = "2"}, "/g",
              "/g?s=1796754600");
}

TEST_F(CatchupAddressTest, ArchiveDaysDecideWhatIsOffered) {
  const auto age = [](int64_t days) { return ArchiveProgramme{kNow - days * 86400, kNow - days * 86400 + 600, {}}; };
  const std::string live = Live("/h.m3u8");
  const ChannelArchive three = ReadChannelArchive({.catchup = "shift", .days = "3"}, {}, live);
  EXPECT_EQ(BuildCatchupAddress(three, age(2), kNow).refusal, CatchupRefusal::kNone);
  EXPECT_EQ(BuildCatchupAddress(three, age(4), kNow).refusal, CatchupRefusal::kTooOld);
  const ChannelArchive header = ReadChannelArchive({.catchup = "shift"}, {.days = "1"}, live);
  EXPECT_EQ(BuildCatchupAddress(header, age(2), kNow).refusal, CatchupRefusal::kTooOld);
  const ChannelArchive legacy = ReadChannelArchive({.timeshift = "7"}, {}, live);
  EXPECT_EQ(legacy.mode, CatchupMode::kShift);
  EXPECT_EQ(BuildCatchupAddress(legacy, age(6), kNow).refusal, CatchupRefusal::kNone);
  const ChannelArchive rec = ReadChannelArchive({.tvg_rec = "2"}, {}, live);
  EXPECT_EQ(BuildCatchupAddress(rec, age(3), kNow).refusal, CatchupRefusal::kTooOld);
  EXPECT_EQ(BuildCatchupAddress(three, {kNow + 60, kNow + 600, {}}, kNow).refusal, CatchupRefusal::kNotStarted);
  EXPECT_FALSE(ReadChannelArchive({.catchup = "default"}, {}, live).available());
  EXPECT_FALSE(ReadChannelArchive({.catchup = "append"}, {}, live).available());
  EXPECT_EQ(BuildCatchupAddress(ReadChannelArchive({}, {}, live), age(1), kNow).refusal, CatchupRefusal::kNoArchive);
}

}  // namespace
}  // namespace vidora
