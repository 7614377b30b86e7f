// How the playback control looks after a channel whose stream fails,
// drops or needs its provider, with a player engine the test drives.
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "e2e/wait_for.h"
#include "support/temp_dir.h"
#include "ui/dialogs/image_button.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/info_strip.h"
#include "ui/playback/player_host.h"
#include "ui/playback/playback_test_support.h"
#include "ui/playback/status_texts.h"
#include "ui/timeshift/timeshift_disk_watch.h"

namespace vidora::testing {
namespace {

class Observer : public NowPlayingObserver {
 public:
  void OnNowPlaying(const NowPlaying& now) override { seen.push_back(now); }
  std::vector<NowPlaying> seen;
};

class StreamRecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    SetMessageSink([this](const std::u16string& text, const std::u16string&) { messages_.push_back(text); });
    SetSetting(kCurrentChannelKeySetting, u"");
    DocNode root("1.0");
    DocNode* de = root.AddChild("de");
    DocNode* twin = AddTestChannel(*de, "twin", u"http://127.0.0.1:9/first");
    DocNode* second = twin->AddChild("1");
    second->SetInt("b", 100);
    second->SetWideString("u", u"http://127.0.0.1:9/second");
    AddTestChannel(*de, "tv", u"http://127.0.0.1:9/tv");
    AddTestChannel(*de, "elsewhere", u"page-7", false, "nope");
    catalogue_ = &LoadTestCatalogue(root, dir_.path());
    view_.resize(240, 268);
    control_ = std::make_unique<PlaybackControl>(&view_, &target_, nullptr);
    target_.control = control_.get();
    control_->Start(QRect(4, 4, 232, 228), [this] { return std::make_unique<FakePlayerBackend>(record_); });
    control_->Layout(view_.size(), false);
    control_->AddNowPlayingObserver(&observer_);
    view_.show();
  }
  void TearDown() override {
    control_->RemoveNowPlayingObserver(&observer_);
    control_.reset();
    FreeCatalogue();
    SetMessageSink({});
  }

  PlayerBackendObserver& Player() { return *record_.observer; }
  QString Status() { return control_->strip()->status_text(); }
  // Any variant: the button may have the focus once events ran.
  bool ShowsPlayGlyphs() {
    const QImage* image = control_->panel()->play_button()->CurrentImage();
    const GlyphSet& glyphs = Skin().PlayGlyphs();
    return image == &glyphs[0] || image == &glyphs[1] || image == &glyphs[2];
  }
  void Plays() {
    record_.status = u"Opening\u2026";
    record_.play_state = PlayState::kBuffering;
    Player().OnBackendBuffering(true);
    record_.status = u"Playing";
    record_.play_state = PlayState::kPlaying;
    Player().OnBackendBuffering(false);
  }
  void Fails(StreamFailure failure) {
    record_.status = u"failed";
    record_.failure = failure;
    record_.play_state = PlayState::kStopped;
    Player().OnBackendError();
  }

  TempDir dir_;
  QWidget view_;
  RecordingViewTarget target_;
  FakePlayerBackend::Record record_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<PlaybackControl> control_;
  std::vector<std::u16string> messages_;
  Observer observer_;
};

TEST_F(StreamRecoveryTest, AFailingSourceHandsOverToTheNextAndOnlyTheLastFailureShows) {
  Channel* twin = catalogue_->FindChannelByKey("de_twin");
  control_->PlayChannel(twin);
  EXPECT_EQ(control_->strip()->ChannelText(), "twin (source 1)");
  Fails(StreamFailure::kNoConnection);
  EXPECT_NE(Status(), "failed");
  ASSERT_TRUE(WaitFor([&] { return record_.loads.size() == 2; }, 5000));
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/second");
  EXPECT_EQ(control_->strip()->ChannelText(), "twin (source 2)");
  EXPECT_FALSE(ShowsPlayGlyphs());

  // Both failed: the last failure stands, nothing more is tried.
  Fails(StreamFailure::kNotAvailable);
  EXPECT_EQ(Status(), "failed");
  EXPECT_TRUE(ShowsPlayGlyphs());
  QApplication::processEvents();
  EXPECT_EQ(record_.loads.size(), 2u);

  // The second source plays: the channel's next play starts there.
  control_->PlayChannel(twin);
  Fails(StreamFailure::kNoConnection);
  ASSERT_TRUE(WaitFor([&] { return record_.loads.size() == 4; }, 5000));
  Plays();
  EXPECT_EQ(Status(), "Playing");
  control_->StopPlayback();
  control_->PlayChannel(twin);
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/second");
}

