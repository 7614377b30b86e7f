#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>
#include <thread>

#include "core/catalogue/catalogue_reader.h"
#include "core/document/document_format.h"
#include "core/document/memory_stream.h"
#include "core/document/text_codec.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"
#include "core/playlists/playlist_library.h"
#include "core/catalogue/catalogue_test_support.h"

namespace vidora {
namespace {

using testing::CatalogueTest;

constexpr char kPlaylist[] =
    "#EXTM3U x-tvg-url=\"http://epg.example/g.xml\"\n"
    "#EXTINF:-1 tvg-id=\"one.tv\" tvg-logo=\"http://l.example/1.png\" group-title=\"News\",One\n"
    "#EXTVLCOPT:http-user-agent=Agent/1\n"
    "http://s.example/one\n"
    "#EXTINF:-1 tvg-id=\"one.tv\",One\n"          // same channel: a second source
    "http://s.example/one-backup\n"
    "#EXTINF:-1 group-title=\"Sport\",Two\n"
    "http://s.example/two\n"
    "#EXTINF:-1 group-title=\"Sport\",Two\n"      // an exact repetition
    "http://s.example/two\n"
    "#EXTINF:-1 radio=\"true\",Three FM\n"
    "http://s.example/three\n";

class PlaylistCatalogueTest : public CatalogueTest {
 protected:
  PlaylistImport Import(std::string_view text, std::u16string_view source = u"http://lists.example/my.m3u") {
    return ImportPlaylistText(text, source, u"", dir_ / "playlists", 1000);
  }

  // Channels of `catalogue` in its list order, as "name|favourite".
  static std::vector<std::string> Names(const ChannelCatalogue& catalogue) {
    std::vector<std::string> names;
    for (const Channel* channel : catalogue.AllChannels()) {
      names.push_back(Utf16ToUtf8(channel->name()) + (channel->favourite() ? "|f" : ""));
    }
    return names;
  }
};

TEST_F(PlaylistCatalogueTest, ImportedPlaylistIsACatalogueTheLoaderReads) {
  const PlaylistImport result = Import(kPlaylist);
  ASSERT_TRUE(result.ok) << result.reason;
  EXPECT_EQ(result.entries, 5u);
  EXPECT_EQ(result.channels, 3u);

  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(result.file, nullptr));
  EXPECT_EQ(catalogue.Version(), kPlaylistVersion);
  ASSERT_EQ(catalogue.AllChannels().size(), 3u);
  EXPECT_TRUE(messages_.empty());
  const Channel* one = catalogue.FindChannelByKey(result.key + "_ione.tv");
  ASSERT_NE(one, nullptr);
  ASSERT_EQ(one->sources().size(), 2u);
  EXPECT_EQ(one->sources()[1].address, "http://s.example/one-backup");
  EXPECT_EQ(one->category()->key(), "n");
  const Channel* three = nullptr;
  for (const Channel* c : catalogue.AllChannels()) {
    if (c->name() == u"Three FM") three = c;
  }
  ASSERT_NE(three, nullptr);
  EXPECT_TRUE(three->radio());
  EXPECT_EQ(three->category()->key(), "e");

