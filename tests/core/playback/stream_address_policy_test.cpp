#include "core/playback/stream_address_policy.h"

#include <gtest/gtest.h>

#include <string>

namespace vidora {
namespace {

TEST(StreamAddressPolicyTest, NetworkStreamSchemesPassInAnyLetterCase) {
  for (const char16_t* address :
       {u"http://127.0.0.1/live", u"HTTPS://example.invalid/a.m3u8", u"rtsp://h/s", u"rtsps://h/s", u"rtmp://h/app",
        u"rtmps://h/app", u"mms://h/s", u"mmsh://h/s", u"udp://239.0.0.1:1234", u"rtp://239.0.0.1:5004"}) {
    EXPECT_TRUE(IsAllowedStreamAddress(address)) << std::string(address, address + std::char_traits<char16_t>::length(address));
  }
}

TEST(StreamAddressPolicyTest, LocalResourcesAndPlayerFeaturesAreRefusedFromTheNetwork) {
  for (const char16_t* address :
       {u"av://lavfi:anullsrc,ametadata=mode=print:file=/tmp/x", u"lavfi://sine", u"file:///etc/hostname",
        u"fd://0", u"edl://a;b", u"memory://abc", u"concat:a|b", u"subfile:,,start,0,end,4,,:/etc/passwd",
        u"/etc/hostname", u"relative/path.ts", u"ytdl://x", u"http:/single-slash", u"http:", u"://x",
        u" http://leading-blank", u"http://x/\nfile:///etc", u"", u"hls://x", u"smb://h/share"}) {
    EXPECT_FALSE(IsAllowedStreamAddress(address)) << std::string(address, address + std::char_traits<char16_t>::length(address));
  }
}

TEST(StreamAddressPolicyTest, AUsersOwnFileMayBeAPathOrAFileAddressButNoPlayerFeature) {
  EXPECT_TRUE(IsAllowedStreamAddress(u"/home/u/clip.ts", StreamAddressOrigin::kUserLocalFile));
  EXPECT_TRUE(IsAllowedStreamAddress(u"file:///home/u/clip.ts", StreamAddressOrigin::kUserLocalFile));
  EXPECT_TRUE(IsAllowedStreamAddress(u"http://127.0.0.1/x", StreamAddressOrigin::kUserLocalFile));
  EXPECT_FALSE(IsAllowedStreamAddress(u"av://lavfi:sine", StreamAddressOrigin::kUserLocalFile));
  EXPECT_FALSE(IsAllowedStreamAddress(u"edl://a", StreamAddressOrigin::kUserLocalFile));
}

}  // namespace
}  // namespace vidora
