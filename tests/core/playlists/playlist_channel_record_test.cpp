#include "core/playlists/playlist_channel_record.h"

#include <gtest/gtest.h>

#include <string>

#include "core/playlists/playlist_library.h"

namespace vidora {
namespace {

// Long texts (lengths past one byte of their count), texts beyond the
// basic plane and empty ones come back as they went in, record after
// record in one arena.
TEST(PlaylistChannelRecordTest, EveryTextComesBackAsItWasKept) {
  CatalogueArena arena;
  const std::u16string cookie(300, u'c');
  const std::u16string group = u"Музыка \U0001F3B5";
  const std::string properties(70000, 'p');
  const PlaylistChannelRecord odd = PlaylistChannelRecord::Make(
      7, {u"http://logo.example/a.png", u"", u"", cookie, group},
      {"name", "a.tv", "", "12", "", properties, ""}, arena);
  const PlaylistChannelRecord plain = PlaylistChannelRecord::Make(
      8, {u"", u"Agent/1", u"http://ref.example/", u"", u""}, {"n2", "", "Other Name", "", "mode=default", "", "h"},
      arena);

  EXPECT_EQ(odd.name(), "name");
  const PlaylistChannelInfo a = odd.info();
  EXPECT_EQ(a.position, 7u);
  EXPECT_EQ(a.logo, u"http://logo.example/a.png");
  EXPECT_EQ(a.user_agent, u"");
  EXPECT_EQ(a.cookie, cookie);
  EXPECT_EQ(a.group, group);
  EXPECT_EQ(a.guide_id, "a.tv");
  EXPECT_EQ(a.channel_number, "12");
  EXPECT_EQ(a.properties, properties);
  EXPECT_EQ(a.source_headers, "");

  EXPECT_EQ(plain.name(), "n2");
  const PlaylistChannelInfo b = plain.info();
  EXPECT_EQ(b.position, 8u);
  EXPECT_EQ(b.user_agent, u"Agent/1");
  EXPECT_EQ(b.referrer, u"http://ref.example/");
  EXPECT_EQ(b.guide_name, "Other Name");
  EXPECT_EQ(b.catchup, "mode=default");
  EXPECT_EQ(b.source_headers, "h");
  EXPECT_EQ(reinterpret_cast<uintptr_t>(b.user_agent.data()) % alignof(char16_t), 0u);
}

}  // namespace
}  // namespace vidora
