#include "ui/playback/playback_control.h"

#include <QAction>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/image_button.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/playback/volume_trackbar.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/info_strip.h"
#include "ui/playback/playback_test_support.h"
#include "ui/playback/player_host.h"
#include "ui/playback/radio_window.h"

namespace vidora::testing {
namespace {

class PlaybackControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    SetMessageSink([this](const std::u16string& text, const std::u16string&) { messages_.push_back(text); });
    SetSetting(kCurrentChannelKeySetting, u"");
    SetSetting(kHideAdultSetting, false);
    SetSetting(kVolumeSetting, 50);
    DocNode root("1.0");
    DocNode* de = root.AddChild("de");
    AddTestChannel(*de, "tv", u"http://127.0.0.1:9/tv.y4m");
    AddTestChannel(*de, "radio", u"http://127.0.0.1:9/radio.wav", true);
    AddTestChannel(*de, "elsewhere", u"page-7", false, "nope");
    AddTestChannel(*de, "silent", u"");
    catalogue_ = &LoadTestCatalogue(root, dir_.path());
    view_.resize(240, 268);
    QObject::connect(&full_screen_, &QAction::triggered, [this] { ++full_screen_triggers_; });
    control_ = std::make_unique<PlaybackControl>(&view_, &target_, &full_screen_);
    target_.control = control_.get();
    control_->Start(QRect(4, 4, 232, 228), [this] { return std::make_unique<FakePlayerBackend>(record_); });
    control_->Layout(view_.size(), false);
    view_.show();
    // Only what playback shows counts, not the loader's warnings.
    messages_.clear();
  }
  void TearDown() override {
    control_.reset();
    FreeCatalogue();
    SetMessageSink({});
  }

  Channel* Find(const std::string& key) { return catalogue_->FindChannelByKey(key); }
  bool ShowsStopGlyphs() { return control_->panel()->play_button()->CurrentImage() == &Skin().StopGlyphs()[0]; }
  bool ShowsPlayGlyphs() { return control_->panel()->play_button()->CurrentImage() == &Skin().PlayGlyphs()[0]; }
  PlayerBackendObserver& Player() { return *record_.observer; }
  QString StatusText() { return control_->strip()->status_text(); }

  TempDir dir_;
  QWidget view_;
  RecordingViewTarget target_;
  FakePlayerBackend::Record record_;
  ChannelCatalogue* catalogue_ = nullptr;
  // The frame's full-screen action.
  QAction full_screen_;
  int full_screen_triggers_ = 0;
  std::unique_ptr<PlaybackControl> control_;
  std::vector<std::u16string> messages_;
};

TEST_F(PlaybackControlTest, PlayingAChannelMakesItCurrentShowsItsPictureAndPlaysItsAddress) {
  ASSERT_TRUE(control_->player()->connected());
  ASSERT_TRUE(ShowsPlayGlyphs());
  control_->PlayChannel(Find("de_tv"));
  EXPECT_EQ(catalogue_->CurrentChannel(), Find("de_tv"));
  EXPECT_EQ(GetSetting(kCurrentChannelKeySetting), u"de_tv");
  EXPECT_EQ(record_.loads, (std::vector<std::string>{"http://127.0.0.1:9/tv.y4m"}));
  EXPECT_EQ(record_.stops, 1);
  EXPECT_TRUE(ShowsStopGlyphs());
  EXPECT_TRUE(control_->player()->window()->isVisibleTo(&view_));
  EXPECT_FALSE(control_->radio()->isVisibleTo(&view_));

  control_->PlayChannel(Find("de_radio"));
  EXPECT_TRUE(control_->radio()->isVisibleTo(&view_));
  EXPECT_FALSE(control_->player()->window()->isVisibleTo(&view_));
  EXPECT_EQ(control_->radio()->geometry(), control_->PlayerRect());

  // Null plays the current channel again.
  control_->PlayChannel(nullptr);
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/radio.wav");
  EXPECT_EQ(record_.loads.size(), 3u);
  EXPECT_EQ(record_.stops, 3);

  control_->StopPlayback();
  EXPECT_EQ(record_.stops, 4);
  EXPECT_TRUE(ShowsPlayGlyphs());
}