  // The data tool reads it as a catalogue too.
  const std::string command = std::string(VIDORA_QDOC_PATH) + " dump --catalogue '" + result.file.string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ASSERT_EQ(WEXITSTATUS(pclose(pipe)), 0);
  EXPECT_NE(out.find("one-backup"), std::string::npos);
  EXPECT_NE(out.find("Agent/1"), std::string::npos);
}

TEST_F(PlaylistCatalogueTest, PlaylistBesideTheCatalogueKeepsFavouritesAcrossRefreshAndUpdate) {
  DocNode root("1.0");
  DocNode* de = root.AddChild("de");
  testing::AddChannel(*de, "ard", u"ARD", "e", {{3000, u"http://ard"}});
  ChannelCatalogue& catalogue = LoadCatalogueFile(Write(root));

  PlaylistLibrary library(dir_ / "playlists");
  ASSERT_TRUE(Import(kPlaylist).ok);
  library.Scan();
  ASSERT_EQ(library.playlists().size(), 1u);
  EXPECT_EQ(library.playlists()[0].name, u"my");
  EXPECT_EQ(library.playlists()[0].guide_address, u"http://epg.example/g.xml");
  library.AttachAll(catalogue, nullptr, nullptr);
  ASSERT_EQ(catalogue.AllChannels().size(), 4u);
  const std::string key = library.playlists()[0].key;
  const Country* country = catalogue.countries().at(key).get();
  EXPECT_EQ(country->display_name(), u"my");

  Channel* one = catalogue.FindChannelByKey(key + "_ione.tv");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->info_line(), u"my \u00B7 News");
  // Without a group the line is the playlist's name alone, not "(0kb)".
  const auto three = std::find_if(catalogue.AllChannels().begin(), catalogue.AllChannels().end(),
                                  [](const Channel* channel) { return channel->name() == u"Three FM"; });
  ASSERT_NE(three, catalogue.AllChannels().end());
  EXPECT_EQ((*three)->info_line(), u"my");
  const std::optional<PlaylistChannelInfo> info = library.FindChannel(one->key());
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->user_agent, "Agent/1");
  EXPECT_EQ(info->logo, "http://l.example/1.png");
  EXPECT_FALSE(library.FindChannel("de_ard").has_value());
  one->set_favourite(true);
  catalogue.SetCurrentChannel(one);
  PlaylistEntry two;
  two.name = "Two";
  two.address = "http://s.example/two";
  catalogue.FindChannelByKey(key + "_" + ChannelNodeName(two))->set_favourite(true);

  // A changed playlist: Two moved to another address (a new channel), One
  // got a new name but keeps its tvg-id, Four is new.
  const std::string changed =
      "#EXTM3U\n#EXTINF:-1 tvg-id=\"one.tv\",One Renamed\nhttp://s.example/one2\n"
      "#EXTINF:-1,Two\nhttp://s.example/two-new\n#EXTINF:-1,Four\nhttp://s.example/four\n";
  ASSERT_TRUE(Import(changed).ok);
  ASSERT_TRUE(library.Attach(catalogue, library.playlists()[0].file, nullptr, nullptr));
  EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD", "Four", "One Renamed|f", "Two"}));
  ASSERT_NE(catalogue.CurrentChannel(), nullptr);
  EXPECT_EQ(catalogue.CurrentChannel()->name(), u"One Renamed");

  // A catalogue update rebuilds the playlist with the user's state.
  ASSERT_TRUE(catalogue.ReloadCatalogue());
  EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD", "Four", "One Renamed|f", "Two"}));
  DocNode saved("channels");
  std::vector<ChannelStateEntry> entries;
  catalogue.SaveChannelState([&entries](const ChannelStateEntry& entry) { entries.push_back(entry); });
  AddChannelStateNodes(entries, saved);
  ASSERT_NE(saved.FindChild(key + "_ione.tv"), nullptr);
  EXPECT_TRUE(saved.FindChild(key + "_ione.tv")->GetBool("f", false));

  library.Remove(catalogue, key);
  EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD"}));
  EXPECT_TRUE(library.playlists().empty());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "playlists" / (key + ".vdch")));
}

TEST_F(PlaylistCatalogueTest, DirectEncodingIsTheDocumentFormatByteForByte) {
  M3uPlaylist playlist = ReadM3u(kPlaylist, "http://lists.example/my.m3u");
  PlaylistEntry long_one;
  long_one.name = "Канал " + std::string(300, 'x');        // non-ASCII, 3-byte length prefix
  long_one.address = "http://s.example/" + std::string(70000, 'a');  // 7-byte length prefix
  long_one.group = "Новости";
  playlist.entries.push_back(long_one);
  const PlaylistOrigin origin{"pl12345678", u"Liste \u00E9", u"http://lists.example/my.m3u", 42};
  std::string encoded;
  EncodePlaylistDocument(playlist, origin, encoded);

  DocNode root;
  MemoryStream in(encoded.data(), static_cast<uint32_t>(encoded.size()));
  ASSERT_EQ(ReadDocument(root, in), ReadStatus::kOk);
  MemoryStream out;
  WriteDocument(root, out);
  ASSERT_EQ(out.size(), encoded.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Data()), out.size()), encoded);
  const DocNode* country = PlaylistCountryNode(root);
  ASSERT_NE(country, nullptr);
  EXPECT_EQ(country->children().size(), 4u);
  const DocNode* last = (country->children().end() - 1)->get();
  EXPECT_EQ(last->GetString("n"), long_one.name);
  EXPECT_EQ(last->GetString("c"), "n");
  EXPECT_EQ(last->FindChild("0")->GetString("u").size(), long_one.address.size());

  // A playlist whose description does not fit the start of the file is
  // still listed, read whole.
  const std::u16string long_source = u"http://lists.example/" + std::u16string(40000, u'q') + u".m3u";
  ASSERT_TRUE(ImportPlaylistText(kPlaylist, long_source, u"Long", dir_ / "playlists", 7).ok);
  PlaylistLibrary library(dir_ / "playlists");
  library.Scan();
  ASSERT_EQ(library.playlists().size(), 1u);
  EXPECT_EQ(library.playlists()[0].source, long_source);
  EXPECT_EQ(library.playlists()[0].fetched_at, 7);
}

