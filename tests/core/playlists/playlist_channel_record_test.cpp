#include "core/playlists/playlist_channel_record.h"

#include <gtest/gtest.h>

#include <string>

#include "core/playlists/playlist_library.h"

namespace vidora {
namespace {

// Long texts (lengths past one byte of their count), texts beyond the
// basic plane and empty ones come back as they went in, record after
// record in one arena; a tvg-id the node name holds comes back too.
TEST(PlaylistChannelRecordTest, EveryTextComesBackAsItWasKept) {
  CatalogueArena arena;
  const std::string cookie(300, 'c');
  const std::string properties(70000, 'p');
  const PlaylistChannelRecord odd = PlaylistChannelRecord::Make(
      7, {"name", "http://logo.example/\xF0\x9F\x8E\xB5.png", "", "", cookie, "a.tv", "", "12", "", properties, ""},
      arena);
  const PlaylistChannelRecord plain = PlaylistChannelRecord::Make(
      8, {"n2", "", "Agent/1", "http://ref.example/", "", "", "Other Name", "", "mode=default", "", "h"}, arena);
  const PlaylistChannelRecord by_id = PlaylistChannelRecord::Make(
      300000, {"ibbc.one.uk", "", "", "", "", "bbc.one.uk", "", "", "", "", ""}, arena);

  EXPECT_EQ(odd.name(), "name");
  const PlaylistChannelInfo a = odd.info();
  EXPECT_EQ(a.position, 7u);
  EXPECT_EQ(a.logo, "http://logo.example/\xF0\x9F\x8E\xB5.png");
  EXPECT_EQ(a.user_agent, "");
  EXPECT_EQ(a.cookie, cookie);
  EXPECT_EQ(a.guide_id, "a.tv");
  EXPECT_EQ(a.channel_number, "12");
  EXPECT_EQ(a.properties, properties);
  EXPECT_EQ(a.source_headers, "");

  EXPECT_EQ(plain.name(), "n2");
  const PlaylistChannelInfo b = plain.info();
  EXPECT_EQ(b.position, 8u);
  EXPECT_EQ(b.user_agent, "Agent/1");
  EXPECT_EQ(b.referrer, "http://ref.example/");
  EXPECT_EQ(b.guide_id, "");
  EXPECT_EQ(b.guide_name, "Other Name");
  EXPECT_EQ(b.catchup, "mode=default");
  EXPECT_EQ(b.source_headers, "h");

  EXPECT_EQ(by_id.name(), "ibbc.one.uk");
  EXPECT_EQ(by_id.info().guide_id, "bbc.one.uk");
  EXPECT_EQ(by_id.info().position, 300000u);
}

}  // namespace
}  // namespace vidora
