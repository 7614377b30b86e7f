// The playlist pieces of the interface without a network: imports from
// files, drops, the settings list, and logo decoding of hostile pictures.
#include <QBuffer>
#include <QCollator>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <numeric>

#include "e2e/wait_for.h"
#include "core/catalogue/channel_catalogue.h"
#include "ui/catalogue/channels_dialog_state.h"
#include "core/playlists/playlist_sort.h"
#include "core/zapping/zap_list.h"
#include "core/document/document_format.h"
#include "core/net/local_http_server.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/catalogue/combo_text_order.h"
#include "ui/catalogue/playlist_order.h"
#include "ui/playlists/logo_cache.h"
#include "ui/playlists/playlist_dialogs.h"
#include "ui/playlists/playlist_drop_target.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora::testing {
namespace {

bool WaitUntil(const std::function<bool()>& done, int bound_ms = 10000) {
  return vidora::testing::WaitFor(done, bound_ms, 20);
}

class PlaylistUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
    SetSetting(kCurrentChannelKeySetting, u"");
    DocNode root("1.0");
    DocNode* de = root.AddChild("de");
    DocNode* ard = de->AddChild("ard");
    ard->SetWideString("n", u"ARD");
    ard->SetString("c", "n");
    ard->AddChild("0")->SetWideString("u", u"http://127.0.0.1:1/ard");
    ASSERT_TRUE(SaveDocumentFile(root, dir_ / "Channels.vdch"));
    catalogue_ = &LoadCatalogueFile(dir_ / "Channels.vdch");
    manager_ = std::make_unique<PlaylistManager>(
        *catalogue_, PlaylistFolders{dir_ / "playlists", dir_ / "logos", dir_ / "guides"}, [] { return 1000; });
    QObject::connect(manager_.get(), &PlaylistManager::Imported,
                     [this](bool ok, const QString&, const QString& reason) { results_.push_back({ok, reason}); });
    QObject::connect(manager_.get(), &PlaylistManager::GuideFailed,
                     [this](const QString&, const QString& details) { guide_failures_.push_back(details); });
  }
  void TearDown() override {
    manager_.reset();
    FreeCatalogue();
    SetMessageSink({});
    Languages().Free();
  }

  std::filesystem::path WriteFile(const std::string& name, const std::string& text) {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  void Import(const QString& source, int bound_ms = 10000) {
    const size_t before = results_.size();
    manager_->AddPlaylistSource(source);
    ASSERT_TRUE(WaitUntil([&] { return results_.size() > before && !manager_->busy(); }, bound_ms));
  }

  // The guide failures said so far, one line each.
  QStringList GuideFailureLines() {
    QStringList lines;
    for (const QString& details : guide_failures_) lines += details.split(QLatin1Char('\n'));
    return lines;
  }

  Channel* ChannelNamed(std::u16string_view name) {
    for (Channel* channel : catalogue_->AllChannels()) {
      if (channel->name() == name) return channel;
    }
    return nullptr;
  }

  TempDir dir_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<PlaylistManager> manager_;
  std::vector<std::pair<bool, QString>> results_;
  QStringList guide_failures_;
};

