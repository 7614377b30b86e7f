// The guide page of the channels dialog: today's programmes of the
// selected playlist channel from a local XMLTV file, reached and left by
// keys and the menu.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "e2e/wait_for.h"
#include "ui/guide/guide_test_support.h"
#include "core/catalogue/channel_catalogue.h"
#include "ui/catalogue/channels_dialog_state.h"
#include "core/document/document_format.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/guide/guide_dialog.h"
#include "ui/guide/guide_grid.h"
#include "ui/guide/guide_page.h"
#include "ui/guide/guide_reminders.h"
#include "ui/desktop/private_bus.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/playback_test_support.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/recording/recording_controller.h"
#include "ui/recording/schedule_toggle.h"
#include "ui/sleep/sleep_commands.h"
#include "ui/sleep/sleep_timer.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"
#include "ui/timeshift/restart_programme.h"
#include "ui/timeshift/timeshift_bar.h"

namespace vidora::testing {
namespace {

bool WaitUntil(const std::function<bool()>& done, int bound_ms = 10000) {
  return vidora::testing::WaitFor(done, bound_ms, 20);
}

void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(widget, &event);
}

// Noon of 2026-03-10 in the local time zone, and that day's midnights.
const int64_t kDayStart = QDate(2026, 3, 10).startOfDay().toSecsSinceEpoch();
const int64_t kDayEnd = QDate(2026, 3, 11).startOfDay().toSecsSinceEpoch();
const int64_t kNoon = kDayStart + 12 * 3600;

std::string XmltvTime(int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("yyyyMMddHHmmss")).toStdString() +
         " +0000";
}

std::vector<int> MenuCommands(QMenu* menu) {
  std::vector<int> commands;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator()) commands.push_back(action->data().toInt());
  }
  return commands;
}

class GuidePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
    SetSetting(kCurrentChannelKeySetting, u"");
    SetSetting(kSelectedTabSetting, 0);
    SetSetting(kSelectedCountrySetting, 0);
    SetSetting(kSelectedCategorySetting, 0);
    SetSetting(kSelectedKindSetting, 0);
    SetSetting(kSelectedCountryKeySetting, u"");
    SetSetting(kSelectedCategoryKeySetting, u"");
    DocNode root("1.0");
    DocNode* ard = root.AddChild("de")->AddChild("ard");
    ard->SetWideString("n", u"ARD");
    ard->SetString("c", "n");
    ard->AddChild("0")->SetWideString("u", u"http://127.0.0.1:1/ard");
    ASSERT_TRUE(SaveDocumentFile(root, dir_ / "Channels.vdch"));
    catalogue_ = &LoadCatalogueFile(dir_ / "Channels.vdch");

    // Yesterday's late film runs into today; one programme starts
    // tomorrow and is not today's.
    const std::pair<int64_t, const char*> programmes[] = {
        {kDayStart - 1800, "Late Film"}, {kDayStart + 3600, "Night Music"}, {kNoon - 1800, "Noon News"},
        {kNoon + 1800, "Weather"},       {kDayEnd - 600, "Midnight Talk"},  {kDayEnd + 3600, "Tomorrow Show"},
        {kDayEnd + 7200, ""}};
    std::string guide = "<?xml version=\"1.0\"?>\n<tv><channel id=\"one.tv\"><display-name>One</display-name></channel>\n";
    for (size_t i = 0; i + 1 < std::size(programmes); ++i) {
      guide += "<programme start=\"" + XmltvTime(programmes[i].first) + "\" stop=\"" +
               XmltvTime(programmes[i + 1].first) + "\" channel=\"one.tv\"><title>" + programmes[i].second +
               "</title></programme>\n";
    }
    guide += "</tv>\n";
    std::ofstream(dir_ / "guide.xml") << guide;
    std::ofstream(dir_ / "list.m3u") << "#EXTM3U url-tvg=\"" << (dir_ / "guide.xml").string()
                                     << "\"\n#EXTINF:-1 tvg-id=\"one.tv\" catchup=\"default\" catchup-days=\"3\" "
                                        "user-agent=\"OneAgent\" catchup-source=\"http://127.0.0.1:1/archive/one?"
                                        "from={utc}&to={utcend}\",One\nhttp://127.0.0.1:1/one\n"
                                        "#EXTINF:-1,Two\nhttp://127.0.0.1:1/two\n";

    manager_ = std::make_unique<PlaylistManager>(
        *catalogue_, PlaylistFolders{dir_ / "playlists", dir_ / "logos", dir_ / "guides"}, [this] { return now_; });
    ASSERT_NO_FATAL_FAILURE(ImportWithGuide(*manager_, dir_ / "list.m3u", [this] { return Find(u"One"); }));
    owner_.setGeometry(0, 0, 480, 640);
    owner_.show();
  }
  void TearDown() override {
    manager_.reset();
    FreeCatalogue();
    SetMessageSink({});
  }

  Channel* Find(std::u16string_view name) {
    for (Channel* channel : catalogue_->AllChannels()) {
      if (channel->name() == name) return channel;
    }
    return nullptr;
  }
  // Selects `name` in the dialog's channel list.
  void Select(ChannelsDialog& dialog, std::u16string_view name) {
    ChannelListView* list = dialog.channel_list();
    for (int row = 0; row < list->RowCount(); ++row) {
      if (list->ChannelAtShownRow(row)->name() == name) {
        ASSERT_TRUE(list->SelectRow(row));
      }
    }
    ASSERT_EQ(list->SelectedChannel(), Find(name));
  }

  TempDir dir_;
  QWidget owner_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<PlaylistManager> manager_;
  int64_t now_ = kNoon;
};