TEST_F(StreamRecoveryTest, ADroppedStreamReconnectsUntilStoppedAndPlaysOnWhenItCanAgain) {
  control_->PlayChannel(catalogue_->FindChannelByKey("de_tv"));
  Plays();
  EXPECT_EQ(observer_.seen.back().channel, u"tv");

  // The server closed the stream: no "Stopped", no Play glyphs.
  record_.status = u"Stopped";
  record_.play_state = PlayState::kMediaEnded;
  Player().OnBackendStatusChange();
  EXPECT_EQ(Status().toStdU16String(), ReconnectingText());
  EXPECT_FALSE(ShowsPlayGlyphs());
  record_.play_state = PlayState::kReady;
  Player().OnBackendStatusChange();
  EXPECT_EQ(Status().toStdU16String(), ReconnectingText());

  ASSERT_TRUE(WaitFor([&] { return record_.loads.size() == 2; }, 5000));
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/tv");
  // A failed attempt waits longer and says the same.
  Fails(StreamFailure::kNoConnection);
  EXPECT_EQ(Status().toStdU16String(), ReconnectingText());
  ASSERT_TRUE(WaitFor([&] { return record_.loads.size() == 3; }, 8000));
  Plays();
  EXPECT_EQ(Status(), "Playing");

  record_.play_state = PlayState::kMediaEnded;
  Player().OnBackendStatusChange();
  control_->StopPlayback();
  EXPECT_EQ(Status().toStdU16String(), StoppedText());
  EXPECT_TRUE(ShowsPlayGlyphs());
  EXPECT_TRUE(observer_.seen.back().channel.empty());
  EXPECT_FALSE(WaitFor([&] { return record_.loads.size() > 3; }, 1500));
}

TEST_F(StreamRecoveryTest, AChannelThatCannotStartLeavesTheStatusEmptyWhenTheOldStreamEndsLater) {
  control_->PlayChannel(catalogue_->FindChannelByKey("de_tv"));
  Plays();
  control_->PlayChannel(catalogue_->FindChannelByKey("de_elsewhere"));
  EXPECT_EQ(Status(), QString());
  EXPECT_TRUE(ShowsPlayGlyphs());
  // The old stream's end arrives after the failure.
  record_.status = u"Stopped";
  record_.play_state = PlayState::kReady;
  Player().OnBackendStatusChange();
  EXPECT_EQ(Status(), QString());
  EXPECT_FALSE(control_->strip()->toolTip().isEmpty());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(StreamRecoveryTest, ANearlyFullDiskMovesTheBufferToMemoryAndOpensTheLiveChannelAgain) {
  std::atomic<uint64_t> free_bytes{uint64_t{8} << 30};
  TimeshiftDiskWatch watch(nullptr, dir_.path(), [&](const std::filesystem::path&) { return free_bytes.load(); });
  int warnings = 0;
  QObject::connect(&watch, &TimeshiftDiskWatch::DiskLow, [&](qint64) {
    ++warnings;
    control_->MoveTimeshiftToMemory();
  });
  control_->PlayChannel(catalogue_->FindChannelByKey("de_tv"));
  Plays();
  watch.Check();
  QTest::qWait(100);
  EXPECT_EQ(warnings, 0);
  EXPECT_FALSE(record_.back_buffer_in_memory);

  free_bytes = uint64_t{100} << 20;
  watch.Check();
  ASSERT_TRUE(WaitFor([&] { return warnings == 1; }, 5000));
  EXPECT_TRUE(record_.back_buffer_in_memory);
  // Opened again, so the engine lets go of its file on disk; it plays on.
  EXPECT_EQ(record_.loads, (std::vector<std::string>{"http://127.0.0.1:9/tv", "http://127.0.0.1:9/tv"}));
  EXPECT_NE(Status(), "failed");
  // Said once.
  watch.Check();
  QTest::qWait(100);
  EXPECT_EQ(warnings, 1);
}

}  // namespace
}  // namespace vidora::testing