TEST_F(PlaylistUiTest, FilesBecomeCountriesThatSurviveARestartAndCanBeRemoved) {
  const std::filesystem::path file = WriteFile(
      "My List.m3u", "#EXTM3U\n#EXTINF:-1 tvg-logo=\"logo.png\",Local One\nmedia/one.ts\n#EXTINF:-1,Local Two\n/abs/two.ts\n");
  QImage logo(30, 10, QImage::Format_RGB32);
  logo.fill(qRgb(250, 0, 0));
  ASSERT_TRUE(logo.save(QString::fromStdString((dir_ / "logo.png").string())));

  Import(QUrl::fromLocalFile(QString::fromStdString(file.string())).toString());  // a dropped file link
  ASSERT_TRUE(results_.back().first) << results_.back().second.toStdString();
  ASSERT_EQ(manager_->playlists().size(), 1u);
  EXPECT_EQ(manager_->playlists()[0].name, u"My List");
  ASSERT_EQ(catalogue_->AllChannels().size(), 3u);
  Channel* one = nullptr;
  for (Channel* channel : catalogue_->AllChannels()) {
    if (channel->name() == u"Local One") one = channel;
  }
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->sources()[0].address, (dir_ / "media/one.ts").string());
  EXPECT_EQ(one->country()->display_name(), u"My List");
  ASSERT_TRUE(WaitUntil([&] { return manager_->Logo(*one) != nullptr; }));
  EXPECT_EQ(manager_->Logo(*one)->height(), 10);  // never enlarged
  one->set_favourite(true);
  catalogue_->SetCurrentChannel(one);
  const std::string one_key(one->key());

  // A new start: the stored playlist comes back with the saved state.
  DocNode saved("channels");
  std::vector<ChannelStateEntry> entries;
  catalogue_->SaveChannelState([&entries](const ChannelStateEntry& entry) { entries.push_back(entry); });
  AddChannelStateNodes(entries, saved);
  manager_.reset();
  DocNode settings("set");
  settings.AddChild("options")->SetWideString("padding", std::u16string(600, u'x'));
  DocNode* channels = settings.AddChild("channels");
  for (const auto& child : saved.children()) {
    DocNode* copy = channels->AddChild(child->name());
    if (child->GetBool("f", false)) copy->SetBool("f", true);
  }
  ASSERT_TRUE(SaveDocumentFile(settings, dir_ / "Settings.cfg"));
  Settings().Load(dir_ / "Settings.cfg");
  SetSetting(kCurrentChannelKeySetting, QString::fromStdString(one_key).toStdU16String());
  catalogue_ = &LoadCatalogueFile(dir_ / "Channels.vdch");
  manager_ = std::make_unique<PlaylistManager>(
      *catalogue_, PlaylistFolders{dir_ / "playlists", dir_ / "logos", dir_ / "guides"}, [] { return 1000; });
  // The window does not wait for the stored playlist: it is read on a
  // worker and put in place afterwards.
  EXPECT_EQ(catalogue_->AllChannels().size(), 1u);
  ASSERT_TRUE(WaitUntil([&] { return !manager_->busy(); }));
  Channel* again = catalogue_->FindChannelByKey(one_key);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->favourite());
  EXPECT_EQ(catalogue_->CurrentChannel(), again);
  EXPECT_EQ(catalogue_->StepFavourite(true), nullptr);  // the only favourite is current

  PlaylistsDialog dialog(nullptr, *manager_);
  bool asked = false, answer = false;
  dialog.set_questions([&] { asked = true; return answer; }, {});
  ASSERT_EQ(dialog.list()->count(), 1);
  dialog.list()->setCurrentRow(0);
  dialog.RemoveSelected();  // "no"
  EXPECT_TRUE(asked);
  EXPECT_EQ(dialog.list()->count(), 1);
  answer = true;
  dialog.RemoveSelected();
  EXPECT_EQ(dialog.list()->count(), 0);
  // Only confirmed settings remove it (Cancel would keep it).
  EXPECT_EQ(catalogue_->AllChannels().size(), 3u);
  ASSERT_EQ(dialog.removed().size(), 1u);
  manager_->RemovePlaylist(dialog.removed()[0]);
  EXPECT_EQ(catalogue_->AllChannels().size(), 1u);
  EXPECT_EQ(catalogue_->CurrentChannel(), nullptr);
}

TEST_F(PlaylistUiTest, APlaylistIsNamedByItsHeaderSaysWhatWasAddedAndCanBeRenamed) {
  const std::string text =
      "#EXTM3U x-name=\"Evening TV\"\n#EXTINF:-1,One\nhttp://s.example/1\n=====News=====\n"
      "#EXTINF:-1,Two\nhttp://s.example/2\n";
  const QString file = QString::fromStdString(WriteFile("list.m3u", text).string());
  Import(file);
  ASSERT_TRUE(results_.back().first);
  EXPECT_EQ(results_.back().second, QStringLiteral("Added “Evening TV”: 2 channels (1 entries skipped)."));
  ASSERT_EQ(manager_->playlists().size(), 1u);
  EXPECT_EQ(manager_->playlists()[0].name, u"Evening TV");

  PlaylistsDialog dialog(nullptr, *manager_);
  dialog.set_questions({}, [](const QString& shown) { return shown + QStringLiteral(" (mine)"); });
  dialog.list()->setCurrentRow(0);
  dialog.RenameSelected();
  ASSERT_TRUE(WaitUntil([&] { return manager_->playlists()[0].name == u"Evening TV (mine)" && !manager_->busy(); }));
  EXPECT_TRUE(dialog.list()->item(0)->text().startsWith(QStringLiteral("Evening TV (mine)")));

  // The same file again refreshes the one playlist and keeps the new name.
  Import(file);
  ASSERT_EQ(manager_->playlists().size(), 1u);
  EXPECT_EQ(manager_->playlists()[0].name, u"Evening TV (mine)");
}