TEST_F(PlaybackControlTest, NothingPlaysWithoutAChannelOrAPlayableAddress) {
  control_->PlayChannel(nullptr);
  EXPECT_EQ(catalogue_->CurrentChannel(), nullptr);
  EXPECT_TRUE(record_.loads.empty());

  control_->PlayChannel(Find("de_tv"));
  control_->strip()->SetStatusText("Playing");
  // A provider name that no provider answers to: empty status, Play glyphs.
  control_->PlayChannel(Find("de_elsewhere"));
  EXPECT_EQ(record_.loads.size(), 1u);
  EXPECT_EQ(catalogue_->CurrentChannel(), Find("de_elsewhere"));
  EXPECT_EQ(StatusText(), QString());
  EXPECT_TRUE(ShowsPlayGlyphs());
  EXPECT_TRUE(messages_.empty());

  control_->PlayChannel(Find("de_silent"));
  EXPECT_EQ(record_.loads.size(), 1u);
  EXPECT_TRUE(ShowsPlayGlyphs());
}

TEST_F(PlaybackControlTest, ErrorFreezesTheStatusAndResetsThePlayButtonUntilBufferingStartsAgain) {
  control_->PlayChannel(Find("de_tv"));
  record_.status = u"Opening\u2026";
  record_.play_state = PlayState::kBuffering;
  Player().OnBackendBuffering(true);
  EXPECT_EQ(StatusText(), QString::fromUtf8("Opening\u2026"));
  // Each change of the cache's fill is shown as it is reported.
  for (int percent : {10, 40}) {
    record_.status = u"Buffering " + QString::number(percent).toStdU16String() + u"%";
    record_.cache_percent = percent;
    Player().OnBackendStatusChange();
    EXPECT_EQ(StatusText(), QString("Buffering %1%").arg(percent));
  }

  record_.status = u"Playing";
  record_.play_state = PlayState::kPlaying;
  Player().OnBackendBuffering(false);
  EXPECT_EQ(StatusText(), "Playing");
  EXPECT_TRUE(ShowsStopGlyphs());

  record_.status = u"HTTP error 404 Not Found";
  record_.failure = StreamFailure::kNotAvailable;
  Player().OnBackendError();
  EXPECT_EQ(StatusText(), "HTTP error 404 Not Found");
  EXPECT_TRUE(ShowsPlayGlyphs());
  record_.status = u"Stopped";
  Player().OnBackendStatusChange();
  EXPECT_EQ(StatusText(), "HTTP error 404 Not Found");

  control_->PlayChannel(Find("de_tv"));
  EXPECT_EQ(StatusText(), QString());
  EXPECT_TRUE(ShowsStopGlyphs());
  record_.status = u"Opening\u2026";
  Player().OnBackendBuffering(true);
  EXPECT_EQ(StatusText(), QString::fromUtf8("Opening\u2026"));
}

TEST_F(PlaybackControlTest, IdlePlayerResetsThePlayButton) {
  control_->PlayChannel(Find("de_tv"));
  record_.status = u"Stopped";
  record_.play_state = PlayState::kReady;
  Player().OnBackendStatusChange();
  EXPECT_EQ(StatusText(), "Stopped");
  EXPECT_TRUE(ShowsPlayGlyphs());
}

TEST_F(PlaybackControlTest, TheControlOwnsTheVolumeAndTheTrackbarFollowsIt) {
  std::vector<std::pair<int, bool>> changes;
  QObject::connect(control_.get(), &PlaybackControl::VolumeChanged,
                   [&changes](int level, bool muted) { changes.emplace_back(level, muted); });
  control_->SetVolume(35);
  EXPECT_EQ(record_.volumes.back(), 35);
  EXPECT_EQ(GetSetting(kVolumeSetting), 35);
  EXPECT_EQ(control_->panel()->volume()->value(), 35);
  // The trackbar applies and stores its level at once.
  control_->panel()->volume()->setValue(70);
  EXPECT_EQ(GetSetting(kVolumeSetting), 70);
  EXPECT_EQ(record_.volumes.back(), 70);
  EXPECT_EQ(changes, (std::vector<std::pair<int, bool>>{{35, false}, {70, false}}));

  // Mute keeps the level, shown and stored; a volume change ends it.
  control_->ToggleMute();
  EXPECT_TRUE(record_.muted);
  EXPECT_TRUE(control_->panel()->volume()->muted());
  EXPECT_EQ(control_->panel()->volume()->value(), 70);
  EXPECT_EQ(GetSetting(kVolumeSetting), 70);
  control_->SetVolume(150);
  EXPECT_FALSE(record_.muted);
  EXPECT_FALSE(control_->panel()->volume()->muted());
  EXPECT_EQ(record_.volumes.back(), 100);
}

