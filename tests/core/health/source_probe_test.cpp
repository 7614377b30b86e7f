// Probing single sources against local stand-ins for stream servers that
// answer, refuse, hang and trickle.
#include "core/health/source_probe.h"

#include <gtest/gtest.h>

#include "core/health/stream_hosts.h"

namespace vidora {
namespace {

using testing::StreamHost;

SourceCheck Probe(const std::string& url, long budget_ms = 1500) {
  ProbeRequest request;
  request.url = url;
  request.budget_ms = budget_ms;
  return ProbeSource(request);
}

TEST(SourceProbeTest, StreamsAnswerOnceTheirFirstBytesArriveWithTheSourcesOwnHeaders) {
  StreamHost host;
  ASSERT_TRUE(host.ok());
  ProbeRequest request;
  request.url = host.Url("/live.ts");
  request.user_agent = "SetTopBox/2.1";
  request.referrer = "http://portal.example/";
  request.cookie = "token=abc";
  const SourceCheck live = ProbeSource(request);
  EXPECT_EQ(live.state, SourceState::kLive);
  EXPECT_EQ(host.last_header("User-Agent"), "SetTopBox/2.1");
  EXPECT_EQ(host.last_header("Referer"), "http://portal.example/");
  EXPECT_EQ(host.last_header("Cookie"), "token=abc");

  // A whole short file plays as well.
  EXPECT_EQ(Probe(host.Url("/short.ts")).state, SourceState::kLive);
}

TEST(SourceProbeTest, HlsAnswersOnlyWhenItsPlaylistListsASegmentThatAnswers) {
  StreamHost host;
  ASSERT_TRUE(host.ok());
  EXPECT_EQ(Probe(host.Url("/master.m3u8")).state, SourceState::kLive);  // through the variant
  EXPECT_EQ(Probe(host.Url("/media.m3u8")).state, SourceState::kLive);

  const SourceCheck broken = Probe(host.Url("/broken.m3u8"));
  EXPECT_EQ(broken.state, SourceState::kDead);
  EXPECT_EQ(broken.reason, DeadReason::kSegmentFailed);
  EXPECT_EQ(broken.http_status, 404);
  EXPECT_EQ(Probe(host.Url("/bare.m3u8")).reason, DeadReason::kNoSegment);
}

TEST(SourceProbeTest, ServersThatRefuseHangTrickleOrAnswerWithoutAStreamAreDeadWithTheirReason) {
  StreamHost host;
  ASSERT_TRUE(host.ok());
  const SourceCheck refused = Probe("http://127.0.0.1:" + std::to_string(testing::RefusingPort()) + "/live.ts");
  EXPECT_EQ(refused.state, SourceState::kDead);
  EXPECT_EQ(refused.reason, DeadReason::kRefused);

  EXPECT_EQ(Probe(host.Url("/hang"), 600).reason, DeadReason::kNoAnswer);
  // Headers and a byte now and then are not a stream.
  EXPECT_EQ(Probe(host.Url("/trickle"), 600).reason, DeadReason::kTooSlow);

  const SourceCheck missing = Probe(host.Url("/missing"));
  EXPECT_EQ(missing.reason, DeadReason::kHttpStatus);
  EXPECT_EQ(missing.http_status, 404);
  EXPECT_EQ(Probe(host.Url("/page")).reason, DeadReason::kWebPage);
  EXPECT_EQ(Probe(host.Url("/empty")).reason, DeadReason::kEmpty);
  EXPECT_EQ(Probe("http://no-such-host.invalid/live.ts").reason, DeadReason::kNoHost);
}

}  // namespace
}  // namespace vidora