TEST_F(PlaylistUiTest, APlaylistListsItsChannelsInItsOrderWithItsGroupsAsAFilter) {
  Import(QString::fromStdString(WriteFile("order.m3u",
                                          "#EXTM3U\n#EXTINF:-1 group-title=\"Sport\",Zulu\nhttp://s.example/z\n"
                                          "#EXTINF:-1 group-title=\"News\",Alpha\nhttp://s.example/a\n"
                                          "#EXTINF:-1,Mike\n#EXTGRP:Sport\nhttp://s.example/m\n")
                                    .string()));
  ChannelsDialog dialog(nullptr, catalogue_);
  dialog.kind_combo()->setCurrentIndex(0);
  dialog.category_combo()->setCurrentIndex(0);
  dialog.country_combo()->setCurrentIndex(dialog.country_combo()->findText(QStringLiteral("order")));
  ChannelListView* list = dialog.channel_list();
  ASSERT_EQ(list->RowCount(), 3);
  EXPECT_EQ(list->ChannelAtShownRow(0)->name(), u"Zulu");
  EXPECT_EQ(list->ChannelAtShownRow(2)->name(), u"Mike");
  ASSERT_EQ(dialog.group_combo()->count(), 3);
  EXPECT_EQ(dialog.group_combo()->itemText(1), QStringLiteral("Sport"));
  EXPECT_EQ(dialog.group_combo()->itemText(2), QStringLiteral("News"));
  dialog.group_combo()->setCurrentIndex(1);
  ASSERT_EQ(list->RowCount(), 2);
  EXPECT_EQ(list->ChannelAtShownRow(1)->name(), u"Mike");
  // A search finds channels by their group as well as by their names.
  dialog.group_combo()->setCurrentIndex(0);
  list->SetSearchText(QStringLiteral("NEWS"));
  ASSERT_EQ(list->RowCount(), 1);
  EXPECT_EQ(list->ChannelAtShownRow(0)->name(), u"Alpha");
  list->SetSearchText(QString());
  // Another country has no groups of its own.
  dialog.country_combo()->setCurrentIndex(0);
  EXPECT_EQ(dialog.group_combo()->count(), 0);
}

