// How playlist channels meet their guide in the grid and around it: a
// channel's tvg-shift moves its programmes everywhere they are shown, a
// channel named only by tvg-name finds its guide, the grid numbers rows as
// the playlist does and jumps by number or name, guide addresses the user
// adds to a playlist are read and kept, and a programme's picture shows in
// its details.
#include <QApplication>
#include <QBuffer>
#include <QDBusConnection>
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/document_format.h"
#include "core/net/local_http_server.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "e2e/wait_for.h"
#include "ui/guide/guide_test_support.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/guide/guide_dialog.h"
#include "ui/guide/guide_grid.h"
#include "ui/guide/guide_page.h"
#include "ui/guide/guide_reminders.h"
#include "ui/guide/strip_decorations.h"
#include "ui/playlists/playlist_dialogs.h"
#include "ui/playlists/playlist_guides_dialog.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora::testing {
namespace {

bool WaitUntil(const std::function<bool()>& done, int bound_ms = 10000) { return WaitFor(done, bound_ms, 20); }

const int64_t kNoon = QDate(2026, 3, 10).startOfDay().toSecsSinceEpoch() + 12 * 3600;

std::string XmltvTime(int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("yyyyMMddHHmmss")).toStdString() +
         " +0000";
}

struct Programme {
  int64_t start;
  int64_t stop;
  std::string title;
  std::string icon;
};

std::string Guide(const std::string& id, const std::string& display_name, const std::vector<Programme>& programmes) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv><channel id=\"" + id + "\"><display-name>" +
                    display_name + "</display-name></channel>\n";
  for (const Programme& p : programmes) {
    xml += "<programme start=\"" + XmltvTime(p.start) + "\" stop=\"" + XmltvTime(p.stop) + "\" channel=\"" + id +
           "\"><title>" + p.title + "</title>" + (p.icon.empty() ? "" : "<icon src=\"" + p.icon + "\"/>") +
           "</programme>\n";
  }
  return xml + "</tv>\n";
}

QByteArray Png(QColor colour) {
  QImage image(64, 36, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

class GuideChannelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearProxyEnvironment();
    LoadTestSkin();
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
    SetSetting(kCurrentChannelKeySetting, u"");
    SetSetting(kPlaylistGuideAddressesSetting, u"");
    SetSetting(kGuideRemindersSetting, u"");
    DocNode root("1.0");
    ASSERT_TRUE(SaveDocumentFile(root, dir_ / "Channels.vdch"));
    catalogue_ = &LoadCatalogueFile(dir_ / "Channels.vdch");

    // One guide file with three channels: One (moved by its tvg-shift),
    // "Zwei Sender" (found through tvg-name only) and Three.
    std::string guide = Guide("one.tv", "One", {{kNoon - 7200, kNoon - 1800, "Morning", ""},
                                                 {kNoon - 1800, kNoon + 1800, "Noon News", ""},
                                                 {kNoon + 1800, kNoon + 3600, "Weather", ""}});
    guide.resize(guide.rfind("</tv>"));
    const std::string two = Guide("zwei.de", "Zwei Sender", {{kNoon - 3600, kNoon + 3600, "Zwei am Mittag", ""}});
    guide += two.substr(two.find("<channel"));
    guide.resize(guide.rfind("</tv>"));
    const std::string three = Guide("three.tv", "Three", {{kNoon - 3600, kNoon + 3600, "Three Live", ""}});
    guide += three.substr(three.find("<channel"));
    std::ofstream(dir_ / "guide.xml") << guide;
    std::ofstream(dir_ / "list.m3u") << "#EXTM3U url-tvg=\"" << (dir_ / "guide.xml").string() << "\"\n"
                                     << "#EXTINF:-1 tvg-id=\"one.tv\" tvg-chno=\"101\" tvg-shift=\"1.5\",One\n"
                                        "http://127.0.0.1:1/one\n"
                                        "#EXTINF:-1 tvg-name=\"Zwei Sender\" tvg-chno=\"102\",Two\n"
                                        "http://127.0.0.1:1/two\n"
                                        "#EXTINF:-1 tvg-id=\"three.tv\" tvg-chno=\"7\",Three\n"
                                        "http://127.0.0.1:1/three\n"
                                        "#EXTINF:-1 tvg-id=\"four.tv\" tvg-chno=\"4\",Four\n"
                                        "http://127.0.0.1:1/four\n";
    StartManager();
    ASSERT_NO_FATAL_FAILURE(ImportWithGuide(*manager_, dir_ / "list.m3u", [this] { return Find(u"One"); }));
    owner_.setGeometry(0, 0, 480, 640);
    owner_.show();
  }
  void TearDown() override {
    manager_.reset();
    FreeCatalogue();
    SetMessageSink({});
  }

  void StartManager() {
    manager_ = std::make_unique<PlaylistManager>(
        *catalogue_, PlaylistFolders{dir_ / "playlists", dir_ / "logos", dir_ / "guides"}, [this] { return now_; });
  }
  Channel* Find(std::u16string_view name) {
    for (Channel* channel : catalogue_->AllChannels()) {
      if (channel->name() == name) return channel;
    }
    return nullptr;
  }
  // Whether the channel `name` is in the catalogue and has programmes.
  bool HasGuide(std::u16string_view name) {
    const Channel* channel = Find(name);
    return channel != nullptr && !manager_->GuideProgrammes(*channel).empty();
  }
  int RowOf(const GuideGrid& grid, std::u16string_view name) {
    for (size_t row = 0; row < grid.channels().size(); ++row) {
      if (grid.channels()[row]->name() == name) return static_cast<int>(row);
    }
    return -1;
  }

  TempDir dir_;
  QWidget owner_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<PlaylistManager> manager_;
  int64_t now_ = kNoon;
};

