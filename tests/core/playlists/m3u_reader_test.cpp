#include "core/playlists/m3u_reader.h"

#include <gtest/gtest.h>

#include "core/playlists/group_category.h"
#include "core/playlists/playlist_address.h"

namespace vidora {
namespace {

TEST(M3uReaderTest, ReadsAttributesHeaderAndOptionsOfRealPlaylists) {
  const std::string text =
      "\xEF\xBB\xBF#EXTM3U url-tvg=\"http://epg.example/guide.xml.gz\" tvg-shift=0\r\n"
      "#EXTINF:-1 tvg-id=\"bbc1.uk\" tvg-name=\"BBC One, HD\" tvg-logo=\"logos/bbc1.png\" tvg-country=\"UK\" "
      "tvg-language=\"English\" group-title=\"News;General\",BBC One HD\r\n"
      "#EXTVLCOPT:http-user-agent=Mozilla/5.0 (X11)\r\n"
      "#EXTVLCOPT:http-referrer=http://site.example/\r\n"
      "http://streams.example/bbc1/index.m3u8\r\n"
      "#EXTINF:0 tvg-name=\"The \"Best\" Channel\" group-title=\"Movies\",The \"Best\" Channel\r\n"
      "../best.m3u8?token=a,b\r\n"
      "#EXTINF:-1 radio=\"true\",Jazz FM\r\n"
      "#EXTGRP:Music\r\n"
      "http://radio.example/jazz\r\n";
  const M3uPlaylist playlist = ReadM3u(text, "http://lists.example/tv/all.m3u");
  EXPECT_EQ(playlist.guide_address, "http://epg.example/guide.xml.gz");
  EXPECT_EQ(playlist.skipped_lines, 0u);
  ASSERT_EQ(playlist.entries.size(), 3u);

  const PlaylistEntry& bbc = playlist.entries[0];
  EXPECT_EQ(bbc.name, "BBC One HD");
  EXPECT_EQ(bbc.tvg_id, "bbc1.uk");
  EXPECT_EQ(bbc.tvg_name, "BBC One, HD");
  EXPECT_EQ(bbc.tvg_logo, "http://lists.example/tv/logos/bbc1.png");
  EXPECT_EQ(bbc.tvg_country, "UK");
  EXPECT_EQ(bbc.tvg_language, "English");
  EXPECT_EQ(bbc.group, "News;General");
  EXPECT_EQ(bbc.user_agent, "Mozilla/5.0 (X11)");
  EXPECT_EQ(bbc.referrer, "http://site.example/");
  EXPECT_EQ(bbc.address, "http://streams.example/bbc1/index.m3u8");
  EXPECT_FALSE(bbc.radio);

  const PlaylistEntry& best = playlist.entries[1];
  EXPECT_EQ(best.tvg_name, "The \"Best\" Channel");
  EXPECT_EQ(best.name, "The \"Best\" Channel");
  EXPECT_EQ(best.address, "http://lists.example/best.m3u8?token=a,b");
  EXPECT_TRUE(best.user_agent.empty());  // options belong to one channel only

  const PlaylistEntry& jazz = playlist.entries[2];
  EXPECT_TRUE(jazz.radio);
  EXPECT_EQ(jazz.group, "Music");
}

TEST(M3uReaderTest, SkipsAndCountsBadLinesWithoutLosingTheRest) {
  const std::string text =
      "#EXTM3U\n"
      "#EXTINF:-1,Lost channel\n"               // no address before the next #EXTINF
      "#EXTINF:-1 tvg-name=\"unterminated\n"    // no name part
      "http://a.example/1\n"                    // its address goes with it
      "not an address\n"                        // spaces: no address
      "http://a.example/plain.ts\n"             // a plain address line
      "#EXTINF:-1,Good\n"
      "http://a.example/good\n"
      "#EXTINF:-1,Dangling at the end\n";
  const M3uPlaylist playlist = ReadM3u(text, "");
  ASSERT_EQ(playlist.entries.size(), 2u);
  EXPECT_EQ(playlist.entries[0].name, "plain.ts");
  EXPECT_EQ(playlist.entries[1].name, "Good");
  EXPECT_EQ(playlist.skipped_lines, 4u);
}

TEST(M3uReaderTest, RelativeAddressesAgainstUrlsAndFiles) {
  EXPECT_EQ(ResolveAddress("http://h.example/a/b/list.m3u?x=1", "c.ts"), "http://h.example/a/b/c.ts");
  EXPECT_EQ(ResolveAddress("http://h.example/a/b/list.m3u", "../../../c.ts"), "http://h.example/c.ts");
  EXPECT_EQ(ResolveAddress("http://h.example/a/list.m3u", "/root.ts"), "http://h.example/root.ts");
  EXPECT_EQ(ResolveAddress("https://h.example/a/list.m3u", "//cdn.example/x.ts"), "https://cdn.example/x.ts");
  EXPECT_EQ(ResolveAddress("http://h.example", "x.ts"), "http://h.example/x.ts");
  EXPECT_EQ(ResolveAddress("/home/u/lists/tv.m3u", "media/./one.ts"), "/home/u/lists/media/one.ts");
  EXPECT_EQ(ResolveAddress("/home/u/tv.m3u", "rtmp://live.example/app"), "rtmp://live.example/app");
  EXPECT_EQ(ResolveAddress("", "relative.ts"), "");
  EXPECT_EQ(ResolveAddress("http://h.example/", "with space.ts"), "");
  EXPECT_FALSE(HasAddressScheme("C:\\list.m3u"));
}

TEST(M3uReaderTest, ResolvedAddressesKeepTheirTextAsWritten) {
  // Schemes the HTTP library does not speak itself resolve all the same.
  EXPECT_EQ(ResolveAddress("udp://@239.0.0.1:1234/list", "x"), "udp://@239.0.0.1:1234/x");
  EXPECT_EQ(ResolveAddress("rtp://239.0.0.1:5000/", "y"), "rtp://239.0.0.1:5000/y");
  EXPECT_EQ(ResolveAddress("HTTP://H.Example:80/a/b.m3u", "c.ts"), "HTTP://H.Example:80/a/c.ts");
  // Escapes, bytes beyond ASCII, blanks of the base and queries stay as
  // they were; only the path's dot segments go.
  EXPECT_EQ(ResolveAddress("http://h.example/a b/\xC3\xA4/list.m3u", "../\xC3\xBC%2F.ts?t=a+b&u=%2F"),
            "http://h.example/a b/\xC3\xBC%2F.ts?t=a+b&u=%2F");
  EXPECT_EQ(ResolveAddress("http://h.example/a/b.m3u?q=1", "?y=2"), "http://h.example/a/b.m3u?y=2");
  EXPECT_EQ(ResolveAddress("http://h.example/a/b", "c:d.ts"), "http://h.example/a/c:d.ts");
  // In a file path '?', '#' and '%' are plain characters.
  EXPECT_EQ(ResolveAddress("/home/u/My Lists?#/tv.m3u", "../x%20y/a?b#c.ts"), "/home/u/x%20y/a?b#c.ts");
  EXPECT_EQ(ResolveAddress("/home/u/tv.m3u", "/abs/./x/../y.ts"), "/abs/y.ts");
  EXPECT_EQ(ResolveAddress("lists/tv.m3u", "../a.ts"), "lists/../a.ts");
}

TEST(M3uReaderTest, EmptyAndBinaryInputGiveNoChannels) {
  EXPECT_TRUE(ReadM3u("", "").entries.empty());
  const std::string junk("\x00\x01\xFF\xFE#EXTINF", 11);
  EXPECT_TRUE(ReadM3u(junk, "http://h.example/").entries.empty());
}

TEST(GroupCategoryTest, KeywordsOfEveryInterfaceLanguage) {
  EXPECT_STREQ(CategoryForGroup("World NEWS"), "n");
  EXPECT_STREQ(CategoryForGroup("Nachrichten"), "n");
  EXPECT_STREQ(CategoryForGroup("Actualités"), "n");
  EXPECT_STREQ(CategoryForGroup("Noticias"), "n");
  EXPECT_STREQ(CategoryForGroup("Новости"), "n");
  EXPECT_STREQ(CategoryForGroup("Спорт"), "sp");
  EXPECT_STREQ(CategoryForGroup("Deportes"), "sp");
  EXPECT_STREQ(CategoryForGroup("Musique"), "mu");
  EXPECT_STREQ(CategoryForGroup("Kinder"), "k");
  EXPECT_STREQ(CategoryForGroup("Детские"), "k");
  EXPECT_STREQ(CategoryForGroup("Films"), "mo");
  EXPECT_STREQ(CategoryForGroup("КИНО"), "mo");
  EXPECT_STREQ(CategoryForGroup("Religion"), "r");
  EXPECT_STREQ(CategoryForGroup("Regional"), "l");
  EXPECT_STREQ(CategoryForGroup("Webcams"), "wc");
  EXPECT_STREQ(CategoryForGroup("XXX Movies"), "ad");  // adult wins over film
  EXPECT_STREQ(CategoryForGroup("Documentary"), "e");
  EXPECT_STREQ(CategoryForGroup(""), "e");
  EXPECT_TRUE(IsRadioGroup("Radio Stations"));
  EXPECT_TRUE(IsRadioGroup("Радио"));
  EXPECT_TRUE(IsAudioOnlyAddress("http://r.example/stream.MP3?x=1"));
  EXPECT_FALSE(IsAudioOnlyAddress("http://r.example/mp3/live.m3u8"));
}

}  // namespace
}  // namespace vidora