TEST_F(PlaylistUiTest, APlaylistSortsByNameOrNumberAndKeepsTheChoiceForItself) {
  Import(QString::fromStdString(WriteFile("sorted.m3u",
                                          "#EXTM3U\n#EXTINF:-1 tvg-chno=\"3\",Channel 10\nhttp://s.example/10\n"
                                          "#EXTINF:-1 tvg-chno=\"20\",Zebra\nhttp://s.example/z\n"
                                          "#EXTINF:-1 tvg-chno=\"1\",channel 9\nhttp://s.example/9\n"
                                          "#EXTINF:-1 tvg-chno=\"2\",Äpfel TV\nhttp://s.example/a\n")
                                    .string()));
  Import(QString::fromStdString(WriteFile("other.m3u", "#EXTM3U\n#EXTINF:-1,B\nhttp://s.example/b\n"
                                                       "#EXTINF:-1,A\nhttp://s.example/a2\n")
                                    .string()));
  auto names = [](const ChannelsDialog& dialog) {
    QStringList shown;
    for (int row = 0; row < dialog.channel_list()->RowCount(); ++row) {
      shown.push_back(ToQString(dialog.channel_list()->ChannelAtShownRow(row)->name()));
    }
    return shown.join(QStringLiteral(", "));
  };
  {
    ChannelsDialog dialog(nullptr, catalogue_);
    dialog.country_combo()->setCurrentIndex(dialog.country_combo()->findText(QStringLiteral("sorted")));
    EXPECT_EQ(dialog.sort_combo()->currentIndex(), static_cast<int>(PlaylistSort::kPlaylistOrder));
    EXPECT_FALSE(dialog.sort_combo()->isHidden());
    EXPECT_EQ(names(dialog), QStringLiteral("Channel 10, Zebra, channel 9, Äpfel TV"));
    // Letters as the language orders them, ignoring case, numbers counted.
    dialog.sort_combo()->setCurrentIndex(static_cast<int>(PlaylistSort::kName));
    EXPECT_EQ(names(dialog), QStringLiteral("Äpfel TV, channel 9, Channel 10, Zebra"));
    dialog.sort_combo()->setCurrentIndex(static_cast<int>(PlaylistSort::kNumber));
    EXPECT_EQ(names(dialog), QStringLiteral("channel 9, Äpfel TV, Channel 10, Zebra"));
    // Page Up/Down then step through the list as sorted.
    dialog.channel_list()->SelectShownRow(0);
    dialog.RunCommand(ID_PLAY);
    EXPECT_EQ(Zapping().Step(dialog.chosen_channel(), true)->name(), u"Äpfel TV");

    // The other playlist keeps its own order; a catalogue country has no sort.
    ChannelsDialog other(nullptr, catalogue_);
    other.country_combo()->setCurrentIndex(other.country_combo()->findText(QStringLiteral("other")));
    EXPECT_EQ(other.sort_combo()->currentIndex(), static_cast<int>(PlaylistSort::kPlaylistOrder));
    EXPECT_EQ(names(other), QStringLiteral("B, A"));
    other.country_combo()->setCurrentIndex(0);
    EXPECT_TRUE(other.sort_combo()->isHidden());
  }
  // The next opening (and the next start, through the settings) lists the
  // first playlist by number again.
  ChannelsDialog again(nullptr, catalogue_);
  again.country_combo()->setCurrentIndex(again.country_combo()->findText(QStringLiteral("sorted")));
  EXPECT_EQ(again.sort_combo()->currentIndex(), static_cast<int>(PlaylistSort::kNumber));
  EXPECT_EQ(names(again), QStringLiteral("channel 9, Äpfel TV, Channel 10, Zebra"));
}

// Rows and sorts made a slice at a time are those made in one go: the
// playlist's order, and for each sort the stable sort of the rows by
// their keys (names equal but for case, numbers each given six times,
// keep the playlist's order), whatever the slice.
TEST_F(PlaylistUiTest, RowsAndSortsMadeInSlicesAreThoseMadeAtOnce) {
  const char* prefixes[] = {"Ch", "ch", "CH"};
  const char* groups[] = {"Sport", "News"};
  constexpr int kEntries = 3000;  // longer than one sorted run: the merges run too
  std::string text = "#EXTM3U\n";
  std::vector<std::u16string> listed;
  for (int i = 0; i < kEntries; ++i) {
    const std::string name = std::string(prefixes[i % 3]) + " " + std::to_string((i * 7) % 1000);
    listed.push_back(std::u16string(name.begin(), name.end()));
    text += "#EXTINF:-1 tvg-chno=\"" + std::to_string((i * 13) % 500) + "\" group-title=\"" + groups[i % 5 == 0] +
            "\"," + name + "\nhttp://s.example/" + std::to_string(i) + "\n";
  }
  Import(QString::fromStdString(WriteFile("sliced.m3u", text).string()), 60000);
  const Country* country = catalogue_->countries().find(manager_->playlists()[0].key)->second.get();
  const std::vector<Channel*>& all = catalogue_->AllChannels();
  PlaylistRows whole = MakePlaylistRows(country, all, *manager_);
  ASSERT_EQ(whole.channels.size(), static_cast<size_t>(kEntries));
  for (int i = 0; i < kEntries; ++i) ASSERT_EQ(whole.channels[i]->name(), listed[i]) << i;
  EXPECT_EQ(whole.groups, std::vector<QString>({QStringLiteral("News"), QStringLiteral("Sport")}));

  QCollator collator = InterfaceCollator();
  collator.setNumericMode(true);
  auto reference = [&](PlaylistSort sort) {
    std::vector<uint32_t> order(kEntries);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
      const Channel& x = *whole.channels[a];
      const Channel& y = *whole.channels[b];
      return sort == PlaylistSort::kName
                 ? collator.compare(ToQString(x.name()), ToQString(y.name())) < 0
                 : ChannelNumberLess(manager_->ChannelNumber(x), manager_->ChannelNumber(y));
    });
    return order;
  };
  const std::vector<uint32_t> by_name = reference(PlaylistSort::kName);
  const std::vector<uint32_t> by_number = reference(PlaylistSort::kNumber);
  for (size_t slice : {size_t{5}, size_t{700}}) {
    PlaylistRowsMaker maker(country);
    PlaylistRows* rows = nullptr;
    while (rows == nullptr) {
      size_t budget = slice;
      rows = maker.Step(all, *manager_, budget);
    }
    EXPECT_EQ(rows->channels, whole.channels);
    EXPECT_EQ(rows->name_slots, whole.name_slots);
    EXPECT_EQ(rows->group_of, whole.group_of);
    for (PlaylistSort sort : {PlaylistSort::kName, PlaylistSort::kNumber}) {
      const std::vector<uint32_t>* order = nullptr;
      while (order == nullptr) {
        size_t budget = slice;
        order = SortedRowsStep(*rows, sort, *manager_, budget);
      }
      EXPECT_EQ(*order, sort == PlaylistSort::kName ? by_name : by_number) << slice;
    }
  }
}

