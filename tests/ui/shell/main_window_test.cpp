// The main frame and view: layout numbers, full-screen layout, the close
// sequence, the menu and its commands, and the promotion of pending
// updates.
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/dialogs/image_button.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/shell/main_actions.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/info_strip.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/shell_test_support.h"
#include "ui/shell/single_instance.h"
#include "ui/shell/source_commands.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

// The playback tests' engine, also writing "stop" into a shared log.
class StopLoggingBackend : public testing::FakePlayerBackend {
 public:
  StopLoggingBackend(Record& record, std::vector<std::string>* log) : FakePlayerBackend(record), log_(log) {}
  void Stop() override {
    FakePlayerBackend::Stop();
    log_->push_back("stop");
  }

 private:
  std::vector<std::string>* log_;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::LoadTestSkin();
    testing::InstallLanguages(dir_ / "Languages.lngp",
                              {testing::TestLanguage{u"English",
                                                     u"en",
                                                     {{"app_mvdra", u"Vidora"},
                                                      {"menu_channels", u"Channels"},
                                                      {"menu_menu", u"Menu"},
                                                      {"menu_fullscreen", u"Full screen"},
                                                      {"menu_settings", u"Settings"},
                                                      {"menu_add_playlist", u"Add playlist"},
                                                      {"menu_refresh_playlists", u"Refresh playlists"},
                                                      {"menu_updates", u"Updates"},
                                                      {"menu_update", u"Check version"},
                                                      {"menu_channel_update", u"Update channels"},
                                                      {"menu_about", u"About"},
                                                      {"menu_exit", u"Exit"}}}},
                              u"en");
    // No update check may leave this machine.
    SetSetting(kAutoCatalogueUpdateSetting, false);
    SetSetting(kAutoUpdateSetting, false);
    SetSetting(kPublisherHostSetting, u"127.0.0.1:1");
  }
  void TearDown() override {
    FreeCatalogue();
    FreeLanguagePack();
  }

  MainFrameOptions Options() {
    MainFrameOptions options;
    options.view.backend = [this] { return std::make_unique<StopLoggingBackend>(record_, &log_); };
    options.save_settings = [this] {
      log_.push_back("save");
      return true;
    };
    return options;
  }

  testing::TempDir dir_;
  testing::FakePlayerBackend::Record record_;
  std::vector<std::string> log_;
};

TEST_F(MainWindowTest, NormalLayoutOfA240By268View) {
  MainFrame frame(Options());
  frame.show();
  MainView* view = frame.view();
  view->resize(240, 268);
  PlaybackControl* playback = view->playback();
  EXPECT_EQ(playback->strip()->geometry(), QRect(0, 0, 240, 24));
  EXPECT_EQ(playback->PlayerRect(), QRect(3, 27, 234, 190));
  EXPECT_EQ(playback->panel()->geometry(), QRect(0, 220, 240, 48));
  EXPECT_FALSE(playback->strip()->isHidden());
}

TEST_F(MainWindowTest, FullScreenLayoutCoversTheViewAndHidesTheStrips) {
  MainFrame frame(Options());
  frame.show();
  MainView* view = frame.view();
  view->resize(240, 268);
  view->ToggleFullLayout();
  EXPECT_TRUE(view->full_screen_layout());
  EXPECT_EQ(view->playback()->PlayerRect(), QRect(0, 0, 240, 268));
  EXPECT_TRUE(view->playback()->strip()->isHidden());
  EXPECT_TRUE(view->playback()->panel()->isHidden());
  view->ToggleFullLayout();
  EXPECT_EQ(view->playback()->PlayerRect(), QRect(3, 27, 234, 190));
}

TEST_F(MainWindowTest, FrameHasPortraitDefaultSizeAndViewAboveSoftKeys) {
  MainFrame frame(Options());
  frame.show();
  EXPECT_EQ(frame.size(), QSize(480, 640));
  EXPECT_EQ(frame.windowTitle(), "Vidora");
  const int bar = SoftKeyBar::BarHeight();
  EXPECT_EQ(frame.view()->geometry(), QRect(0, 0, 480, 640 - bar));
  EXPECT_EQ(frame.soft_keys()->geometry(), QRect(0, 640 - bar, 480, bar));
  frame.resize(300, 500);
  ASSERT_TRUE(testing::ProcessUntil([&] { return frame.width() == 300; }));
  EXPECT_EQ(frame.view()->geometry(), QRect(0, 0, 300, 500 - bar));
}