TEST_F(GuideChannelsTest, AShiftedChannelShowsItsProgrammesAtTheShiftedHourEverywhere) {
  GuideReminders reminders(*manager_, QDBusConnection(QStringLiteral("no bus")));
  GuideDialog dialog(&owner_, *manager_, ChannelsWithGuide(*manager_), {});
  dialog.show();
  GuideGrid* grid = dialog.grid();
  grid->Select(RowOf(*grid, u"One"), kNoon);
  // tvg-shift="1.5": Morning (10:00–11:30 in the guide) runs 11:30–13:00.
  ASSERT_TRUE(grid->SelectedProgramme().has_value());
  EXPECT_EQ(grid->BlockName(*grid->SelectedProgramme()), GuideClock(kNoon - 1800) + QStringLiteral(" Morning"));
  EXPECT_EQ(grid->SelectedProgramme()->stop, kNoon + 3600);
  QTest::keyClick(grid, Qt::Key_Right);
  EXPECT_EQ(grid->BlockName(*grid->SelectedProgramme()), GuideClock(kNoon + 3600) + QStringLiteral(" Noon News"));
  EXPECT_TRUE(dialog.details()->text().contains(GuideClock(kNoon + 3600) + QStringLiteral("–") +
                                                GuideClock(kNoon + 7200)));

  // The strip's now/next, the channels dialog's page and the reminder
  // (Enter on the future programme) go by the same hours.
  EXPECT_EQ(NowNextLine(*Find(u"One")), GuideClock(kNoon - 1800) + QStringLiteral(" Morning \u00B7 ") +
                                            GuideClock(kNoon + 3600) + QStringLiteral(" Noon News"));
  GuidePage page;
  page.Show(*manager_, *Find(u"One"));
  ASSERT_GE(page.RunningRow(), 0);
  EXPECT_TRUE(page.item(page.RunningRow())->text().endsWith(GuideClock(kNoon - 1800) + QStringLiteral("  Morning")));
  QTest::keyClick(grid, Qt::Key_Return);
  EXPECT_TRUE(reminders.Has(Find(u"One")->key(), kNoon + 3600));

  // A channel without a shift keeps the guide's hours.
  grid->Select(RowOf(*grid, u"Three"), kNoon);
  EXPECT_EQ(grid->SelectedProgramme()->start, kNoon - 3600);
}

TEST_F(GuideChannelsTest, AChannelNamedOnlyByTvgNameFindsItsGuide) {
  // "Two" is no display name of the guide, "Zwei Sender" is its tvg-name.
  const std::vector<Channel*> with_guide = ChannelsWithGuide(*manager_);
  EXPECT_NE(std::find(with_guide.begin(), with_guide.end(), Find(u"Two")), with_guide.end());
  EXPECT_EQ(NowNextLine(*Find(u"Two")), GuideClock(kNoon - 3600) + QStringLiteral(" Zwei am Mittag"));
  // And after a restart, from the stored playlist.
  manager_.reset();
  StartManager();
  ASSERT_TRUE(WaitUntil([&] { return !manager_->busy() && HasGuide(u"Two"); }));
}