// A playlist whose rows take several turns of the event loop to make: the
// dialog lists them in slices, selects the stored row once they are in,
// and a later opening finds them, their order and the folded names made.
TEST_F(PlaylistUiTest, AHugeListIsMadeBetweenEventsAndKeptForTheNextOpening) {
  const char* groups[] = {"Sport", "News", "Kids"};
  auto m3u = [&](const std::string& prefix) {
    std::string text = "#EXTM3U\n";
    for (int i = 0; i < 40; ++i) {
      // Names out of title order, so playlist order and name order differ.
      const std::string n = std::to_string((i * 17) % 40);
      text += "#EXTINF:-1 tvg-chno=\"" + std::to_string(40 - i) + "\" group-title=\"" + groups[i % 3] + "\"," +
              prefix + " " + n + "\nhttp://s.example/" + n + "\n";
    }
    return QString::fromStdString(WriteFile("slices.m3u", text).string());
  };
  Import(m3u("Ch"));
  auto names = [](const ChannelListView* list) {
    QStringList shown;
    for (int row = 0; row < list->RowCount(); ++row) {
      shown.push_back(ToQString(list->ChannelAtShownRow(row)->name()));
    }
    return shown;
  };
  struct SliceGuard {
    ~SliceGuard() { ChannelsDialog::SetPreparationSlice(0); }
  } guard;
  ChannelsDialog::SetPreparationSlice(7);
  ChooseDialogPlaylist(manager_->playlists()[0].key);
  DialogSelection().channel_row = 25;
  StorePlaylistSort(manager_->playlists()[0].key, PlaylistSort::kPlaylistOrder);
  QStringList in_order, by_name, sport;
  {
    ChannelsDialog dialog(nullptr, catalogue_);
    EXPECT_TRUE(dialog.ChannelListPending());
    ASSERT_TRUE(WaitUntil([&] { return !dialog.ChannelListPending(); }));
    in_order = names(dialog.channel_list());
    ASSERT_EQ(in_order.size(), 40);
    EXPECT_EQ(in_order[0], QStringLiteral("Ch 0"));
    EXPECT_EQ(in_order[1], QStringLiteral("Ch 17"));
    EXPECT_EQ(dialog.channel_list()->SelectedRow(), 25);
    EXPECT_EQ(dialog.group_combo()->count(), 4);
    // Sorting waits for its order the same way, the rows staying listed.
    dialog.sort_combo()->setCurrentIndex(static_cast<int>(PlaylistSort::kName));
    EXPECT_TRUE(dialog.ChannelListPending());
    EXPECT_EQ(dialog.channel_list()->RowCount(), 40);
    ASSERT_TRUE(WaitUntil([&] { return !dialog.ChannelListPending(); }));
    by_name = names(dialog.channel_list());
    EXPECT_EQ(by_name.mid(0, 4), QStringList({"Ch 0", "Ch 1", "Ch 2", "Ch 3"}));
    dialog.channel_list()->SetSearchText(QStringLiteral("sport"));
    sport = names(dialog.channel_list());
    EXPECT_EQ(sport.size(), 14);
  }
  // Nothing is left to make: even a turn of a single channel's work lists
  // everything at once, as it was.
  ChannelsDialog::SetPreparationSlice(1);
  {
    ChannelsDialog again(nullptr, catalogue_);
    EXPECT_FALSE(again.ChannelListPending());
    EXPECT_EQ(names(again.channel_list()), by_name);
    again.channel_list()->SetSearchText(QStringLiteral("sport"));
    EXPECT_EQ(names(again.channel_list()), sport);
    again.channel_list()->SetSearchText(QString());
    again.sort_combo()->setCurrentIndex(static_cast<int>(PlaylistSort::kPlaylistOrder));
    EXPECT_EQ(names(again.channel_list()), in_order);
  }
  // A changed playlist is made again and lists its new channels.
  Import(m3u("New"));
  {
    ChannelsDialog changed(nullptr, catalogue_);
    EXPECT_TRUE(changed.ChannelListPending());
    ASSERT_TRUE(WaitUntil([&] { return !changed.ChannelListPending(); }, 30000));
    ASSERT_EQ(changed.channel_list()->RowCount(), 40);
    EXPECT_EQ(changed.channel_list()->ChannelAtShownRow(0)->name(), u"New 0");
    changed.sort_combo()->setCurrentIndex(static_cast<int>(PlaylistSort::kNumber));
    EXPECT_TRUE(changed.ChannelListPending());
  }
  // Closed halfway through that sort: the next opening sorts afresh.
  ChannelsDialog::SetPreparationSlice(0);
  ChannelsDialog sorted(nullptr, catalogue_);
  ASSERT_TRUE(WaitUntil([&] { return !sorted.ChannelListPending(); }));
  ASSERT_EQ(sorted.channel_list()->RowCount(), 40);
  EXPECT_EQ(sorted.channel_list()->ChannelAtShownRow(0)->name(), u"New 23");  // the last entry, number 1
}

