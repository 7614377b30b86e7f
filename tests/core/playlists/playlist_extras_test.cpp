// What a playlist adds to its channels (logo, guide id, agent, referrer)
// as the library finds it after attaching, refreshing and rebuilding, and
// playlists whose channels share one name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/catalogue/catalogue_test_support.h"
#include "core/document/text_codec.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"
#include "core/playlists/playlist_library.h"

namespace vidora {
namespace {

using testing::CatalogueTest;

class PlaylistExtrasTest : public CatalogueTest {
 protected:
  void Import(std::string_view text) {
    const PlaylistImport result =
        ImportPlaylistText(text, u"http://lists.example/x.m3u", u"", dir_ / "playlists", 1000);
    ASSERT_TRUE(result.ok) << result.reason;
  }
};

TEST_F(PlaylistExtrasTest, AdditionsFollowRefreshesAndCatalogueRebuilds) {
  DocNode root("1.0");
  testing::AddChannel(*root.AddChild("de"), "ard", u"ARD", "e", {{3000, u"http://ard"}});
  ChannelCatalogue& catalogue = LoadCatalogueFile(Write(root));
  PlaylistLibrary library(dir_ / "playlists");
  Import(
      "#EXTM3U\n"
      "#EXTINF:-1 tvg-id=\"a.tv\" tvg-name=\"Channel A\" tvg-logo=\"http://l.example/a.png\",A\n"
      "#EXTVLCOPT:http-user-agent=Agent/A\n#EXTVLCOPT:http-referrer=http://ref.example/a\n"
      "http://s.example/a\n"
      "#EXTINF:-1 tvg-id=\"b.tv\" tvg-name=\"B\",B\nhttp://s.example/b\n");
  library.Scan();
  library.AttachAll(catalogue, nullptr, nullptr);
  const std::string key = library.playlists().at(0).key;

  std::optional<PlaylistChannelInfo> a = library.FindChannel(key + "_ia.tv");
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->logo, "http://l.example/a.png");
  EXPECT_EQ(a->guide_id, "a.tv");
  EXPECT_EQ(a->guide_name, "Channel A");
  EXPECT_EQ(a->user_agent, "Agent/A");
  EXPECT_EQ(a->referrer, "http://ref.example/a");
  const std::optional<PlaylistChannelInfo> b = library.FindChannel(key + "_ib.tv");
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->logo, "");
  EXPECT_EQ(b->guide_id, "b.tv");
  EXPECT_EQ(b->guide_name, "") << "a tvg-name equal to the name is the name";
  EXPECT_EQ(b->user_agent, "");
  EXPECT_FALSE(library.FindChannel(key + "_ic.tv").has_value());
  EXPECT_FALSE(library.FindChannel(key + "_").has_value());
  EXPECT_FALSE(library.FindChannel(key).has_value());
  EXPECT_FALSE(library.FindChannel("de_ard").has_value());

  // A refresh: A gets another logo and loses its agent, B goes, C comes
  // (listed before A).
  Import(
      "#EXTM3U\n"
      "#EXTINF:-1 tvg-id=\"c.tv\" tvg-logo=\"http://l.example/c.png\",C\n"
      "#EXTVLCOPT:http-user-agent=Agent/C\nhttp://s.example/c\n"
      "#EXTINF:-1 tvg-id=\"a.tv\" tvg-logo=\"http://l.example/a2.png\",A\nhttp://s.example/a\n");
  ASSERT_TRUE(library.Attach(catalogue, library.playlists().at(0).file, nullptr, nullptr));
  a = library.FindChannel(key + "_ia.tv");
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->logo, "http://l.example/a2.png");
  EXPECT_EQ(a->user_agent, "");
  EXPECT_EQ(a->referrer, "");
  EXPECT_FALSE(library.FindChannel(key + "_ib.tv").has_value());
  ASSERT_TRUE(library.FindChannel(key + "_ic.tv").has_value());
  EXPECT_EQ(library.FindChannel(key + "_ic.tv")->user_agent, "Agent/C");

  // The catalogue's own update builds the playlist again: the same additions.
  ASSERT_TRUE(catalogue.ReloadCatalogue());
  ASSERT_TRUE(library.FindChannel(key + "_ic.tv").has_value());
  EXPECT_EQ(library.FindChannel(key + "_ic.tv")->logo, "http://l.example/c.png");
  EXPECT_EQ(library.FindChannel(key + "_ia.tv")->guide_id, "a.tv");
  EXPECT_EQ(library.FindChannel(key + "_ia.tv")->position, 1u) << "the playlist's order stays";
  EXPECT_FALSE(library.FindChannel(key + "_ib.tv").has_value());

  library.Remove(catalogue, key);
  EXPECT_FALSE(library.FindChannel(key + "_ia.tv").has_value());
}

TEST_F(PlaylistExtrasTest, ManyChannelsOfOneNameAreAllListedInKeyOrderWithTheirAdditions) {
  ChannelCatalogue catalogue;
  PlaylistLibrary library(dir_ / "playlists");
  constexpr int kCount = 3000;
  std::string text = "#EXTM3U\n";
  for (int i = 0; i < kCount; ++i) {
    const std::string n = std::to_string(i);
    text += "#EXTINF:-1 tvg-id=\"id" + n + "\" tvg-logo=\"http://l.example/" + n + ".png\",Channel\n";
    text += "http://s.example/" + n + "\n";
  }
  // Without ids: two more of that name, told apart by their addresses.
  text += "#EXTINF:-1,Channel\nhttp://s.example/plain\n#EXTINF:-1,Channel\nhttp://s.example/plain2\n";
  Import(text);
  library.Scan();
  library.AttachAll(catalogue, nullptr, nullptr);
  const std::string key = library.playlists().at(0).key;

  ASSERT_EQ(catalogue.AllChannels().size(), static_cast<size_t>(kCount) + 2);
  // Equal titles: the keys decide the list's order.
  for (size_t i = 1; i < catalogue.AllChannels().size(); ++i) {
    EXPECT_EQ(catalogue.AllChannels()[i]->name(), u"Channel");
    ASSERT_LT(catalogue.AllChannels()[i - 1]->key(), catalogue.AllChannels()[i]->key());
  }
  for (int i = 0; i < kCount; i += 7) {
    const std::optional<PlaylistChannelInfo> info = library.FindChannel(key + "_iid" + std::to_string(i));
    ASSERT_TRUE(info.has_value()) << i;
    EXPECT_EQ(info->logo, "http://l.example/" + std::to_string(i) + ".png");
  }
  for (const Channel* channel : catalogue.AllChannels()) EXPECT_TRUE(library.FindChannel(channel->key()).has_value());
}

}  // namespace
}  // namespace vidora