TEST_F(MainWindowTest, SoftKeysCarryTheMenuTree) {
  MainFrame frame(Options());
  EXPECT_EQ(frame.soft_keys()->LeftCaption(), "Channels");
  EXPECT_EQ(frame.soft_keys()->LeftAction(), frame.actions()->Get(MainCommand::kChannels));
  EXPECT_EQ(frame.soft_keys()->RightCaption(), "Menu");
  // Each item's frame command (1 + its number; 0: none, -1: a sub-menu).
  auto id = [](MainCommand command) { return 1 + static_cast<int>(command); };
  auto command_of = [&frame, &id](const QAction* action) {
    const std::optional<MainCommand> command = frame.actions()->CommandOf(action);
    return command ? id(*command) : 0;
  };
  std::vector<std::pair<QString, int>> items;
  for (QAction* action : frame.menu()->actions()) {
    if (action->isSeparator()) {
      items.emplace_back("-", 0);
    } else if (action->menu() != nullptr) {
      items.emplace_back(action->text(), -1);
      for (QAction* inner : action->menu()->actions()) items.emplace_back(inner->text(), command_of(inner));
    } else {
      items.emplace_back(action->text(), command_of(action));
    }
  }
  const std::vector<std::pair<QString, int>> expected = {
      {"Full screen", id(MainCommand::kFullScreen)}, {"Settings", id(MainCommand::kSettings)},  {"Add playlist", id(MainCommand::kAddPlaylist)},
      {Text("menu_record"), id(MainCommand::kRecord)}, {Text("menu_recordings"), id(MainCommand::kRecordings)},
      // The test's language pack has no captions for these: only the key shows.
      {"\tCtrl+Shift+A", id(MainCommand::kAddProvider)}, {"\tCtrl+Shift+D", id(MainCommand::kRadioDirectory)}, {"\tCtrl+Shift+H", id(MainCommand::kCheckChannels)},
      {"\tCtrl+Shift+F", id(MainCommand::kFilms)},
      {Text("str_programme_guide"), id(MainCommand::kGuideGrid)},
      {Text("menu_sleep_timer"), -1}, {Text("menu_sleep_off"), id(MainCommand::kSleepOff)},
      {Text("menu_sleep_minutes").arg(15), id(MainCommand::kSleep15)}, {Text("menu_sleep_minutes").arg(30), id(MainCommand::kSleep30)},
      {Text("menu_sleep_minutes").arg(60), id(MainCommand::kSleep60)}, {Text("menu_sleep_minutes").arg(90), id(MainCommand::kSleep90)},
      {Text("menu_sleep_end_of_programme"), id(MainCommand::kSleepEndOfProgramme)}, {"", 0}, {Text("menu_sleep_quit"), id(MainCommand::kSleepQuit)},
      {"Updates", -1},
      {"Check version", id(MainCommand::kUpdate)},   {"Update channels", id(MainCommand::kChannelUpdate)}, {"Refresh playlists", id(MainCommand::kRefreshPlaylists)},
      // What plays: its tracks (none yet), the picture and its information.
      {Text("menu_audio"), -1}, {Text("track_none"), 0}, {"", 0}, {Text("menu_languages"), 0},
      {Text("menu_subtitles"), -1}, {Text("track_off"), 0}, {"", 0}, {Text("menu_languages"), 0},
      {Text("menu_picture"), -1}, {Text("aspect_auto"), 0}, {"16:9", 0}, {"4:3", 0}, {"2.35:1", 0},
      {Text("aspect_stretch"), 0}, {"", 0}, {Text("picture_fill"), 0}, {Text("picture_deinterlace"), 0}, {"", 0},
      {Text("picture_hwdec"), 0}, {Text("menu_information") + "\tI", 0},
      {"-", 0},
      {"About", id(MainCommand::kAbout)},            {"-", 0},                   {"Exit", id(MainCommand::kExit)}};
  EXPECT_EQ(items, expected);
}