TEST_F(PlaylistUiTest, APlaylistAddedToBeLookedAtOpensTheChannelsDialogOnIt) {
  std::vector<QString> opened;
  QObject::connect(manager_.get(), &PlaylistManager::PlaylistAdded, [&](const QString& key) { opened.push_back(key); });
  // Added in passing (the radio directory's favourites): nothing opens.
  Import(QString::fromStdString(WriteFile("quiet.m3u", "#EXTM3U\n#EXTINF:-1,Q\nhttp://s.example/q\n").string()));
  EXPECT_TRUE(opened.empty());

  const size_t before = results_.size();
  manager_->AddPlaylistSource(
      QString::fromStdString(WriteFile("new.m3u", "#EXTM3U\n#EXTINF:-1,N1\nhttp://s.example/n1\n").string()), true);
  ASSERT_TRUE(WaitUntil([&] { return results_.size() > before && !manager_->busy(); }));
  ASSERT_EQ(opened.size(), 1u);
  // The dialog was last left on another tab, country and kind.
  SetSetting(kSelectedTabSetting, kFavouritesTab);
  SetSetting(kSelectedKindSetting, kKindRadio);
  ChooseDialogPlaylist(opened[0].toStdString());
  ChannelsDialog dialog(nullptr, catalogue_);
  EXPECT_EQ(dialog.ShownTab(), kChannelsTab);
  EXPECT_EQ(dialog.country_combo()->currentText(), QStringLiteral("new"));
  ASSERT_EQ(dialog.channel_list()->RowCount(), 1);
  EXPECT_EQ(dialog.channel_list()->ChannelAtShownRow(0)->name(), u"N1");
}

