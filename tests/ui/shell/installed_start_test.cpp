// What a start brings: a stream address played at once, a later start's
// forwarded address, failed settings saves that the user is told about,
// and the application icon on the about dialog.
#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/shell/app_startup.h"
#include "ui/shell/command_line_actions.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/shell_test_support.h"
#include "ui/shell/single_instance.h"
#include "ui/skin/app_icon.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

constexpr char16_t kAddress[] = u"http://127.0.0.1:1/live.ts";

class InstalledStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::LoadTestSkin();
    testing::InstallLanguages(dir_ / "Languages.lngp",
                              {testing::TestLanguage{u"English",
                                                     u"en",
                                                     {{"app_mvdra", u"Vidora"},
                                                      {"msg_save_failed", u"Could not save %s: %s."},
                                                      {"msg_settings_not_kept", u"Not kept: %s (%s)."}}}},
                              u"en");
    SetSetting(kAutoCatalogueUpdateSetting, false);
    SetSetting(kAutoUpdateSetting, false);
    SetSetting(kPublisherHostSetting, u"127.0.0.1:1");
    SetSetting(kCurrentChannelKeySetting, u"");
    SetMessageSink([this](const std::u16string& text, const std::u16string&) { messages_.push_back(text); });
  }
  void TearDown() override {
    SetMessageSink({});
    FreeCatalogue();
    FreeLanguagePack();
  }

  MainFrameOptions Options() {
    MainFrameOptions options;
    options.view.backend = [this] { return std::make_unique<testing::FakePlayerBackend>(record_); };
    options.view.catalogue_file = dir_ / "none.vdch";
    options.save_settings = [] { return true; };
    return options;
  }

  // Settings whose folder is a file: no user can save them, root or not.
  std::filesystem::path UnwritableSettings() {
    std::ofstream(dir_ / "config") << "not a folder";
    return dir_ / "config" / "vidora" / "Settings.cfg";
  }

  testing::TempDir dir_;
  testing::FakePlayerBackend::Record record_;
  std::vector<std::u16string> messages_;
};

TEST_F(InstalledStartTest, AStreamAddressPlaysAtOnceAsAChannelNamedAfterIt) {
  MainFrame frame(Options());
  frame.show();
  CommandLineRequests requests;
  requests.stream_addresses = {QStringLiteral("http://127.0.0.1:1/old.ts"), QString::fromUtf16(kAddress)};
  requests.playlist_sources = {QStringLiteral("/tmp/list.m3u")};
  ActOnCommandLine(frame, requests);
  ASSERT_FALSE(record_.loads.empty());
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:1/live.ts");
  ASSERT_NE(Catalogue()->CurrentChannel(), nullptr);
  EXPECT_EQ(Catalogue()->CurrentChannel()->name(), kAddress);
  EXPECT_EQ(FindSetting(kCurrentChannelKeySetting).value_or(u"-"), u"");
  EXPECT_TRUE(Catalogue()->AllChannels().empty());
}

TEST_F(InstalledStartTest, ALaterStartsAddressPlaysInTheRunningPlayer) {
  MainFrame frame(Options());
  const QString folder = QString::fromStdString(dir_.path().string());
  SingleInstance running(QStringLiteral("Vidora"), folder);
  ASSERT_EQ(running.Check(QString()), 0);
  ASSERT_TRUE(running.Listen([&frame](const QString& line) { return TakeLaterStart(frame, line); }));
  CommandLineRequests requests;
  requests.stream_addresses = {QString::fromUtf16(kAddress)};
  const QString line = ForwardedCommandLine(requests);
  std::atomic<int> result{-100};
  std::thread later([&] { result = SingleInstance(QStringLiteral("Vidora"), folder).Check(line); });
  ASSERT_TRUE(testing::ProcessUntil([&] { return result != -100 && !record_.loads.empty(); }));
  later.join();
  EXPECT_EQ(result.load(), 1);
  EXPECT_TRUE(frame.isVisible());
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:1/live.ts");
  EXPECT_EQ(Catalogue()->CurrentChannel()->name(), kAddress);
}

TEST_F(InstalledStartTest, SettingsThatCannotBeSavedAreReportedAndThePlayerRunsOn) {
  const std::filesystem::path settings = UnwritableSettings();
  Settings().Load(settings);
  const std::string path = settings.string();
  const std::u16string path16(path.begin(), path.end());

  MainFrameOptions options = Options();
  options.save_settings = SaveSettingsOrReport;
  MainFrame frame(std::move(options));
  frame.show();
  WarnWhenSettingsCannotBeKept();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], u"Not kept: " + path16 + u" (Not a directory).");
  EXPECT_TRUE(frame.isVisible());
  EXPECT_FALSE(frame.closed());

  frame.close();
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1], u"Could not save " + path16 + u": Not a directory.");
  Settings().Load(dir_ / "unused.cfg");
}

TEST_F(InstalledStartTest, WritableSettingsRaiseNoMessageAndAreSavedInANewFolder) {
  const std::filesystem::path settings = dir_ / "config" / "vidora" / "Settings.cfg";
  Settings().Load(settings);
  WarnWhenSettingsCannotBeKept();
  EXPECT_TRUE(SaveSettingsOrReport());
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(std::filesystem::exists(settings));
  Settings().Load(dir_ / "unused.cfg");
}

TEST_F(InstalledStartTest, AboutDialogShowsTheApplicationIcon) {
  ASSERT_FALSE(AppIcon().isNull());
  // Every rendered size from 16 to 256 pixels is there.
  EXPECT_EQ(AppIcon().availableSizes().size(), 8);
  EXPECT_EQ(AppIcon().availableSizes().front(), QSize(16, 16));
  EXPECT_EQ(AppIcon().availableSizes().back(), QSize(256, 256));
  AboutDialog dialog(nullptr);
  QLabel* icon = dialog.icon_label();
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("icon")), icon);
  EXPECT_FALSE(icon->pixmap().isNull());
  // The template place, nothing moves it: 4, 20 dialog units from the corner.
  const QRect place = icon->geometry();
  dialog.resize(240, 320);
  EXPECT_EQ(icon->geometry(), place);
  EXPECT_FALSE(icon->geometry().intersects(dialog.title_label()->geometry()));
}

}  // namespace
}  // namespace vidora