// "Films & series" reads so in the menu and to screen readers; an
// ampersand in a caption is no mnemonic.
TEST_F(MainWindowTest, AnAmpersandInAMenuCaptionIsShownAsWritten) {
  QWidget frame;
  MainActions actions(&frame);
  actions.Define(MainCommand::kFilms, QStringLiteral("Films & series"), {}, {});
  EXPECT_EQ(actions.Get(MainCommand::kFilms)->iconText(), QStringLiteral("Films & series"));
  QMenu menu;
  EXPECT_EQ(AddMenuCommand(&menu, QStringLiteral("Back & forth"), 1)->iconText(), QStringLiteral("Back & forth"));
}

TEST_F(MainWindowTest, CloseStopsThenSavesThenDestroysTheView) {
  bool closed = false;
  MainFrameOptions options = Options();
  options.on_closed = [&closed] { closed = true; };
  MainFrame frame(std::move(options));
  QObject::connect(frame.view(), &QObject::destroyed, [this] { log_.push_back("destroy"); });
  frame.show();
  log_.clear();
  frame.Trigger(MainCommand::kExit);
  EXPECT_FALSE(frame.closed());  // a posted close
  ASSERT_TRUE(testing::ProcessUntil([&] { return closed; }));
  EXPECT_EQ(log_, (std::vector<std::string>{"stop", "save", "destroy"}));
  EXPECT_EQ(frame.view(), nullptr);
  EXPECT_FALSE(frame.isVisible());
}

TEST_F(MainWindowTest, CtrlQExitsLikeTheMenu) {
  bool closed = false;
  MainFrameOptions options = Options();
  options.on_closed = [&closed] { closed = true; };
  MainFrame frame(std::move(options));
  frame.show();
  frame.activateWindow();
  QApplication::setActiveWindow(&frame);
  QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_Q, Qt::ControlModifier);
  QApplication::sendEvent(&frame, &press);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier);
  QApplication::sendEvent(frame.view(), &key);
  ASSERT_TRUE(testing::ProcessUntil([&] { return closed; }));
  EXPECT_NE(std::find(log_.begin(), log_.end(), "save"), log_.end());
}

TEST_F(MainWindowTest, FullScreenCommandSwitchesFrameAndViewTogether) {
  MainFrame frame(Options());
  frame.show();
  QApplication::setActiveWindow(&frame);
  frame.Trigger(MainCommand::kFullScreen);
  EXPECT_TRUE(frame.view()->full_screen_layout());
  EXPECT_TRUE(frame.soft_keys()->isHidden());
  EXPECT_EQ(frame.view()->playback()->PlayerRect(), QRect(QPoint(0, 0), frame.view()->size()));
  frame.Trigger(MainCommand::kFullScreen);
  EXPECT_FALSE(frame.view()->full_screen_layout());
  EXPECT_FALSE(frame.soft_keys()->isHidden());
}

TEST_F(MainWindowTest, TapInFullScreenEndsItAtTheNextTick) {
  MainFrame frame(Options());
  frame.show();
  QApplication::setActiveWindow(&frame);
  frame.Trigger(MainCommand::kFullScreen);
  ASSERT_TRUE(frame.view()->full_screen_layout());
  frame.Tick();
  EXPECT_TRUE(frame.view()->full_screen_layout());  // nothing pressed yet
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QApplication::sendEvent(frame.view(), &key);
  frame.Tick();
  EXPECT_FALSE(frame.view()->full_screen_layout());
}

TEST_F(MainWindowTest, LaterStartBringsTheFrameForwardWithItsCommandLine) {
  MainFrame frame(Options());
  const QString folder = QString::fromStdString(dir_.path().string());
  SingleInstance running(QStringLiteral("Vidora"), folder);
  ASSERT_EQ(running.Check(QString()), 0);
  ASSERT_TRUE(running.Listen([&frame](const QString& line) { return frame.OnLaterStart(line); }));
  std::atomic<int> result{-100};
  std::thread later([&] { result = SingleInstance(QStringLiteral("Vidora"), folder).Check(QStringLiteral("--x y")); });
  ASSERT_TRUE(testing::ProcessUntil([&] { return result != -100; }));
  later.join();
  EXPECT_EQ(result.load(), 1);
  EXPECT_EQ(frame.last_command_line(), "--x y");
  EXPECT_TRUE(frame.isVisible());
}