TEST_F(PlaybackControlTest, ADamagedStoredVolumeSoundsClampedAndStaysAsItIs) {
  control_.reset();
  SetSetting(kVolumeSetting, -10);
  FakePlayerBackend::Record record;
  PlaybackControl control(&view_, &target_, nullptr);
  control.Start(QRect(4, 4, 100, 100), [&record] { return std::make_unique<FakePlayerBackend>(record); });
  EXPECT_EQ(record.volumes, (std::vector<int>{0}));
  EXPECT_EQ(control.panel()->volume()->value(), 0);
  EXPECT_EQ(GetSetting(kVolumeSetting), -10);
}

TEST_F(PlaybackControlTest, PanelButtonsMakeTheViewRequestsAndSendTheFullScreenCommand) {
  ControlPanel* panel = control_->panel();
  EXPECT_EQ(panel->volume()->minimum(), 0);
  EXPECT_EQ(panel->volume()->maximum(), 100);
  EXPECT_EQ(panel->volume()->singleStep(), 5);
  EXPECT_EQ(panel->volume()->value(), 50);
  catalogue_->SetCurrentChannel(Find("de_tv"));
  panel->play_button()->click();
  ASSERT_EQ(target_.requests.size(), 1u);
  EXPECT_EQ(target_.requests[0].kind, RecordingViewTarget::Kind::kPlayChannel);
  EXPECT_EQ(target_.requests[0].channel, nullptr);
  EXPECT_TRUE(panel->playing());
  panel->play_button()->click();
  EXPECT_EQ(target_.requests[1].kind, RecordingViewTarget::Kind::kStopPlayback);
  EXPECT_FALSE(panel->playing());
  panel->previous_button()->click();
  panel->next_button()->click();
  EXPECT_EQ(target_.requests[2].kind, RecordingViewTarget::Kind::kStepFavourite);
  EXPECT_FALSE(target_.requests[2].forward);
  EXPECT_EQ(target_.requests[3].kind, RecordingViewTarget::Kind::kStepFavourite);
  EXPECT_TRUE(target_.requests[3].forward);
  panel->full_screen_button()->click();
  EXPECT_EQ(full_screen_triggers_, 1);
}

TEST_F(PlaybackControlTest, NextAndPreviousPlayTheOtherFavouriteThroughTheView) {
  Find("de_tv")->set_favourite(true);
  Find("de_radio")->set_favourite(true);
  control_->PlayChannel(Find("de_tv"));
  control_->StepFavourite(true);
  ASSERT_FALSE(target_.requests.empty());
  EXPECT_EQ(target_.requests.back().kind, RecordingViewTarget::Kind::kPlayChannel);
  EXPECT_EQ(catalogue_->CurrentChannel(), Find("de_radio"));
  control_->StepFavourite(false);
  EXPECT_EQ(catalogue_->CurrentChannel(), Find("de_tv"));

  Find("de_radio")->set_favourite(false);
  const size_t sent = target_.requests.size();
  control_->StepFavourite(true);
  EXPECT_EQ(target_.requests.size(), sent);
}