TEST_F(PlaylistUiTest, APlaylistFromAnAddressMayNotNameLocalFilesAsItsGuideOrLogos) {
  ClearProxyEnvironment();
  // A guide of the channel and a logo that a playlist of this machine
  // may use.
  const std::string guide = WriteFile("guide.xml",
                                      "<?xml version=\"1.0\"?><tv><channel id=\"one\"><display-name>One</display-name>"
                                      "</channel><programme start=\"19700101000000 +0000\" stop=\"19700101010000 +0000\""
                                      " channel=\"one\"><title>News</title></programme></tv>")
                                .string();
  QImage picture(30, 10, QImage::Format_RGB32);
  picture.fill(qRgb(250, 0, 0));
  ASSERT_TRUE(picture.save(QString::fromStdString((dir_ / "logo.png").string())));
  const std::string list = "#EXTM3U url-tvg=\"file://" + guide + ", " + guide + "\"\n#EXTINF:-1 tvg-id=\"one\" tvg-logo=\"file://" +
                           (dir_ / "logo.png").string() + "\",One\nhttp://127.0.0.1:1/one\n";
  LocalHttpServer server([&list](const std::string&) {
    return HttpAnswer(200, list, "Content-Type: audio/x-mpegurl\r\n");
  });

  Import(QString::fromStdU16String(server.Url("/list.m3u")));
  ASSERT_TRUE(results_.back().first) << results_.back().second.toStdString();
  ASSERT_TRUE(WaitUntil([&] { return !guide_failures_.isEmpty() && !manager_->busy(); }));
  const QStringList lines = GuideFailureLines();
  for (const std::string& address : {"file://" + guide, guide}) {
    EXPECT_TRUE(lines.contains(QString::fromStdString(address) +
                               QStringLiteral(": a playlist fetched from an address may not name a local file")))
        << lines.join(QLatin1Char('\n')).toStdString();
  }
  Channel* one = ChannelNamed(u"One");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(manager_->GuideChannelOf(*one), -1);
  EXPECT_EQ(manager_->Logo(*one), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !manager_->busy(); }));
  EXPECT_EQ(manager_->Logo(*one), nullptr);
  EXPECT_TRUE(manager_->LogoFile(*one).empty());

  // The same playlist from a file of this machine uses both.
  manager_->RemovePlaylist(manager_->playlists()[0].key);
  Import(QString::fromStdString(WriteFile("list.m3u", list).string()));
  one = ChannelNamed(u"One");
  ASSERT_NE(one, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return manager_->GuideChannelOf(*one) >= 0 && manager_->Logo(*one) != nullptr; }));
}

TEST_F(PlaylistUiTest, AFifoAsGuideOrLogoIsRefusedAtOnceAndHoldsNoShutdown) {
  ASSERT_EQ(mkfifo((dir_ / "guide.fifo").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((dir_ / "logo.fifo").c_str(), 0600), 0);
  Import(QString::fromStdString(WriteFile("list.m3u", "#EXTM3U url-tvg=\"" + (dir_ / "guide.fifo").string() +
                                                          "\"\n#EXTINF:-1 tvg-id=\"one\" tvg-logo=\"logo.fifo\",One\n"
                                                          "http://127.0.0.1:1/one\n")
                                    .string()));
  ASSERT_TRUE(results_.back().first) << results_.back().second.toStdString();
  ASSERT_TRUE(WaitUntil([&] { return !guide_failures_.isEmpty() && !manager_->busy(); }));
  EXPECT_TRUE(GuideFailureLines().join(QLatin1Char('\n')).contains(QStringLiteral("not a regular file")))
      << GuideFailureLines().join(QLatin1Char('\n')).toStdString();
  Channel* one = ChannelNamed(u"One");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(manager_->Logo(*one), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !manager_->busy(); }));
  EXPECT_EQ(manager_->Logo(*one), nullptr);
  // The player's end: the manager and its readers go (a reader waiting
  // for a writer would hold this forever).
  manager_.reset();
}