TEST_F(GuidePageTest, TodaysProgrammesWithTheRunningOneMarked) {
  ChannelsDialog dialog(&owner_, catalogue_);
  dialog.show();
  Select(dialog, u"One");
  ASSERT_EQ(MenuCommands(dialog.right_menu()),
            (std::vector<int>{ID_SWITCH_TAB, ID_ADD_FAVOURITE, ID_SHOW_GUIDE, ID_CLOSE_CHANNELS}));
  dialog.RunCommand(ID_SHOW_GUIDE);
  ASSERT_TRUE(dialog.GuideShown());
  GuidePage* page = dialog.guide_page();
  EXPECT_TRUE(page->isVisible());
  EXPECT_FALSE(dialog.channel_list()->isVisible());
  EXPECT_FALSE(dialog.country_combo()->isVisible());
  EXPECT_EQ(page->channel(), Find(u"One"));

  // Yesterday's late film runs into today and is listed; tomorrow's are
  // left out.
  std::vector<QString> rows;
  for (int i = 0; i < page->count(); ++i) rows.push_back(page->item(i)->text());
  const auto row = [](bool running, int64_t start, const char* title) {
    return (running ? QStringLiteral("\u25B6 ") : QStringLiteral("    ")) + GuideClock(start) + QStringLiteral("  ") +
           QString::fromUtf8(title);
  };
  EXPECT_EQ(rows, (std::vector<QString>{row(false, kDayStart - 1800, "Late Film"), row(false, kDayStart + 3600, "Night Music"),
                                        row(true, kNoon - 1800, "Noon News"), row(false, kNoon + 1800, "Weather"),
                                        row(false, kDayEnd - 600, "Midnight Talk")}));
  EXPECT_EQ(page->RunningRow(), 2);
  EXPECT_EQ(page->currentRow(), 2);
  EXPECT_TRUE(page->item(2)->font().bold());
  EXPECT_FALSE(page->item(3)->font().bold());
  EXPECT_EQ(MenuCommands(dialog.right_menu()), (std::vector<int>{ID_HIDE_GUIDE, ID_CLOSE_CHANNELS}));

  // Enter plays the channel the page shows.
  Key(page, Qt::Key_Return);
  EXPECT_TRUE(dialog.play_requested());
  EXPECT_EQ(dialog.chosen_channel(), Find(u"One"));
}

