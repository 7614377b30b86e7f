#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/playback/player_status_listener.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/player_video_widget.h"

namespace vidora::testing {
namespace {

class RecordingListener : public PlayerStatusListener {
 public:
  void OnPlayerStatus(PlayerWindow*, const std::optional<std::u16string>& text, int code) override {
    texts.push_back(text.value_or(u"(none)"));
    codes.push_back(code);
  }
  std::vector<std::u16string> texts;
  std::vector<int> codes;
};

struct HostRun {
  std::vector<std::string> messages;
  bool connected = false;
  bool main_player = false;
  bool volume_taken = false;
  size_t loads = 0;
};

HostRun BringUpWithFailure(int failing_step) {
  QWidget view;
  PlayerEvents events;
  FakePlayerBackend::Record record;
  if (failing_step >= 0) record.fail[failing_step] = true;
  HostRun run;
  PlayerHost host(&view, QRect(4, 4, 100, 80), std::make_unique<FakePlayerBackend>(record),
                  [&run](QWidget*, const QString& text) { run.messages.push_back(text.toStdString()); }, events);
  run.connected = host.connected();
  run.main_player = events.main_player() == &host;
  host.SetVolume(30);
  run.volume_taken = !record.volumes.empty();
  host.Play(u"http://127.0.0.1/x");
  run.loads = record.loads.size();
  return run;
}

TEST(PlayerHostTest, EachSetUpFailureShowsItsTextAndOnlyAFullSetUpConnects) {
  struct Case {
    int step;
    std::vector<std::string> messages;
    bool connected;
    bool main_player;
  };
  const std::vector<Case> cases = {
      {-1, {}, true, true},
      {FakePlayerBackend::kCreate, {"Can't create player."}, false, false},
      {FakePlayerBackend::kVolume, {"Can't get settings."}, true, true},
      {FakePlayerBackend::kInitialize, {"3"}, false, false},
      {FakePlayerBackend::kRenderer, {"4"}, false, true},
      {FakePlayerBackend::kWarnings, {"5"}, true, true},
      {FakePlayerBackend::kObserve, {"6"}, false, true},
      {FakePlayerBackend::kConnect, {"7"}, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    const HostRun run = BringUpWithFailure(c.step);
    EXPECT_EQ(run.messages, c.messages);
    EXPECT_EQ(run.connected, c.connected);
    EXPECT_EQ(run.main_player, c.main_player);
    EXPECT_EQ(run.loads, c.connected ? 1u : 0u);
    EXPECT_EQ(run.volume_taken, c.connected && c.step != FakePlayerBackend::kVolume);
  }
}

TEST(PlayerHostTest, RegistersAsMHiddenInItsRectangleAndLeavesTheRegistryWhenDestroyed) {
  QWidget view;
  PlayerEvents events;
  FakePlayerBackend::Record record;
  {
    PlayerHost host(&view, QRect(4, 4, 100, 80), std::make_unique<FakePlayerBackend>(record), {}, events);
    ASSERT_EQ(PlayerRegistry().count(u"m"), 1u);
    EXPECT_EQ(PlayerRegistry().at(u"m"), &host);
    EXPECT_FALSE(host.window()->isVisibleTo(&view));
    EXPECT_EQ(host.window()->geometry(), QRect(4, 4, 100, 80));
    host.Move(1, 2, 30, 40);
    EXPECT_EQ(host.window()->geometry(), QRect(1, 2, 30, 40));
  }
  EXPECT_EQ(PlayerRegistry().count(u"m"), 0u);
  EXPECT_TRUE(record.destroyed);
  EXPECT_EQ(events.main_player(), nullptr);
}

TEST(PlayerHostTest, WhileTheEngineLoadsTheHostComesUpWhenItArrivesOrAtTheFirstPlay) {
  QWidget view;
  PlayerEvents events;
  for (const bool play_first : {false, true}) {
    FakePlayerBackend::Record record;
    record.engine_loaded = false;
    PlayerHost host(&view, QRect(0, 0, 10, 10), std::make_unique<FakePlayerBackend>(record), {}, events);
    EXPECT_EQ(record.creates, 0);
    EXPECT_FALSE(host.connected());
    host.SetVolume(40);
    host.Move(2, 3, 50, 40);
    EXPECT_EQ(host.window()->geometry(), QRect(2, 3, 50, 40));
    if (play_first) {
      host.Play(u"http://127.0.0.1/a");
      EXPECT_EQ(record.loads, std::vector<std::string>{"http://127.0.0.1/a"});
    } else {
      ASSERT_TRUE(record.engine_ready);
      record.engine_ready();
    }
    EXPECT_TRUE(host.connected());
    EXPECT_EQ(record.volumes, std::vector<int>{40});
    // The other of the two brings nothing up again.
    if (play_first) record.engine_ready();
    EXPECT_EQ(record.creates, 1);
  }
}

TEST(PlayerHostTest, PlayClearsTheOldStatusFirstAndPlaysTheSameAddressAgain) {
  QWidget view;
  PlayerEvents events;
  RecordingListener listener;
  events.set_listener(&listener);
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 10, 10), std::make_unique<FakePlayerBackend>(record), {}, events);
  record.status = u"old";
  host.Play(u"http://127.0.0.1/a b");
  host.Play(u"http://127.0.0.1/a b");
  EXPECT_EQ(listener.texts, (std::vector<std::u16string>{u"", u""}));
  EXPECT_EQ(listener.codes, (std::vector<int>{0, 0}));
  EXPECT_EQ(record.loads, (std::vector<std::string>{"http://127.0.0.1/a b", "http://127.0.0.1/a b"}));
}

TEST(PlayerHostTest, FramesAreDrawnIntoAnAlignedBufferOfTheWindowSize) {
  QWidget view;
  PlayerEvents events;
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 37, 21), std::make_unique<FakePlayerBackend>(record), {}, events);
  record.observer->OnBackendFrame();
  const QImage& frame = host.window()->frame();
  ASSERT_FALSE(frame.isNull());
  EXPECT_EQ(frame.size(), QSize(37, 21) * host.window()->devicePixelRatioF());
  EXPECT_EQ(frame.bytesPerLine() % 64, 0);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(frame.constBits()) % 64, 0u);
  EXPECT_EQ(frame.format(), QImage::Format_RGB32);
  EXPECT_EQ(frame.pixel(5, 5), qRgb(0, 255, 0));
}