TEST_F(MainWindowTest, LaterStartLeavesAnOpenDialogInFrontAndAClosedFrameRefuses) {
  MainFrame frame(Options());
  frame.show();
  QDialog dialog(&frame);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  QApplication::setActiveWindow(&frame);
  EXPECT_TRUE(frame.OnLaterStart(QStringLiteral("--again")));
  EXPECT_TRUE(testing::ProcessUntil([&] { return QApplication::activeWindow() == &dialog; }));
  dialog.close();

  frame.close();
  ASSERT_TRUE(frame.closed());
  EXPECT_FALSE(frame.OnLaterStart(QStringLiteral("--late")));
  EXPECT_EQ(frame.last_command_line(), "--again");
}

// The soft keys, the control panel and the keys all run the frame's
// actions: what one of them does, the others do too.
TEST_F(MainWindowTest, SoftKeyPanelAndKeysTriggerTheFramesActions) {
  MainFrame frame(Options());
  frame.show();
  QApplication::setActiveWindow(&frame);
  std::vector<MainCommand> triggered;
  for (MainCommand command : {MainCommand::kChannels, MainCommand::kFullScreen, MainCommand::kExit}) {
    QObject::connect(frame.actions()->Get(command), &QAction::triggered,
                     [&triggered, command] { triggered.push_back(command); });
  }
  bool channels_shown = false;
  testing::ModalAnswerer answerer([&channels_shown](QWidget* dialog) {
    if (auto* channels = qobject_cast<ChannelsDialog*>(dialog)) {
      channels_shown = true;
      channels->RunCommand(kDoneCommand);
    }
  });
  frame.soft_keys()->PressLeft();
  EXPECT_TRUE(channels_shown);
  frame.view()->playback()->panel()->full_screen_button()->click();
  EXPECT_TRUE(frame.view()->full_screen_layout());
  frame.view()->playback()->panel()->full_screen_button()->click();
  EXPECT_FALSE(frame.view()->full_screen_layout());
  EXPECT_EQ(triggered, (std::vector<MainCommand>{MainCommand::kChannels, MainCommand::kFullScreen,
                                                 MainCommand::kFullScreen}));
  // The exit key is the action's: the menu shows the caption alone.
  EXPECT_EQ(frame.actions()->Get(MainCommand::kExit)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  EXPECT_EQ(frame.actions()->Get(MainCommand::kExit)->text(), "Exit");
}

TEST_F(MainWindowTest, OnceClosedTheFramesCommandsOpenNothing) {
  MainFrame frame(Options());
  frame.show();
  frame.close();
  ASSERT_TRUE(frame.closed());
  bool opened = false;
  testing::ModalAnswerer answerer([&opened](QWidget*) { opened = true; });
  for (MainCommand command : {MainCommand::kAbout, MainCommand::kSettings, MainCommand::kChannels,
                              MainCommand::kAddPlaylist, MainCommand::kFullScreen}) {
    frame.Trigger(command);
  }
  QApplication::processEvents();
  EXPECT_FALSE(opened);
  EXPECT_TRUE(answerer.messages().empty());
}

TEST_F(MainWindowTest, ChannelsClosedWithoutChoiceLeavesPlaybackAlone) {
  MainFrame frame(Options());
  frame.show();
  log_.clear();
  bool shown = false;
  testing::ModalAnswerer answerer([&shown](QWidget* dialog) {
    if (auto* channels = qobject_cast<ChannelsDialog*>(dialog)) {
      shown = true;
      channels->RunCommand(kDoneCommand);
    }
  });
  frame.Trigger(MainCommand::kChannels);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(log_.empty());
}

}  // namespace
}  // namespace vidora