TEST_F(GuidePageTest, KeysAndTheMenuOpenAndLeaveThePage) {
  ChannelsDialog dialog(&owner_, catalogue_);
  dialog.show();
  Select(dialog, u"One");
  ChannelListView* list = dialog.channel_list();

  // Ctrl+G from the list; the page takes the keys.
  Key(list, Qt::Key_G, Qt::ControlModifier);
  ASSERT_TRUE(dialog.GuideShown());
  EXPECT_TRUE(list->SearchText().isEmpty()) << "Ctrl+G is no search text";
  // Escape goes back to the list with its selection, and does not close the dialog.
  Key(dialog.guide_page(), Qt::Key_Escape);
  EXPECT_FALSE(dialog.GuideShown());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(list->isVisible());
  EXPECT_FALSE(dialog.guide_page()->isVisible());
  EXPECT_EQ(list->SelectedChannel(), Find(u"One"));
  EXPECT_EQ(dialog.ShownTab(), kChannelsTab);

  for (int back : {int{Qt::Key_Backspace}, int{Qt::Key_Left}}) {
    dialog.RunCommand(ID_SHOW_GUIDE);
    ASSERT_TRUE(dialog.GuideShown());
    Key(dialog.guide_page(), back);
    EXPECT_FALSE(dialog.GuideShown());
  }
  dialog.RunCommand(ID_SHOW_GUIDE);
  dialog.RunCommand(ID_HIDE_GUIDE);
  EXPECT_FALSE(dialog.GuideShown());

  // A channel without a guide shows that it has none; a catalogue channel
  // has no guide page at all.
  Select(dialog, u"Two");
  dialog.RunCommand(ID_SHOW_GUIDE);
  ASSERT_TRUE(dialog.GuideShown());
  ASSERT_EQ(dialog.guide_page()->count(), 1);
  EXPECT_EQ(dialog.guide_page()->item(0)->text(), Text("str_no_guide"));
  EXPECT_EQ(dialog.guide_page()->RunningRow(), -1);
  dialog.RunCommand(ID_HIDE_GUIDE);
  Select(dialog, u"ARD");
  EXPECT_EQ(MenuCommands(dialog.right_menu()), (std::vector<int>{ID_SWITCH_TAB, ID_ADD_FAVOURITE, ID_CLOSE_CHANNELS}));
  Key(list, Qt::Key_G, Qt::ControlModifier);
  EXPECT_FALSE(dialog.GuideShown());

  // From the favourites tab, the page goes back to the favourites.
  Select(dialog, u"One");
  dialog.RunCommand(ID_ADD_FAVOURITE);  // refills the favourites list
  dialog.ShowTab(kFavouritesTab);
  ASSERT_EQ(dialog.ShownTab(), kFavouritesTab);
  ASSERT_EQ(dialog.favourites_list()->SelectedChannel(), Find(u"One"));
  dialog.RunCommand(ID_SHOW_GUIDE);
  ASSERT_TRUE(dialog.GuideShown());
  EXPECT_FALSE(dialog.favourites_list()->isVisible());
  Key(dialog.guide_page(), Qt::Key_Escape);
  EXPECT_EQ(dialog.ShownTab(), kFavouritesTab);
  EXPECT_TRUE(dialog.favourites_list()->isVisible());
}

// Saves `image` under VIDORA_SCREENSHOT_DIR when that is set, for people
// to look at.
void MaybeSave(const QImage& image, const QString& name) {
  const char* dir = std::getenv("VIDORA_SCREENSHOT_DIR");
  if (dir != nullptr) image.save(QDir(QString::fromLocal8Bit(dir)).filePath(name));
}