TEST_F(GuideChannelsTest, TheGridNumbersRowsAsThePlaylistAndJumpsByNumberOrName) {
  GuideDialog dialog(&owner_, *manager_, ChannelsWithGuide(*manager_), {});
  dialog.show();
  GuideGrid* grid = dialog.grid();
  EXPECT_EQ(grid->NumberOf(*Find(u"One")), QStringLiteral("101"));
  EXPECT_EQ(grid->NumberOf(*Find(u"Three")), QStringLiteral("7"));

  QTest::keyClick(grid, Qt::Key_7);
  EXPECT_EQ(grid->SelectedChannel(), Find(u"Three"));
  QTest::qWait(1600);  // a pause ends the number
  QTest::keyClicks(grid, QStringLiteral("102"));
  EXPECT_EQ(grid->SelectedChannel(), Find(u"Two"));
  EXPECT_TRUE(dialog.search()->text().isEmpty()) << "digits are no search";

  // Letters: the channels whose name starts with them come first.
  QTest::keyClicks(grid, QStringLiteral("th"));
  EXPECT_EQ(dialog.search()->text(), QStringLiteral("th"));
  ASSERT_TRUE(dialog.results()->isVisible());
  ASSERT_GE(dialog.results()->count(), 1);
  EXPECT_EQ(dialog.results()->item(0)->text(), Text("str_guide_channel_result").arg(QStringLiteral("7"), QStringLiteral("Three")));
  QTest::keyClick(dialog.search(), Qt::Key_Return);
  EXPECT_FALSE(dialog.results()->isVisible());
  EXPECT_EQ(grid->SelectedChannel(), Find(u"Three"));
  EXPECT_EQ(grid->SelectedProgramme()->start, kNoon - 3600) << "the time stays";
}

// Serves a second guide (Four's) and the pictures its programmes name.
struct GuideServer {
  GuideServer(const std::filesystem::path& local_picture)
      : server([this](const std::string& head) -> std::optional<std::string> {
          const std::string path = RequestPath(head);
          if (path == "/four.xml") return HttpAnswer(200, guide, "Content-Type: application/xml\r\n");
          if (path == "/four.png") return HttpAnswer(200, png, "Content-Type: image/png\r\n");
          return HttpAnswer(404, "<html><body>Not Found</body></html>", "Content-Type: text/html\r\n");
        }) {
    const QByteArray bytes = Png(QColor(200, 40, 40));
    png.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    guide = Guide("four.tv", "Four",
                  {{kNoon - 1800, kNoon + 1800, "Pictured", "http://127.0.0.1:" + std::to_string(server.port()) + "/four.png"},
                   {kNoon + 1800, kNoon + 3600, "Local Picture", local_picture.string()},
                   {kNoon + 3600, kNoon + 5400, "Plain", ""}});
  }
  std::u16string GuideUrl() const { return server.Url("/four.xml"); }

  std::string guide;
  std::string png;
  LocalHttpServer server;
};

TEST_F(GuideChannelsTest, GuideAddressesAddedToAPlaylistAreReadKeptAndRemoved) {
  GuideServer four(dir_ / "none.png");
  EXPECT_TRUE(manager_->GuideProgrammes(*Find(u"Four")).empty());
  PlaylistsDialog playlists(&owner_, *manager_);
  playlists.list()->setCurrentRow(0);
  const std::string key = manager_->playlists().at(0).key;

  // The playlist's own address is listed and stays; the typed one is added.
  playlists.set_guides_runner([&](PlaylistGuidesDialog& dialog) {
    ASSERT_EQ(dialog.list()->count(), 1);
    EXPECT_EQ(dialog.list()->item(0)->text(),
              Text("str_guide_from_playlist").arg(QString::fromStdString((dir_ / "guide.xml").string())));
    dialog.list()->setCurrentRow(0);
    dialog.RemoveSelected();
    EXPECT_EQ(dialog.list()->count(), 1);
    QTest::keyClicks(dialog.edit(), QString::fromStdU16String(four.GuideUrl()));
    QTest::keyClick(dialog.edit(), Qt::Key_Return);
    ASSERT_EQ(dialog.list()->count(), 2);
    EXPECT_EQ(dialog.list()->item(1)->text(), QString::fromStdU16String(four.GuideUrl()));
    dialog.RunCommand(ID_SOFTKEY_LEFT);
  });
  playlists.EditSelectedGuides();
  ASSERT_TRUE(WaitUntil([&] { return !manager_->busy() && HasGuide(u"Four"); }));
  EXPECT_TRUE(HasGuide(u"One")) << "the playlist's own guide is still read";

  // Kept across a restart.
  manager_.reset();
  StartManager();
  ASSERT_TRUE(WaitUntil([&] { return !manager_->busy() && HasGuide(u"Four"); }));
  EXPECT_EQ(manager_->UserGuideAddressesOf(key), std::vector<std::u16string>{four.GuideUrl()});

  // Removed (Delete in the list), and Cancel keeps what was there.
  PlaylistsDialog again(&owner_, *manager_);
  again.list()->setCurrentRow(0);
  again.set_guides_runner([](PlaylistGuidesDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.list()->setFocus();
    dialog.list()->setCurrentRow(1);
    QTest::keyClick(dialog.list(), Qt::Key_Delete);
    EXPECT_EQ(dialog.list()->count(), 1);
    dialog.RunCommand(ID_SOFTKEY_RIGHT);
  });
  again.EditSelectedGuides();
  EXPECT_EQ(manager_->UserGuideAddressesOf(key).size(), 1u);
  again.set_guides_runner([](PlaylistGuidesDialog& dialog) {
    dialog.list()->setCurrentRow(1);
    dialog.RemoveSelected();
    dialog.RunCommand(ID_SOFTKEY_LEFT);
  });
  again.EditSelectedGuides();
  EXPECT_TRUE(manager_->UserGuideAddressesOf(key).empty());
  ASSERT_TRUE(WaitUntil([&] { return !manager_->busy() && !HasGuide(u"Four"); }));
}