TEST_F(PlaybackControlTest, LayoutPlacesStripPictureAndPanelForBothLayouts) {
  EXPECT_EQ(control_->strip()->geometry(), QRect(0, 0, 240, 24));
  EXPECT_EQ(control_->PlayerRect(), QRect(3, 27, 234, 190));
  EXPECT_EQ(control_->radio()->geometry(), QRect(3, 27, 234, 190));
  EXPECT_EQ(control_->panel()->geometry(), QRect(0, 220, 240, 48));
  ControlPanel* panel = control_->panel();
  EXPECT_EQ(panel->play_button()->geometry(), QRect(1, 4, 40, 40));
  EXPECT_EQ(panel->full_screen_button()->geometry(), QRect(42, 4, 40, 40));
  EXPECT_EQ(panel->previous_button()->geometry(), QRect(158, 4, 40, 40));
  EXPECT_EQ(panel->next_button()->geometry(), QRect(199, 4, 40, 40));
  EXPECT_EQ(panel->volume()->geometry(), QRect(83, 14, 74, 20));

  EXPECT_EQ(PlaybackControl::FirstPlayerRect(QSize(240, 268)), QRect(4, 4, 232, 228));

  control_->Layout(view_.size(), true);
  EXPECT_EQ(control_->PlayerRect(), QRect(0, 0, 240, 268));
  EXPECT_EQ(control_->radio()->geometry(), QRect(0, 0, 240, 268));
  EXPECT_FALSE(control_->strip()->isVisibleTo(&view_));
  EXPECT_FALSE(control_->panel()->isVisibleTo(&view_));
}

TEST_F(PlaybackControlTest, TheViewStartsWithTheRadioPictureForACurrentRadioChannel) {
  catalogue_->SetCurrentChannel(Find("de_radio"));
  QWidget view;
  control_.reset();
  FakePlayerBackend::Record record;
  PlaybackControl control(&view, &target_, nullptr);
  control.Start(QRect(4, 4, 100, 100), [&record] { return std::make_unique<FakePlayerBackend>(record); });
  EXPECT_TRUE(control.radio()->isVisibleTo(&view));
  EXPECT_FALSE(control.player()->window()->isVisibleTo(&view));
  EXPECT_TRUE(control.player()->connected());
}

TEST(RadioWindowTest, PictureIsCentredWithAnArithmeticShift) {
  EXPECT_EQ(RadioWindow::PictureRect(QSize(100, 50), QSize(30, 20)), QRect(35, 15, 30, 20));
  EXPECT_EQ(RadioWindow::PictureRect(QSize(100, 50), QSize(101, 53)), QRect(-1, -2, 101, 53));
  EXPECT_EQ(RadioWindow::PictureRect(QSize(0, 0), QSize(3, 3)), QRect(-2, -2, 3, 3));
}

TEST(RadioWindowTest, WithoutThePictureTheAreaIsBlack) {
  QWidget parent;
  RadioWindow radio(&parent);
  radio.setGeometry(0, 0, 40, 30);
  const QImage shot = radio.grab().toImage();
  EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(shot.pixel(39, 29), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace vidora::testing

namespace vidora::testing {
namespace {

// The whitest pixel of rows [top, bottom) of `image`: the one whose
// weakest channel is strongest (the strip's gold line is not white).
QRgb Brightest(const QImage& image, int top, int bottom) {
  auto weakest = [](QRgb c) { return std::min({qRed(c), qGreen(c), qBlue(c)}); };
  QRgb best = qRgb(0, 0, 0);
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x)
      if (weakest(image.pixel(x, y)) > weakest(best)) best = image.pixel(x, y);
  return best;
}

bool Near(QRgb a, QRgb b, int tolerance) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST(InfoStripTest, ChannelNameAboveAndStatusBelowInTheirColours) {
  LoadTestSkin();
  QWidget parent;
  QString name = "Channel";
  InfoStrip strip(&parent, [&name] { return name; });
  strip.setGeometry(0, 0, 200, BarUnit());
  strip.SetStatusText("Playing");
  const int half = BarUnit() / 2;
  QImage shot = strip.grab().toImage().convertToFormat(QImage::Format_RGB32);
  // Text edges are smoothed, so the brightest pixel of each half is the
  // text's own colour or a little darker.
  EXPECT_TRUE(Near(Brightest(shot, 0, half), qRgb(250, 250, 255), 12)) << std::hex << Brightest(shot, 0, half);
  const QRgb status = Brightest(shot, half, shot.height());
  EXPECT_TRUE(Near(status, qRgb(200, 200, 210), 40)) << std::hex << status;
  EXPECT_LE(qRed(status), 200);

  name = QString();
  strip.SetStatusText(QString());
  shot = strip.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_LT(qGreen(Brightest(shot, 0, shot.height())), 120);
}

}  // namespace
}  // namespace vidora::testing