// In the shipped languages: the page's title in the tab strip, white rows
// in the gold frame like the lists beside it, the running one grey.
TEST_F(GuidePageTest, TranslatedTitleAndRowsLikeTheChannelLists) {
  constexpr QRgb kGold = qRgb(195, 170, 69);
  for (const char16_t* language : {u"en", u"de", u"ru"}) {
    ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, language));
    ChannelsDialog dialog(nullptr, catalogue_);
    dialog.resize(480, 640);
    Select(dialog, u"One");
    dialog.RunCommand(ID_SHOW_GUIDE);
    ASSERT_TRUE(dialog.GuideShown());
    EXPECT_EQ(Text("str_guide_today").arg(QStringLiteral("One")), dialog.GuideTitle());
    EXPECT_NE(Text("str_guide_today"), QStringLiteral("str_guide_today"));
    const QImage shot = dialog.grab().toImage();
    MaybeSave(shot, QStringLiteral("guide_page_%1.png").arg(QString::fromStdU16String(language)));

    const int u = BarUnit();
    const int g = u / 8;
    EXPECT_EQ(shot.pixel(g - 1, u + g + 5), kGold);
    GuidePage* page = dialog.guide_page();
    const auto at_row_end = [&](int row) {
      const QRect rect = page->visualItemRect(page->item(row));
      return shot.pixel(page->mapTo(&dialog, QPoint(rect.right() - 3, rect.center().y())));
    };
    EXPECT_EQ(at_row_end(1), qRgb(255, 255, 255));
    EXPECT_EQ(at_row_end(2), qRgb(192, 192, 192));  // running
    // The title is light text on the dark strip.
    int light = 0;
    for (int x = 0; x < shot.width(); ++x) {
      for (int y = 2; y < u - 2; ++y) light += qGray(shot.pixel(x, y)) > 200 ? 1 : 0;
    }
    EXPECT_GT(light, 20);
  }
  FreeLanguagePack();
}

// The grid's Reminders button shows its whole caption in every shipped
// language, also in the narrowest window.
TEST_F(GuidePageTest, TheRemindersButtonShowsItsWholeCaptionInEveryLanguage) {
  for (const char16_t* language : {u"en", u"de", u"fr", u"es", u"ru"}) {
    ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, language));
    GuideDialog dialog(&owner_, *manager_, ChannelsWithGuide(*manager_), {});
    dialog.show();
    ASSERT_EQ(dialog.width(), 480);
    MaybeSave(dialog.grab().toImage(), QStringLiteral("guide_grid_%1.png").arg(QString::fromStdU16String(language)));
    auto* reminders = dialog.findChild<QPushButton*>(QStringLiteral("reminders"));
    ASSERT_NE(reminders, nullptr);
    EXPECT_GE(reminders->width(), reminders->sizeHint().width()) << reminders->text().toStdString();
    EXPECT_GT(reminders->x(), dialog.findChild<QLineEdit*>()->geometry().right()) << reminders->text().toStdString();
  }
  FreeLanguagePack();
}

// Stands in for the desktop's notification server on a private bus.
class NotificationServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  QStringList summaries;
  QStringList actions;

 public slots:
  uint Notify(const QString&, uint, const QString&, const QString& summary, const QString&, const QStringList& acts,
              const QVariantMap&, int) {
    summaries << summary;
    actions = acts;
    return 7;
  }

 signals:
  void ActionInvoked(uint id, const QString& action);
};

