// Shapes of real playlists that other players read, one case per shape.
#include <gtest/gtest.h>

#include "core/playlists/m3u_reader.h"
#include "core/playlists/playlist_document.h"

namespace vidora {
namespace {

TEST(M3uShapesTest, HeadersAfterAPipeBelongToTheSourceAndLeaveTheAddress) {
  const M3uPlaylist playlist = ReadM3u(
      "#EXTM3U\n"
      "#EXTINF:-1 tvg-id=\"one.tv\",One\n"
      "http://s.example/one.m3u8|User-Agent=Mozilla/5.0 (X11; Linux x86_64)&Referer=http://site.example/?a=1&b=2\n"
      "#EXTINF:-1,Two\n"
      "http://s.example/two.m3u8|user-agent=Mozilla%2F5.0%20(Windows)&Cookie=id%3D7\n",
      "");
  ASSERT_EQ(playlist.entries.size(), 2u);
  EXPECT_EQ(playlist.entries[0].address, "http://s.example/one.m3u8");
  EXPECT_EQ(playlist.entries[0].user_agent, "Mozilla/5.0 (X11; Linux x86_64)");
  EXPECT_EQ(playlist.entries[0].referrer, "http://site.example/?a=1&b=2");
  EXPECT_EQ(playlist.entries[1].user_agent, "Mozilla/5.0 (Windows)");
  EXPECT_EQ(playlist.entries[1].cookie, "id=7");
}

TEST(M3uShapesTest, HeaderAttributesExtHttpVlcOptionsAndKodiProperties) {
  const M3uPlaylist playlist = ReadM3u(
      "#EXTM3U\n"
      "#EXTINF:-1 user-agent=\"Agent A\" referrer=\"http://r.example/\",A\n"
      "http://s.example/a\n"
      "#EXTINF:-1 http-referrer=\"http://h.example/\",B\n"
      "#EXTHTTP:{\"User-Agent\":\"Agent \\\"B\\\"\",\"Cookie\":\"k=v\"}\n"
      "http://s.example/b\n"
      "#EXTINF:-1,C\n"
      "#EXTVLCOPT:http-user-agent=\"Agent C\"\n"
      "#KODIPROP:inputstream.adaptive.license_type=com.widevine.alpha\n"
      "#KODIPROP:inputstream.adaptive.license_key=https://lic.example/\n"
      "http://s.example/c.mpd\n",
      "");
  ASSERT_EQ(playlist.entries.size(), 3u);
  EXPECT_EQ(playlist.entries[0].user_agent, "Agent A");
  EXPECT_EQ(playlist.entries[0].referrer, "http://r.example/");
  EXPECT_EQ(playlist.entries[1].referrer, "http://h.example/");
  EXPECT_EQ(playlist.entries[1].user_agent, "Agent \"B\"");
  EXPECT_EQ(playlist.entries[1].cookie, "k=v");
  EXPECT_EQ(playlist.entries[2].user_agent, "Agent C");
  EXPECT_EQ(playlist.entries[2].properties.size(), 2u);
}

TEST(M3uShapesTest, CatchupNumbersAndGroupsAsWritten) {
  const M3uPlaylist playlist = ReadM3u(
      "#EXTM3U x-name=\"My TV\" catchup=\"shift\" tvg-shift=\"-1\" url-tvg=\"http://g.example/e.xml\"\n"
      "#EXTINF:-1 tvg-chno=\"12\" catchup=\"default\" catchup-source=\"http://s.example/a?utc={utc}&d={duration}\" "
      "catchup-days=\"7\" catchup-correction=\"0.5\" timeshift=\"3\" tvg-rec=\"2\" group-title=\"News\",A\n"
      "#EXTGRP:Ignored\n"
      "http://s.example/a\n"
      "#EXTINF:-1,B\n"
      "#EXTGRP:Sport\n"
      "http://s.example/b\n",
      "");
  EXPECT_EQ(playlist.name, "My TV");
  EXPECT_EQ(playlist.catchup.catchup, "shift");
  EXPECT_EQ(playlist.catchup.tvg_shift, "-1");
  ASSERT_EQ(playlist.entries.size(), 2u);
  const PlaylistEntry& a = playlist.entries[0];
  EXPECT_EQ(a.channel_number, "12");
  EXPECT_EQ(a.group, "News");
  ASSERT_TRUE(a.catchup);
  EXPECT_EQ(a.catchup->catchup, "default");
  EXPECT_EQ(a.catchup->source, "http://s.example/a?utc={utc}&d={duration}");
  EXPECT_EQ(a.catchup->days, "7");
  EXPECT_EQ(a.catchup->correction, "0.5");
  EXPECT_EQ(a.catchup->timeshift, "3");
  EXPECT_EQ(a.catchup->tvg_rec, "2");
  EXPECT_EQ(playlist.entries[1].group, "Sport");
  EXPECT_FALSE(playlist.entries[1].catchup);
}

TEST(M3uShapesTest, EveryGuideAddressOfTheHeaderAndItsShift) {
  // Both attributes, each a list; x-tvg-shift stands in for tvg-shift.
  const M3uPlaylist both = ReadM3u(
      "#EXTM3U url-tvg=\"http://a.example/1.xml,http://a.example/2.xml\" x-tvg-url=\"http://b.example/3.xml.gz\" "
      "x-tvg-shift=\"-2.5\"\n#EXTINF:-1,A\nhttp://s.example/a\n",
      "");
  EXPECT_EQ(both.guide_address, "http://a.example/1.xml,http://a.example/2.xml,http://b.example/3.xml.gz");
  EXPECT_EQ(both.catchup.tvg_shift, "-2.5");
  const M3uPlaylist same = ReadM3u(
      "#EXTM3U x-tvg-url=\"http://a.example/g.xml\" url-tvg=\"http://a.example/g.xml\" x-tvg-shift=\"3\" "
      "tvg-shift=\"1\"\n",
      "");
  EXPECT_EQ(same.guide_address, "http://a.example/g.xml");
  EXPECT_EQ(same.catchup.tvg_shift, "1");
}

TEST(M3uShapesTest, NamesSourcesSeparatorsAndPastedLists) {
  const M3uPlaylist playlist = ReadM3u(
      "#EXTM3U\n"
      "#EXTINF:-1 tvg-name=\"From Tvg\",\n"
      "http://s.example/x\n"
      "#EXTINF:-1,\n"
      "http://s.example/live/segment.ts\n"
      "#EXTINF:-1,Two Sources\n"
      "http://s.example/first\n"
      "http://s.example/second|Referer=http://r.example/\n"
      "#EXTINF:-1,=====sudan=====\n"
      "http://s.example/dummy\n"
      "---UHD | 4K Channels\n"
      "#EXTM3U url-tvg=\"http://late.example/\"\n"
      "#EXTINF:-1,Spaced\n"
      "http://s.example/my channel.m3u8\n",
      "http://lists.example/all.m3u");
  ASSERT_EQ(playlist.entries.size(), 5u);
  EXPECT_EQ(playlist.entries[0].name, "From Tvg");
  EXPECT_EQ(playlist.entries[1].name, "segment.ts");
  EXPECT_EQ(playlist.entries[3].name, "Two Sources");
  EXPECT_TRUE(playlist.entries[3].continues_previous);
  EXPECT_EQ(playlist.entries[3].referrer, "http://r.example/");
  EXPECT_TRUE(playlist.entries[2].referrer.empty());
  EXPECT_EQ(playlist.entries[4].address, "http://s.example/my%20channel.m3u8");
  EXPECT_TRUE(playlist.guide_address.empty());
  EXPECT_EQ(playlist.skipped_lines, 2u);
}

TEST(M3uShapesTest, MusicPlayerShapesDurationsOnlyEmptyFieldsAndAListTitle) {
  const M3uPlaylist playlist = ReadM3u(
      "#EXTM3U\n"
      "#PLAYLIST:Evening Lineup\n"
      "#EXTINF: 10\n"  // a duration and no title
      "http://s.example/vod/part0.ts\n"
      "#EXTINF:-1 tvg-name=\"By Tvg\"\n"
      "http://s.example/1\n"
      "#EXTINF: 4,,Morning Show\n"  // an empty field before the title
      "http://s.example/vod/part4.ts\n",
      "http://lists.example/all.m3u");
  ASSERT_EQ(playlist.entries.size(), 3u);
  EXPECT_EQ(playlist.entries[0].name, "part0.ts");
  EXPECT_EQ(playlist.entries[1].name, "By Tvg");
  EXPECT_EQ(playlist.entries[2].name, "Morning Show");
  EXPECT_EQ(playlist.name, "Evening Lineup");
  EXPECT_EQ(playlist.skipped_lines, 0u);
  // The header's own name wins over #PLAYLIST.
  EXPECT_EQ(ReadM3u("#EXTM3U x-name=\"Own\"\n#PLAYLIST:Other\n", "").name, "Own");
}

TEST(M3uShapesTest, OverlongTextsAreCutAndSourcesPerChannelBounded) {
  std::string text = "#EXTM3U\n#EXTINF:-1 tvg-id=\"x\"," + std::string(100000, 'N') + "\nhttp://s.example/long\n";
  for (size_t i = 0; i < kMaxSourcesPerChannel + 10; ++i) {
    text += "#EXTINF:-1 tvg-id=\"same\",Same\nhttp://s.example/" + std::to_string(i) + "\n";
  }
  text += "#EXTINF:-1,Long address\nhttp://s.example/" + std::string(kMaxEntryAddressBytes, 'a') + "\n";
  const M3uPlaylist playlist = ReadM3u(text, "");
  ASSERT_EQ(playlist.entries.size(), 1 + kMaxSourcesPerChannel + 10);
  EXPECT_EQ(playlist.entries[0].name.size(), kMaxEntryNameBytes);
  EXPECT_EQ(playlist.shortened_entries, 1u);
  EXPECT_EQ(playlist.dropped_entries, 1u);  // the long address
  PlaylistWriteCounts counts;
  WritePlaylistDocument(playlist, PlaylistOrigin{"pl00000000", u"t", u"", 0}, [](std::string_view) { return true; },
                        &counts);
  EXPECT_EQ(counts.channels, 2u);
  EXPECT_EQ(counts.dropped_sources, 10u);
}

TEST(M3uShapesTest, StreamsWebPagesAndEmptyAnswersAreToldApartByContent) {
  EXPECT_EQ(ClassifyPlaylistText("#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1280000\nlow/index.m3u8\n"),
            PlaylistTextKind::kStream);
  EXPECT_EQ(ClassifyPlaylistText("#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:6\n#EXTINF:6.0,\nseg1.ts\n"),
            PlaylistTextKind::kStream);
  EXPECT_EQ(ClassifyPlaylistText("#EXTM3U\n#EXTINF:-1 tvg-id=\"a\",A\nhttp://s.example/a.m3u8\n"),
            PlaylistTextKind::kPlaylist);
  const std::string page = "<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head><body></body></html>\n";
  EXPECT_EQ(ClassifyPlaylistText(page), PlaylistTextKind::kWebPage);
  EXPECT_EQ(WebPageTitle(page), "404 Not Found");
  EXPECT_EQ(ClassifyPlaylistText(" \r\n"), PlaylistTextKind::kEmpty);
}

}  // namespace
}  // namespace vidora