// Saves `image` under VIDORA_SCREENSHOT_DIR when that is set, for people
// to look at.
void MaybeSave(const QImage& image, const QString& name) {
  const char* dir = std::getenv("VIDORA_SCREENSHOT_DIR");
  if (dir != nullptr) image.save(QDir(QString::fromLocal8Bit(dir)).filePath(name));
}

TEST_F(GuideChannelsTest, TheDetailsShowTheProgrammePictureButNoLocalFileOfAFetchedGuide) {
  // A picture the fetched guide names by its local path: readable, and
  // still never read.
  const QByteArray local = Png(QColor(40, 200, 40));
  std::ofstream(dir_ / "local.png", std::ios::binary).write(local.constData(), local.size());
  GuideServer four(dir_ / "local.png");
  manager_->SetUserGuideAddresses(manager_->playlists().at(0).key, {four.GuideUrl()});
  ASSERT_TRUE(WaitUntil([&] { return !manager_->busy() && HasGuide(u"Four"); }));

  for (const char16_t* language : {u"en", u"de"}) {
    ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, language));
    GuideDialog dialog(&owner_, *manager_, ChannelsWithGuide(*manager_), {});
    dialog.show();
    GuideGrid* grid = dialog.grid();
    grid->Select(RowOf(*grid, u"Four"), kNoon);
    ASSERT_TRUE(dialog.picture()->isVisible());
    EXPECT_EQ(dialog.picture()->accessibleName(), Text("str_programme_picture"));
    ASSERT_TRUE(WaitUntil([&] { return dialog.picture_shown(); }));
    const QImage shown = dialog.picture()->pixmap().toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)), QColor(200, 40, 40));
    MaybeSave(dialog.grab().toImage(), QStringLiteral("guide_picture_%1.png").arg(QString::fromStdU16String(language)));

    QTest::keyClick(grid, Qt::Key_Right);  // Local Picture: the placeholder stays
    ASSERT_EQ(grid->BlockName(*grid->SelectedProgramme()), GuideClock(kNoon + 1800) + QStringLiteral(" Local Picture"));
    QTest::qWait(500);
    EXPECT_TRUE(dialog.picture()->isVisible());
    EXPECT_FALSE(dialog.picture_shown());
    QTest::keyClick(grid, Qt::Key_Right);  // Plain: no picture at all
    EXPECT_FALSE(dialog.picture()->isVisible());

    // The playlist's guide addresses in the same language, for people to
    // look at.
    PlaylistsDialog playlists(&owner_, *manager_);
    playlists.list()->setCurrentRow(0);
    playlists.set_guides_runner([&](PlaylistGuidesDialog& guides) {
      guides.show();
      EXPECT_NE(guides.windowTitle(), QStringLiteral("str_playlist_guides_of"));
      MaybeSave(guides.grab().toImage(), QStringLiteral("playlist_guides_%1.png").arg(QString::fromStdU16String(language)));
    });
    playlists.EditSelectedGuides();
  }
  FreeLanguagePack();
}

}  // namespace
}  // namespace vidora::testing