TEST(PlayerHostTest, TheLastPictureGoesWhenAnotherAddressOpensOrNothingPlays) {
  QWidget view;
  view.resize(60, 40);
  PlayerEvents events;
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 40, 30), std::make_unique<FakePlayerBackend>(record), {}, events);
  host.window()->show();
  const auto centre = [&] {
    const QImage shown = host.window()->grab().toImage();
    return shown.pixel(shown.width() / 2, shown.height() / 2);
  };
  const auto show_frame = [&] {
    record.play_state = PlayState::kPlaying;
    record.observer->OnBackendFrame();
    ASSERT_EQ(centre(), qRgb(0, 255, 0));
  };

  // A new channel opens on black, not under the old channel's picture,
  // which the engine keeps presenting until the new one plays.
  show_frame();
  host.Play(u"http://127.0.0.1/other");
  EXPECT_EQ(centre(), qRgb(0, 0, 0));
  EXPECT_EQ(host.window()->frame().pixel(5, 5), qRgb(0, 0, 0));
  record.observer->OnBackendFrame();  // the old address still plays
  EXPECT_EQ(centre(), qRgb(0, 0, 0));
  record.play_state = PlayState::kBuffering;
  record.observer->OnBackendBuffering(true);
  record.observer->OnBackendFrame();
  EXPECT_EQ(centre(), qRgb(0, 0, 0));
  record.play_state = PlayState::kPlaying;
  record.observer->OnBackendBuffering(false);
  EXPECT_EQ(centre(), qRgb(0, 255, 0));

  show_frame();
  host.Stop();
  EXPECT_EQ(centre(), qRgb(0, 0, 0));

  // A frame drawn after Stop (already queued) goes with the end report.
  show_frame();
  record.play_state = PlayState::kStopped;
  record.observer->OnBackendStatusChange();
  EXPECT_EQ(centre(), qRgb(0, 0, 0));

  show_frame();
  record.play_state = PlayState::kStopped;
  record.observer->OnBackendError();
  EXPECT_EQ(centre(), qRgb(0, 0, 0));

  // Refilling the cache keeps the picture.
  show_frame();
  record.play_state = PlayState::kBuffering;
  record.observer->OnBackendBuffering(true);
  EXPECT_EQ(centre(), qRgb(0, 255, 0));
  record.play_state = PlayState::kPlaying;
  record.observer->OnBackendStatusChange();
  EXPECT_EQ(centre(), qRgb(0, 255, 0));
}

TEST(PlayerHostTest, OwnFullScreenSwitchesBackToTheSamePlace) {
  QWidget view;
  view.resize(200, 200);
  PlayerEvents events;
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(3, 27, 100, 80), std::make_unique<FakePlayerBackend>(record), {}, events);
  EXPECT_FALSE(host.IsFullScreen());
  host.ToggleFullScreen();
  EXPECT_TRUE(host.IsFullScreen());
  EXPECT_TRUE(host.window()->isWindow());
  host.ToggleFullScreen();
  EXPECT_FALSE(host.IsFullScreen());
  EXPECT_FALSE(host.window()->isWindow());
  EXPECT_EQ(host.window()->parentWidget(), &view);
  EXPECT_EQ(host.window()->geometry(), QRect(3, 27, 100, 80));
}

}  // namespace
}  // namespace vidora::testing