TEST_F(GuidePageTest, GridShowsTheClocksBlocksAndPlaysTheRunningOne) {
  std::vector<Channel*> played;
  GuideDialog dialog(&owner_, *manager_, ChannelsWithGuide(*manager_), [&played](Channel* c) { played.push_back(c); });
  dialog.show();
  MaybeSave(dialog.grab().toImage(), QStringLiteral("guide_grid.png"));
  GuideGrid* grid = dialog.grid();
  EXPECT_EQ(grid->accessibleName(), Text("str_programme_guide"));
  ASSERT_EQ(grid->channels(), (std::vector<const Channel*>{Find(u"One")}));
  // The running programme is selected, its block named "HH:MM Title" for
  // screen readers with the channel as description.
  ASSERT_TRUE(grid->SelectedProgramme().has_value());
  EXPECT_EQ(grid->BlockName(*grid->SelectedProgramme()), GuideClock(kNoon - 1800) + QStringLiteral(" Noon News"));
  EXPECT_TRUE(dialog.details()->text().contains(QStringLiteral("Noon News")));
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
  ASSERT_NE(table, nullptr);
  QStringList names;
  for (int i = 0; i < table->childCount(); ++i) names << table->child(i)->text(QAccessible::Name);
  EXPECT_TRUE(names.contains(GuideClock(kNoon + 1800) + QStringLiteral(" Weather"))) << names.join(u'|').toStdString();
  ASSERT_NE(table->focusChild(), nullptr);
  // One keeps an archive of past programmes, and says so.
  EXPECT_EQ(table->focusChild()->text(QAccessible::Description), QStringLiteral("One, ") + Text("catchup_has_archive"));

  Key(grid, Qt::Key_Right);
  EXPECT_EQ(grid->BlockName(*grid->SelectedProgramme()), GuideClock(kNoon + 1800) + QStringLiteral(" Weather"));
  Key(grid, Qt::Key_PageUp);  // a day back: nothing listed then
  EXPECT_FALSE(grid->SelectedProgramme().has_value());
  EXPECT_LT(grid->view_start(), kDayStart);
  Key(grid, Qt::Key_Home);
  EXPECT_EQ(grid->SelectedProgramme()->start, kNoon - 1800);
  Key(grid, Qt::Key_Return);
  EXPECT_EQ(played, std::vector<Channel*>{Find(u"One")});
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(GuidePageTest, TypingSearchesTitlesAndEnterJumpsThere) {
  GuideDialog dialog(&owner_, *manager_, ChannelsWithGuide(*manager_), {});
  dialog.show();
  Key(dialog.grid(), Qt::Key_M, Qt::NoModifier);
  QTest::keyClicks(dialog.search(), QStringLiteral("idnight"));
  ASSERT_TRUE(dialog.results()->isVisible());
  ASSERT_EQ(dialog.results()->count(), 1);
  EXPECT_TRUE(dialog.results()->item(0)->text().endsWith(QStringLiteral("One  Midnight Talk")));
  QTest::keyClick(dialog.search(), Qt::Key_Return);
  EXPECT_FALSE(dialog.results()->isVisible());
  EXPECT_EQ(dialog.grid()->SelectedProgramme()->start, kDayEnd - 600);
}

TEST_F(GuidePageTest, AReminderNotifiesAMinuteAheadAndWatchSwitches) {
  PrivateBus bus;
  ASSERT_FALSE(bus.address().isEmpty());
  QDBusConnection server_side = bus.Connect(QStringLiteral("notifications"));
  NotificationServer server;
  ASSERT_TRUE(server_side.registerService(QStringLiteral("org.freedesktop.Notifications")));
  ASSERT_TRUE(server_side.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                         QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
  SetSetting(kGuideRemindersSetting, u"");
  {
    GuideReminders reminders(*manager_, bus.Connect(QStringLiteral("player")));
    GuideDialog dialog(&owner_, *manager_, ChannelsWithGuide(*manager_), {});
    dialog.show();
    Key(dialog.grid(), Qt::Key_Right);  // Weather, in half an hour
    Key(dialog.grid(), Qt::Key_Return);
    EXPECT_TRUE(reminders.Has(Find(u"One")->key(), kNoon + 1800));
    EXPECT_TRUE(dialog.isVisible());
  }
  // Kept across restarts; sent a minute before the start.
  GuideReminders reminders(*manager_, bus.Connect(QStringLiteral("player2")));
  ASSERT_EQ(reminders.reminders().size(), 1u);
  now_ = kNoon + 1800 - 120;
  reminders.SendDue();
  QTest::qWait(300);
  EXPECT_TRUE(server.summaries.isEmpty());
  now_ = kNoon + 1800 - 60;
  reminders.SendDue();
  ASSERT_TRUE(WaitUntil([&] { return !server.summaries.isEmpty(); }));
  EXPECT_EQ(server.summaries.front(), Text("str_reminder_starts").arg(QStringLiteral("Weather"), GuideClock(kNoon + 1800)));
  EXPECT_EQ(server.actions.front(), QStringLiteral("watch"));
  QString watched;
  QObject::connect(&reminders, &GuideReminders::WatchRequested, [&watched](const QString& key) { watched = key; });
  QTest::qWait(200);  // the reply with the notification's id
  emit server.ActionInvoked(7, QStringLiteral("watch"));
  ASSERT_TRUE(WaitUntil([&] { return !watched.isEmpty(); }));
  EXPECT_EQ(watched.toStdString(), Find(u"One")->key());
  EXPECT_TRUE(reminders.reminders().empty());
}

// The address One's archive answers for a programme shown from `start`
// to `end`.
std::string ArchiveAddress(int64_t start, int64_t end) {
  return "http://127.0.0.1:1/archive/one?from=" + std::to_string(start) + "&to=" + std::to_string(end);
}

// A view playing through the fake engine, as the main view does.
struct FakePlaybackView {
  FakePlaybackView() {
    view.resize(240, 268);
    playback = std::make_unique<PlaybackControl>(&view, &target, nullptr);
    playback->Start(QRect(4, 4, 232, 228), [this] { return std::make_unique<FakePlayerBackend>(record); });
  }
  QWidget view;
  RecordingViewTarget target;
  FakePlayerBackend::Record record;
  std::unique_ptr<PlaybackControl> playback;
};

TEST_F(GuidePageTest, EnterOnAPastProgrammePlaysItFromTheArchive) {
  ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
  FakePlaybackView fake;
  FakePlayerBackend::Record& record = fake.record;
  PlaybackControl& playback = *fake.playback;
  const auto open = [&](std::function<void(GuideGrid*)> keys) {
    auto dialog = std::make_unique<GuideDialog>(&owner_, *manager_, ChannelsWithGuide(*manager_), [](Channel*) {});
    dialog->set_play_archive([&playback](const Channel& channel, const std::u16string& address,
                                         const std::u16string& name) { playback.PlayCatchup(channel, address, name); });
    dialog->show();
    keys(dialog->grid());
    return dialog;
  };

  // Night Music ended at half past eleven: it plays from the archive with
  // the channel's own agent, and the guide closes.
  std::unique_ptr<GuideDialog> dialog = open([](GuideGrid* grid) {
    Key(grid, Qt::Key_Left);
    Key(grid, Qt::Key_Return);
  });
  ASSERT_FALSE(record.loads.empty());
  EXPECT_EQ(record.loads.back(), ArchiveAddress(kDayStart + 3600, kNoon - 1800));
  EXPECT_EQ(record.user_agent, "OneAgent");
  EXPECT_EQ(ToQString(playback.playing_channel()->name()), QStringLiteral("One \u00B7 Night Music"));
  EXPECT_FALSE(dialog->isVisible());

  // Shift+Enter restarts the running Noon News, up to now.
  dialog = open([](GuideGrid* grid) { Key(grid, Qt::Key_Return, Qt::ShiftModifier); });
  EXPECT_EQ(record.loads.back(), ArchiveAddress(kNoon - 1800, kNoon));

  // Four days on, the archive of three days no longer has it: the guide
  // stays and says why.
  const size_t loads = record.loads.size();
  now_ = kNoon + 4 * 86400;
  dialog = open([](GuideGrid* grid) {
    grid->Select(0, kDayStart + 3600);
    Key(grid, Qt::Key_Return);
  });
  EXPECT_EQ(record.loads.size(), loads);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->note(), Text("catchup_too_old"));
  EXPECT_TRUE(dialog->details()->text().contains(Text("catchup_too_old")));
  dialog.reset();
  playback.End();
  FreeLanguagePack();
}

TEST_F(GuidePageTest, RSchedulesTheRecordingOfAFutureProgrammeAndRAgainRemovesIt) {
  ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
  SetSetting(kMaxRecordingsSetting, 1);
  RecordingController recordings({dir_ / "recordings", dir_ / "schedule.txt", [this] { return now_; }, 60000});
  GuideDialog dialog(&owner_, *manager_, ChannelsWithGuide(*manager_), {});
  dialog.set_recorder(GuideRecorder(recordings));
  dialog.show();
  Key(dialog.grid(), Qt::Key_Right);  // Weather, in half an hour
  Key(dialog.grid(), Qt::Key_R);
  ASSERT_EQ(recordings.schedule().items().size(), 1u);
  const ScheduledRecording& weather = recordings.schedule().items().front();
  EXPECT_EQ(weather.channel, "One");
  EXPECT_EQ(weather.address, "http://127.0.0.1:1/one");
  EXPECT_EQ(weather.user_agent, "OneAgent");
  EXPECT_EQ(weather.start, kNoon + 1800);
  EXPECT_EQ(dialog.note(), Text("rec_scheduled").arg(QStringLiteral("Weather"), GuideClock(kNoon + 1800)));
  EXPECT_TRUE(dialog.search()->text().isEmpty());  // R is no search

  Key(dialog.grid(), Qt::Key_R);
  EXPECT_TRUE(recordings.schedule().items().empty());
  EXPECT_EQ(dialog.note(), Text("rec_unscheduled").arg(QStringLiteral("Weather")));

  // With one recording at a time, a programme at the same hour clashes.
  ASSERT_TRUE(recordings.Schedule({"Other", "Match", "http://127.0.0.1:1/other", "", "", "", kNoon + 1800, kNoon + 5400}));
  Key(dialog.grid(), Qt::Key_R);
  EXPECT_EQ(recordings.schedule().items().size(), 1u);
  EXPECT_TRUE(dialog.note().contains(QStringLiteral("Other"))) << dialog.note().toStdString();
  SetSetting(kMaxRecordingsSetting, kMaxRecordingsSetting.fallback);
  FreeLanguagePack();
}

TEST_F(GuidePageTest, HomePlaysTheRunningProgrammeFromTheArchive) {
  FakePlaybackView fake;
  QWidget& view = fake.view;
  FakePlayerBackend::Record& record = fake.record;
  PlaybackControl& playback = *fake.playback;
  TimeshiftBar bar(&view, &view, playback.player(), PlaybackControl::Limits());
  QString said;
  bar.set_restart_programme([&] { said = RestartRunningProgramme(playback, *manager_); });
  view.show();
  QApplication::setActiveWindow(&view);
  const auto press_home = [&view] {
    QKeyEvent override_event(QEvent::ShortcutOverride, Qt::Key_Home, Qt::NoModifier);
    QApplication::sendEvent(&view, &override_event);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
  };

  // Live One, ten minutes into Noon News: Home plays it from its start.
  now_ = kNoon + 600;
  playback.PlayChannel(Find(u"One"));
  EXPECT_EQ(record.loads.back(), "http://127.0.0.1:1/one");
  press_home();
  EXPECT_EQ(record.loads.back(), ArchiveAddress(kNoon - 1800, kNoon + 600));
  EXPECT_TRUE(said.isEmpty());
  playback.End();
}

TEST(ProgrammesOfTodayTest, KeepsWhatRunsOnTheLocalDayOfNow) {
  // Titles stand in as numbers: 1 yesterday, 2 across midnight, 3 today,
  // 4 the last second, 5 tomorrow.
  const std::vector<ProgrammeRecord> programmes = {
      {kDayStart - 7200, kDayStart - 3600, 1}, {kDayStart - 600, kDayStart + 600, 2}, {kDayStart + 600, kDayEnd - 1, 3},
      {kDayEnd - 1, kDayEnd + 600, 4}, {kDayEnd, kDayEnd + 600, 5}};
  std::vector<TextRef> titles;
  for (const ProgrammeRecord& programme : ProgrammesOfToday(ChannelProgrammes(programmes, 0), kNoon)) titles.push_back(programme.title);
  EXPECT_EQ(titles, (std::vector<TextRef>{2, 3, 4}));
  EXPECT_TRUE(ProgrammesOfToday(ChannelProgrammes(programmes, 0), kDayEnd + 10 * 86400).empty());
}

TEST_F(GuidePageTest, TheSleepTimerCanEndWithTheRunningProgramme) {
  FakePlaybackView fake;
  PlaybackControl& playback = *fake.playback;
  SleepTimer timer(&playback, {});
  timer.set_clock([this] { return now_ * 1000; });
  // A channel without a guide has no programme to end with.
  playback.PlayChannel(Find(u"Two"));
  EXPECT_FALSE(EndOfProgrammeMs(playback).has_value());
  SleepUntilEndOfProgramme(&timer, playback);
  EXPECT_FALSE(timer.active());
  // "Noon News" runs until half past twelve.
  playback.PlayChannel(Find(u"One"));
  SleepUntilEndOfProgramme(&timer, playback);
  ASSERT_TRUE(timer.active());
  EXPECT_EQ(timer.RemainingMs(), 1800 * 1000);
  playback.End();
}

}  // namespace
}  // namespace vidora::testing

#include "guide_page_test.moc"
