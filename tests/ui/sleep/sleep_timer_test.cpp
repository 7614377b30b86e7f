// The sleep timer from the main menu: the countdown in the strip, the
// fade of what the player plays (not of the stored volume), the stop, the
// quit when chosen, and Off.
#include <gtest/gtest.h>

#include <memory>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/info_strip.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/shell_test_support.h"
#include "ui/sleep/sleep_timer.h"

namespace vidora {
namespace {

class SleepTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::LoadTestSkin();
    testing::InstallLanguages(dir_ / "Languages.lngp",
                              {testing::TestLanguage{u"English",
                                                     u"en",
                                                     {{"str_sleep_countdown", u"Sleep %1"}}}},
                              u"en");
    SetSetting(kAutoCatalogueUpdateSetting, false);
    SetSetting(kAutoUpdateSetting, false);
    SetSetting(kPublisherHostSetting, u"127.0.0.1:1");
    MainFrameOptions options;
    options.view.backend = [this] { return std::make_unique<testing::FakePlayerBackend>(record_); };
    options.save_settings = [] { return true; };
    options.on_closed = [this] { closed_ = true; };
    frame_ = std::make_unique<MainFrame>(std::move(options));
    frame_->show();
    playback()->SetVolume(80);
    timer()->set_clock([this] { return now_ms_; });
    playback()->PlayChannel(Catalogue()->MakeAddressChannel(u"http://127.0.0.1:9/tv.y4m"));
    ASSERT_TRUE(playback()->playing());
  }
  void TearDown() override {
    frame_.reset();
    FreeCatalogue();
    FreeLanguagePack();
  }

  PlaybackControl* playback() { return frame_->view()->playback(); }
  SleepTimer* timer() { return frame_->sleep_timer(); }
  // The level the player was given last.
  int Heard() const { return record_.volumes.empty() ? -1 : record_.volumes.back(); }
  void Wait(int64_t ms) {
    now_ms_ += ms;
    timer()->Tick();
  }
  QString Countdown() { return playback()->strip()->countdown(); }

  testing::TempDir dir_;
  testing::FakePlayerBackend::Record record_;
  std::unique_ptr<MainFrame> frame_;
  int64_t now_ms_ = 1'700'000'000'000;
  bool closed_ = false;
};

TEST_F(SleepTimerTest, FadesThePlayerOutStopsAndQuitsWhenChosen) {
  frame_->Trigger(MainCommand::kSleepQuit);
  ASSERT_TRUE(timer()->quit_at_end());
  frame_->Trigger(MainCommand::kSleep15);
  EXPECT_EQ(Countdown(), "Sleep 15:00");
  Wait(14 * 60'000 + 45'000);  // 15 s left: half-way through the fade
  EXPECT_EQ(Countdown(), "Sleep 0:15");
  const int halfway = Heard();
  EXPECT_GT(halfway, 0);
  EXPECT_LT(halfway, 80);
  Wait(10'000);
  EXPECT_LT(Heard(), halfway);
  // Only the player hears less: the volume the user set stays.
  EXPECT_EQ(playback()->volume_level(), 80);
  EXPECT_EQ(GetSetting(kVolumeSetting), 80);
  EXPECT_TRUE(playback()->playing());
  EXPECT_FALSE(closed_);

  Wait(5'000);
  EXPECT_FALSE(playback()->playing());
  EXPECT_EQ(Heard(), 80);  // ready for the next play
  EXPECT_TRUE(Countdown().isEmpty());
  EXPECT_FALSE(timer()->active());
  EXPECT_TRUE(testing::ProcessUntil([this] { return closed_; }));
}

TEST_F(SleepTimerTest, OffCancelsAndAnEndWithoutQuitOnlyStops) {
  frame_->Trigger(MainCommand::kSleep30);
  Wait(29 * 60'000 + 50'000);
  ASSERT_LT(Heard(), 80);
  frame_->Trigger(MainCommand::kSleepOff);
  EXPECT_EQ(Heard(), 80);
  EXPECT_TRUE(Countdown().isEmpty());
  Wait(60'000);
  EXPECT_TRUE(playback()->playing());

  frame_->Trigger(MainCommand::kSleep60);
  Wait(60 * 60'000);
  EXPECT_FALSE(playback()->playing());
  QApplication::processEvents();
  EXPECT_FALSE(closed_);
  EXPECT_TRUE(frame_->isVisible());
}

}  // namespace
}  // namespace vidora