TEST_F(PlaylistCatalogueTest, RefusedDownloadKeepsTheOldCopy) {
  const PlaylistImport first = Import(kPlaylist);
  ASSERT_TRUE(first.ok);
  std::ifstream in(first.file, std::ios::binary);
  const std::string before((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  EXPECT_FALSE(Import("<!DOCTYPE html>\n<html><body>502 Bad Gateway</body></html>\n").ok);
  EXPECT_FALSE(Import("#EXTM3U\n").ok);
  EXPECT_FALSE(Import(std::string("#EXTM3U\n#EXTINF:-1,X\nhttp://a\0b\n", 30)).ok);
  std::ifstream again(first.file, std::ios::binary);
  const std::string after((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
  EXPECT_EQ(before, after);

  // A plain list of addresses without the header is still a playlist.
  EXPECT_TRUE(Import("http://a.example/1.ts\nhttp://a.example/2.ts\n", u"/tmp/plain.m3u").ok);
}

TEST_F(PlaylistCatalogueTest, RefreshIsDueForAddressesOnlyAfterADay) {
  ASSERT_TRUE(Import(kPlaylist).ok);
  ASSERT_TRUE(ImportPlaylistText(kPlaylist, u"/home/u/local.m3u", u"Local", dir_ / "playlists", 0).ok);
  PlaylistLibrary library(dir_ / "playlists");
  library.Scan();
  ASSERT_EQ(library.playlists().size(), 2u);
  EXPECT_EQ(library.playlists()[0].name, u"Local");
  EXPECT_TRUE(library.DueForRefresh(1000 + kPlaylistRefreshSeconds - 1).empty());
  const auto due = library.DueForRefresh(1000 + kPlaylistRefreshSeconds);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].source, u"http://lists.example/my.m3u");
}


// The favourites saved in the settings, as "key" or "key f".
std::vector<std::string> SavedFavourites() {
  DocNode root;
  Settings().BuildDocument(root);
  std::vector<std::string> out;
  if (const DocNode* channels = root.FindChild("channels")) {
    for (const auto& child : channels->children()) {
      if (child->GetBool("f", false)) out.push_back(child->name());
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(PlaylistCatalogueTest, CatalogueFavouritesSurviveARunWithOnlyPlaylists) {
  const PlaylistImport imported = Import(kPlaylist);
  ASSERT_TRUE(imported.ok) << imported.reason;
  const std::string one = imported.key + "_ione.tv";
  DocNode saved("channels");
  saved.AddChild("de_ard")->SetBool("f", true);
  saved.AddChild("de_zdf")->SetInt("cu", 1);
  saved.AddChild(one)->SetBool("f", true);
  LoadSettingsWithChannels(saved);

  // The catalogue file is missing this run; the playlist still loads.
  ChannelCatalogue& catalogue = LoadCatalogueFile(dir_ / kCatalogueFileName);
  PlaylistLibrary library(dir_ / "playlists");
  library.Scan();
  library.AttachAll(catalogue, nullptr, SettingsChannelsNode());
  ASSERT_EQ(catalogue.AllChannels().size(), 3u);
  ASSERT_TRUE(catalogue.FindChannelByKey(one)->favourite());
  catalogue.FindChannelByKey(one)->set_favourite(false);  // changed this run: the change wins
  std::string two;
  for (Channel* channel : catalogue.AllChannels()) {
    if (channel->name() != u"Two") continue;
    channel->set_favourite(true);
    two = channel->key();
  }
  EXPECT_EQ(SavedFavourites(), (std::vector<std::string>{"de_ard", two}));
  DocNode written;
  Settings().BuildDocument(written);
  ASSERT_NE(written.FindChild("channels")->FindChild("de_zdf"), nullptr);
  EXPECT_EQ(written.FindChild("channels")->FindChild("de_zdf")->GetInt("cu", 0), 1);

  // The update brings the catalogue: its channels get their saved state,
  // the playlist's keep this run's.
  DocNode root("1.0");
  DocNode* de = root.AddChild("de");
  testing::AddChannel(*de, "ard", u"ARD", "e", {{3000, u"http://ard"}});
  testing::AddChannel(*de, "zdf", u"ZDF", "e", {{3000, u"http://zdf"}, {2000, u"http://zdf2"}});
  Write(root);
  ASSERT_TRUE(catalogue.ReloadCatalogue());
  EXPECT_TRUE(catalogue.FindChannelByKey("de_ard")->favourite());
  EXPECT_FALSE(catalogue.FindChannelByKey(one)->favourite());
  EXPECT_EQ(SavedFavourites(), (std::vector<std::string>{"de_ard", two}));
}

TEST_F(PlaylistCatalogueTest, PlaylistFavouritesSurviveARunWithoutTheirFile) {
  const PlaylistImport damaged = Import(kPlaylist);
  const PlaylistImport missing = Import(kPlaylist, u"/home/u/gone.m3u");
  const PlaylistImport removed = Import(kPlaylist, u"/home/u/removed.m3u");
  ASSERT_TRUE(damaged.ok && missing.ok && removed.ok);
  const std::string damaged_one = damaged.key + "_ione.tv";
  const std::string missing_one = missing.key + "_ione.tv";
  DocNode saved("channels");
  saved.AddChild("de_ard")->SetBool("f", true);
  saved.AddChild(damaged_one)->SetBool("f", true);
  saved.AddChild(damaged.key + "_x")->SetInt("cu", 2);
  saved.AddChild(missing_one)->SetBool("f", true);
  saved.AddChild(removed.key + "_ione.tv")->SetBool("f", true);
  saved.AddChild("plnothex00_x")->SetBool("f", true);  // no playlist's key: goes as before
  LoadSettingsWithChannels(saved);

  DocNode root("1.0");
  testing::AddChannel(*root.AddChild("de"), "ard", u"ARD", "e", {{3000, u"http://ard"}});
  ChannelCatalogue& catalogue = LoadCatalogueFile(Write(root));
  // One file cut short (its description still readable), one gone.
  std::filesystem::resize_file(damaged.file, std::filesystem::file_size(damaged.file) - 20);
  std::filesystem::remove(missing.file);
  PlaylistLibrary library(dir_ / "playlists");
  library.Scan();
  library.AttachAll(catalogue, nullptr, SettingsChannelsNode());
  ASSERT_EQ(catalogue.countries().count(damaged.key), 0u);
  ASSERT_EQ(catalogue.countries().count(removed.key), 1u);
  library.Remove(catalogue, removed.key);  // the user's removal drops its state

  EXPECT_EQ(SavedFavourites(), (std::vector<std::string>{"de_ard", damaged_one, missing_one}));
  DocNode written;
  Settings().BuildDocument(written);
  ASSERT_NE(written.FindChild("channels")->FindChild(damaged.key + "_x"), nullptr);
  EXPECT_EQ(written.FindChild("channels")->FindChild(damaged.key + "_x")->GetInt("cu", 0), 2);

  // The playlist comes back (a refresh): its channels have their state
  // again, and what this run changes is what is saved.
  ASSERT_TRUE(Import(kPlaylist).ok);
  ASSERT_TRUE(library.Attach(catalogue, damaged.file, nullptr, SettingsChannelsNode()));
  Channel* one = catalogue.FindChannelByKey(damaged_one);
  ASSERT_NE(one, nullptr);
  EXPECT_TRUE(one->favourite());
  one->set_favourite(false);
  EXPECT_EQ(SavedFavourites(), (std::vector<std::string>{"de_ard", missing_one}));
}

TEST_F(PlaylistCatalogueTest, PlaylistOfTheEarlierFormIsReadAndRewrittenSmaller) {
  // As earlier versions stored a playlist: every text a WideString.
  DocNode root(kPlaylistOldVersion);
  DocNode* country = root.AddChild("pl0badcafe");
  country->SetWideString(kPlaylistNameAttr, u"Alte Liste");
  country->SetWideString(kPlaylistSourceAttr, u"/lists/old.m3u");
  country->SetString(kPlaylistTimeAttr, "5");
  for (int i = 0; i < 50; ++i) {
    DocNode* channel = country->AddChild("h" + std::to_string(1000 + i));
    channel->SetWideString("n", u"Канал " + Utf8ToUtf16(std::to_string(i)));
    channel->SetString("p", "");
    channel->SetString("c", "n");
    channel->SetBool("r", false);
    channel->SetWideString(kChannelLogoAttr, u"http://l.example/" + Utf8ToUtf16(std::to_string(i)) + u".png");
    channel->SetWideString(kChannelGroupAttr, u"Новости");
    DocNode* source = channel->AddChild("0");
    source->SetInt("b", 0);
    source->SetWideString("u", u"http://s.example/" + Utf8ToUtf16(std::to_string(i)));
  }
  const std::filesystem::path file = dir_ / "playlists" / "pl0badcafe.vdch";
  std::filesystem::create_directories(file.parent_path());
  ASSERT_TRUE(SaveDocumentFile(root, file));
  const auto old_size = std::filesystem::file_size(file);

  auto channels_of = [&](bool old_form) {
    PlaylistLibrary library(dir_ / "playlists");
    library.Scan();
    EXPECT_EQ(library.playlists().size(), 1u);
    EXPECT_EQ(library.playlists()[0].old_form, old_form);
    EXPECT_EQ(library.playlists()[0].name, u"Alte Liste");
    ChannelCatalogue catalogue;
    EXPECT_TRUE(library.Attach(catalogue, file, nullptr, nullptr));
    std::vector<std::string> seen;
    for (const Channel* channel : catalogue.AllChannels()) {
      const std::optional<PlaylistChannelInfo> info = library.FindChannel(channel->key());
      seen.push_back(Utf16ToUtf8(std::u16string(channel->name()) + u"|" + channel->info_line() + u"|") +
                     std::string(channel->sources()[0].address) + "|" +
                     std::string(info.has_value() ? info->logo : "-"));
    }
    return seen;
  };
  const std::vector<std::string> before = channels_of(true);
  ASSERT_EQ(before.size(), 50u);
  EXPECT_EQ(before[0], "Канал 0|Alte Liste · Новости|http://s.example/0|http://l.example/0.png");

  ASSERT_TRUE(RewritePlaylistDocument(file));
  EXPECT_LT(std::filesystem::file_size(file), old_size);
  EXPECT_EQ(channels_of(false), before);
  EXPECT_FALSE(RewritePlaylistDocument(file));  // once is enough
}

TEST_F(PlaylistCatalogueTest, PlaylistReadOnAnotherThreadChangesNothingUntilPutInPlace) {
  DocNode root("1.0");
  DocNode* ard = root.AddChild("de")->AddChild("ard");
  ard->SetWideString("n", u"ARD");
  ard->SetString("c", "n");
  ard->AddChild("0")->SetWideString("u", u"http://s.example/ard");
  ASSERT_TRUE(SaveDocumentFile(root, dir_ / "Channels.vdch"));
  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(dir_ / "Channels.vdch", nullptr));
  const PlaylistImport result = Import(kPlaylist);
  ASSERT_TRUE(result.ok);
  PlaylistLibrary library(dir_ / "playlists");
  library.Scan();

  catalogue.ReadyForExtraBuilds();
  std::unique_ptr<PlaylistLibrary::Prepared> prepared;
  std::thread reader([&] { prepared = PlaylistLibrary::Prepare(catalogue, result.file, nullptr, nullptr); });
  reader.join();
  ASSERT_TRUE(prepared->ok());
  EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD"}));
  EXPECT_FALSE(library.FindChannel(result.key + "_ione.tv").has_value());

  ASSERT_TRUE(library.Install(catalogue, *prepared));
  // Merged into the list in the order a whole sort gives.
  EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD", "One", "Three FM", "Two"}));
  ASSERT_TRUE(library.FindChannel(result.key + "_ione.tv").has_value());
  EXPECT_EQ(library.FindChannel(result.key + "_ione.tv")->guide_id, "one.tv");

  // A second read replaces it and keeps the user's favourite.
  catalogue.FindChannelByKey(result.key + "_ione.tv")->set_favourite(true);
  prepared = PlaylistLibrary::Prepare(catalogue, result.file, nullptr, nullptr);
  ASSERT_TRUE(library.Install(catalogue, *prepared));
  EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD", "One|f", "Three FM", "Two"}));
}

TEST_F(PlaylistCatalogueTest, APlaylistPutInPlaceInSlicesChangesTheListAtTheLastOnlyAndFollowsChangesBetween) {
  DocNode root("1.0");
  DocNode* ard = root.AddChild("de")->AddChild("ard");
  ard->SetWideString("n", u"ARD");
  ard->SetString("c", "n");
  ard->AddChild("0")->SetWideString("u", u"http://s.example/ard");
  ASSERT_TRUE(SaveDocumentFile(root, dir_ / "Channels.vdch"));
  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(dir_ / "Channels.vdch", nullptr));
  const PlaylistImport mine = Import(kPlaylist);
  const PlaylistImport other =
      Import("#EXTM3U\n#EXTINF:-1,Alpha\nhttp://s.example/a\n#EXTINF:-1,Zulu\nhttp://s.example/z\n",
             u"http://lists.example/other.m3u");
  ASSERT_TRUE(mine.ok && other.ok);
  PlaylistLibrary library(dir_ / "playlists");
  library.Scan();
  catalogue.ReadyForExtraBuilds();
  std::unique_ptr<PlaylistLibrary::Prepared> prepared = PlaylistLibrary::Prepare(catalogue, mine.file, nullptr, nullptr);
  using Step = ChannelCatalogue::InstallStep;

  ASSERT_EQ(library.InstallStep(catalogue, *prepared, 2), Step::kMore);
  EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD"}));
  EXPECT_FALSE(library.FindChannel(mine.key + "_ione.tv").has_value());
  // Another playlist goes in between two slices; the favourite set then
  // is the user's too.
  ASSERT_TRUE(library.Install(catalogue, *PlaylistLibrary::Prepare(catalogue, other.file, nullptr, nullptr)));
  catalogue.AllChannels()[1]->set_favourite(true);
  int slices = 1;
  Step step;
  while ((step = library.InstallStep(catalogue, *prepared, 2)) == Step::kMore) ++slices;
  ASSERT_EQ(step, Step::kInstalled);
  EXPECT_GT(slices, 2);
  EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD", "One", "Three FM", "Two", "Alpha|f", "Zulu"}));
  ASSERT_TRUE(library.FindChannel(mine.key + "_ione.tv").has_value());

  // A refresh in slices keeps the user's state of what it replaces.
  catalogue.FindChannelByKey(mine.key + "_ione.tv")->set_favourite(true);
  catalogue.SetCurrentChannel(catalogue.FindChannelByKey(mine.key + "_ione.tv"));
  prepared = PlaylistLibrary::Prepare(catalogue, mine.file, nullptr, nullptr);
  while ((step = library.InstallStep(catalogue, *prepared, 2)) == Step::kMore) {
    EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD", "One|f", "Three FM", "Two", "Alpha|f", "Zulu"}));
  }
  ASSERT_EQ(step, Step::kInstalled);
  EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"ARD", "One|f", "Three FM", "Two", "Alpha|f", "Zulu"}));
  EXPECT_EQ(catalogue.CurrentChannel(), catalogue.FindChannelByKey(mine.key + "_ione.tv"));
}

}  // namespace
}  // namespace vidora