TEST_F(PlaylistUiTest, AHugePlaylistIsPutInPlaceInSlicesWithTheEventLoopRunningBetween) {
  constexpr int kEntries = 100000;
  std::string text = "#EXTM3U\n";
  for (int i = 0; i < kEntries; ++i) {
    text += "#EXTINF:-1,Ch " + std::to_string(i) + "\nhttp://127.0.0.1:9/" + std::to_string(i) + "\n";
  }
  const QString file = QString::fromStdString(WriteFile("huge.m3u", text).string());
  // A timer of the window's kind, and how often it ran while the playlist
  // was being put in place.
  int ticks_while_placing = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    if (manager_ != nullptr && manager_->placing()) ++ticks_while_placing;
  });
  tick.start(0);

  Import(file, 120000);  // at import
  ASSERT_TRUE(results_.back().first) << results_.back().second.toStdString();
  EXPECT_EQ(catalogue_->AllChannels().size(), kEntries + 1u);
  EXPECT_GT(ticks_while_placing, 0);

  // At the next start, the stored playlist the same way.
  ticks_while_placing = 0;
  manager_.reset();
  catalogue_ = &LoadCatalogueFile(dir_ / "Channels.vdch");
  manager_ = std::make_unique<PlaylistManager>(
      *catalogue_, PlaylistFolders{dir_ / "playlists", dir_ / "logos", dir_ / "guides"}, [] { return 1000; });
  ASSERT_TRUE(WaitUntil([&] { return !manager_->busy(); }, 120000));
  EXPECT_EQ(catalogue_->AllChannels().size(), kEntries + 1u);
  EXPECT_GT(ticks_while_placing, 0);
  EXPECT_NE(ChannelNamed(u"Ch 99999"), nullptr);
}

TEST_F(PlaylistUiTest, WhatIsNoPlaylistIsReportedAndChangesNothing) {
  Import(QString::fromStdString(WriteFile("page.m3u", "<html>\n<body>not found</body>\n</html>\n").string()));
  EXPECT_FALSE(results_.back().first);
  EXPECT_EQ(results_.back().second, QStringLiteral("The address did not return a playlist (a web page)."));
  Import(QString::fromStdString((dir_ / "missing.m3u").string()));
  EXPECT_FALSE(results_.back().first);
  EXPECT_FALSE(results_.back().second.isEmpty());
  EXPECT_TRUE(manager_->playlists().empty());
  EXPECT_EQ(catalogue_->AllChannels().size(), 1u);
}

TEST_F(PlaylistUiTest, DropsCarryFilesAndLinks) {
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.m3u")), QUrl(QStringLiteral("https://h.example/b.m3u8")),
                 QUrl(QStringLiteral("ftp://h.example/c.m3u"))});
  EXPECT_EQ(PlaylistDropTarget::SourcesOf(files),
            (QStringList{QStringLiteral("/tmp/a.m3u"), QStringLiteral("https://h.example/b.m3u8")}));
  QMimeData text;
  text.setText(QStringLiteral("  http://h.example/list.m3u \n"));
  EXPECT_EQ(PlaylistDropTarget::SourcesOf(text), QStringList{QStringLiteral("http://h.example/list.m3u")});
  QMimeData prose;
  prose.setText(QStringLiteral("some words"));
  EXPECT_TRUE(PlaylistDropTarget::SourcesOf(prose).isEmpty());

  AddPlaylistDialog add(nullptr);
  add.edit()->setText(QStringLiteral("  http://h.example/x.m3u  "));
  EXPECT_EQ(add.source(), QStringLiteral("http://h.example/x.m3u"));
}

TEST_F(PlaylistUiTest, LogosAreDecodedScaledAndHostilePicturesRefused) {
  QImage big(400, 200, QImage::Format_RGB32);
  big.fill(qRgb(0, 0, 250));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  big.save(&buffer, "PNG");
  const QImage logo = DecodeLogo(png);
  ASSERT_FALSE(logo.isNull());
  EXPECT_EQ(logo.height(), LogoCache::kLogoHeight);
  EXPECT_EQ(logo.width(), 128);

  EXPECT_TRUE(DecodeLogo(QByteArray("<html>404</html>")).isNull());
  // A PNG header that claims 60000 x 60000 pixels is refused before
  // decoding.
  QByteArray bomb = png.left(33);
  const uint32_t side = 60000;
  for (int i = 0; i < 4; ++i) {
    bomb[16 + i] = static_cast<char>((side >> (24 - 8 * i)) & 0xFF);
    bomb[20 + i] = static_cast<char>((side >> (24 - 8 * i)) & 0xFF);
  }
  // With a valid checksum, so only the size can refuse it.
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(bomb.constData() + 12), 17);
  for (int i = 0; i < 4; ++i) bomb[29 + i] = static_cast<char>((crc >> (24 - 8 * i)) & 0xFF);
  bomb += png.mid(33);
  EXPECT_TRUE(DecodeLogo(bomb).isNull());
}

}  // namespace
}  // namespace vidora::testing
