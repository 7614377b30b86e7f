#include <QElapsedTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/stores/language_pack.h"
#include "e2e/wait_for.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/player_video_widget.h"

namespace vidora::testing {
namespace {

// Everything the host reported, in order.
struct EventLog {
  explicit EventLog(PlayerHost& host) {
    QObject::connect(&host, &PlayerHost::StatusChanged, [this](const PlayerStatus& s) { statuses.push_back(s); });
    QObject::connect(&host, &PlayerHost::Failed, [this](const FailureReport& f) { failures.push_back(f); });
    QObject::connect(&host, &PlayerHost::TitleChanged, [this](const std::u16string& t) { titles.push_back(t); });
    QObject::connect(&host, &PlayerHost::TracksChanged, [this](const StreamTracks& t) { tracks.push_back(t); });
    QObject::connect(&host, &PlayerHost::PositionChanged, [this](const StreamPosition& p) { positions.push_back(p); });
  }
  std::vector<PlayerStatus> statuses;
  std::vector<FailureReport> failures;
  std::vector<std::u16string> titles;
  std::vector<StreamTracks> tracks;
  std::vector<StreamPosition> positions;
};

struct HostRun {
  std::vector<std::string> messages;
  bool connected = false;
  bool volume_taken = false;
  size_t loads = 0;
};

HostRun BringUpWithFailure(int failing_step) {
  QWidget view;
  FakePlayerBackend::Record record;
  if (failing_step >= 0) record.fail[failing_step] = true;
  HostRun run;
  PlayerHost host(&view, QRect(4, 4, 100, 80), std::make_unique<FakePlayerBackend>(record),
                  [&run](QWidget*, const QString& text) { run.messages.push_back(text.toStdString()); });
  run.connected = host.connected();
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
  };
  const std::vector<Case> cases = {
      {-1, {}, true},
      {FakePlayerBackend::kCreate, {"Can't create player."}, false},
      {FakePlayerBackend::kVolume, {"Can't get settings."}, true},
      {FakePlayerBackend::kInitialize, {"The video engine could not be started. (3)"}, false},
      {FakePlayerBackend::kRenderer, {"The video engine cannot draw pictures here. (4)"}, false},
      {FakePlayerBackend::kWarnings, {"The video engine's warnings are not available; error messages will say less. (5)"}, true},
      {FakePlayerBackend::kObserve, {"The player cannot follow the video engine's state. (6)"}, false},
      {FakePlayerBackend::kConnect, {"The player cannot receive the video engine's events. (7)"}, false},
  };
  ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    const HostRun run = BringUpWithFailure(c.step);
    EXPECT_EQ(run.messages, c.messages);
    EXPECT_EQ(run.connected, c.connected);
    EXPECT_EQ(run.loads, c.connected ? 1u : 0u);
    EXPECT_EQ(run.volume_taken, c.connected && c.step != FakePlayerBackend::kVolume);
  }
  Languages().Free();
}

TEST(PlayerHostTest, StartsHiddenInItsRectangleAndTakesItsEngineAlongWhenDestroyed) {
  QWidget view;
  FakePlayerBackend::Record record;
  {
    PlayerHost host(&view, QRect(4, 4, 100, 80), std::make_unique<FakePlayerBackend>(record), {});
    EXPECT_FALSE(host.window()->isVisibleTo(&view));
    EXPECT_EQ(host.window()->geometry(), QRect(4, 4, 100, 80));
    host.Move(1, 2, 30, 40);
    EXPECT_EQ(host.window()->geometry(), QRect(1, 2, 30, 40));
  }
  EXPECT_TRUE(record.destroyed);
}

TEST(PlayerHostTest, WhileTheEngineLoadsTheHostComesUpWhenItArrivesOrAtTheFirstPlay) {
  QWidget view;
  for (const bool play_first : {false, true}) {
    FakePlayerBackend::Record record;
    record.engine_loaded = false;
    PlayerHost host(&view, QRect(0, 0, 10, 10), std::make_unique<FakePlayerBackend>(record), {});
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
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 10, 10), std::make_unique<FakePlayerBackend>(record), {});
  EventLog log(host);
  record.status = u"old";
  host.Play(u"http://127.0.0.1/a b");
  host.Play(u"http://127.0.0.1/a b");
  ASSERT_EQ(log.statuses.size(), 2u);
  EXPECT_EQ(log.statuses[0], PlayerStatus());
  EXPECT_EQ(log.statuses[1], PlayerStatus());
  EXPECT_TRUE(log.failures.empty());
  EXPECT_EQ(record.loads, (std::vector<std::string>{"http://127.0.0.1/a b", "http://127.0.0.1/a b"}));
}

TEST(PlayerHostTest, FramesAreDrawnIntoAnAlignedBufferOfTheWindowSize) {
  QWidget view;
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 37, 21), std::make_unique<FakePlayerBackend>(record), {});
  record.AnnounceFrame();
  ASSERT_TRUE(WaitFor([&] { return !host.window()->frame().isNull(); }, 5000));
  const QImage& frame = host.window()->frame();
  EXPECT_EQ(frame.size(), QSize(37, 21) * host.window()->devicePixelRatioF());
  EXPECT_EQ(frame.bytesPerLine() % 64, 0);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(frame.constBits()) % 64, 0u);
  EXPECT_EQ(frame.format(), QImage::Format_RGB32);
  EXPECT_EQ(frame.pixel(5, 5), qRgb(0, 255, 0));
}

TEST(PlayerHostTest, TheLastPictureGoesWhenAnotherAddressOpensOrNothingPlays) {
  QWidget view;
  view.resize(60, 40);
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 40, 30), std::make_unique<FakePlayerBackend>(record), {});
  host.window()->show();
  const auto centre = [&] {
    const QImage shown = host.window()->grab().toImage();
    return shown.pixel(shown.width() / 2, shown.height() / 2);
  };
  const auto show_frame = [&] {
    record.play_state = PlayState::kPlaying;
    record.AnnounceFrame();
    ASSERT_TRUE(WaitFor([&] { return centre() == qRgb(0, 255, 0); }, 5000));
  };
  // The frame the engine presents is taken unseen.
  const auto frame_taken_unseen = [&] {
    const int64_t discarded = host.window()->frames_discarded();
    record.AnnounceFrame();
    ASSERT_TRUE(WaitFor([&] { return host.window()->frames_discarded() > discarded; }, 5000));
  };

  // A new channel opens on black, not under the old channel's picture,
  // which the engine keeps presenting until the new one plays.
  show_frame();
  host.Play(u"http://127.0.0.1/other");
  EXPECT_EQ(centre(), qRgb(0, 0, 0));
  EXPECT_EQ(host.window()->frame().pixel(5, 5), qRgb(0, 0, 0));
  frame_taken_unseen();  // the old address still plays
  EXPECT_EQ(centre(), qRgb(0, 0, 0));
  record.play_state = PlayState::kBuffering;
  record.observer->OnBackendBuffering(true);
  frame_taken_unseen();
  EXPECT_EQ(centre(), qRgb(0, 0, 0));
  record.play_state = PlayState::kPlaying;
  record.observer->OnBackendBuffering(false);
  EXPECT_TRUE(WaitFor([&] { return centre() == qRgb(0, 255, 0); }, 5000));

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

TEST(PlayerHostTest, ReportsStateBufferingFailureTitleTracksAndPositionAsTheyHappen) {
  QWidget view;
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 10, 10), std::make_unique<FakePlayerBackend>(record), {});
  host.Play(u"http://127.0.0.1/live");
  EventLog log(host);
  record.play_state = PlayState::kBuffering;
  record.cache_percent = 40;
  record.status = u"Buffering 40%";
  record.observer->OnBackendBuffering(true);
  record.observer->OnBackendStatusChange();  // nothing new: no second report
  record.play_state = PlayState::kPlaying;
  record.status = u"Playing";
  record.observer->OnBackendBuffering(false);
  ASSERT_EQ(log.statuses.size(), 2u);
  EXPECT_EQ(log.statuses[0], (PlayerStatus{PlayState::kBuffering, 40, u"Buffering 40%"}));
  EXPECT_EQ(log.statuses[1], (PlayerStatus{PlayState::kPlaying, -1, u"Playing"}));
  EXPECT_EQ(host.address_state(), PlayerHost::AddressState::kPlaying);

  record.tracks = {false, true, {}};
  record.observer->OnBackendTracksChange();
  record.position = {12.5, 2.0, 13.0};
  record.observer->OnBackendPositionChange();
  EXPECT_EQ(log.tracks, (std::vector<StreamTracks>{{false, true, {}}}));
  EXPECT_EQ(log.positions, (std::vector<StreamPosition>{{12.5, 2.0, 13.0}}));

  // The failure comes with its reason, its sentence and the engine's words.
  record.play_state = PlayState::kStopped;
  record.failure = StreamFailure::kServerNotFound;
  record.status = u"The server could not be found.";
  record.observer->OnBackendError();
  ASSERT_EQ(log.failures.size(), 1u);
  EXPECT_EQ(log.failures[0].failure, StreamFailure::kServerNotFound);
  EXPECT_EQ(log.failures[0].text, u"The server could not be found.");
  EXPECT_EQ(host.address_state(), PlayerHost::AddressState::kFailed);
}

TEST(PlayerHostTest, ACacheDipIsBufferingOnlyOnceThePictureStandsStill) {
  QWidget view;
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 10, 10), std::make_unique<FakePlayerBackend>(record), {});
  host.Play(u"http://127.0.0.1/live");
  const auto report = [&](PlayState state, const char16_t* text) {
    record.play_state = state;
    record.status = text;
    record.observer->OnBackendBuffering(state == PlayState::kBuffering);
  };
  // Before the first picture, buffering shows at once.
  report(PlayState::kBuffering, u"Buffering 5%");
  EXPECT_TRUE(host.status().buffering());
  report(PlayState::kPlaying, u"Playing");
  record.tracks = {true, true, {}};
  record.observer->OnBackendTracksChange();

  // The cache dips while frames keep coming: still playing.
  report(PlayState::kBuffering, u"Buffering 20%");
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 2 * PlayerHost::kStallMs) {
    record.AnnounceFrame();
    WaitFor([] { return false; }, 100);
    ASSERT_EQ(host.status().state, PlayState::kPlaying);
  }
  // The picture stands still: now it buffers.
  ASSERT_TRUE(WaitFor([&] { return host.status().buffering(); }, 4 * PlayerHost::kStallMs));
  EXPECT_EQ(host.status().text, u"Buffering 20%");
  report(PlayState::kPlaying, u"Playing");
  EXPECT_FALSE(host.status().buffering());

  // Sound alone has no picture to judge by.
  record.tracks = {false, true, {}};
  record.observer->OnBackendTracksChange();
  report(PlayState::kBuffering, u"Buffering 30%");
  EXPECT_TRUE(host.status().buffering());
}

TEST(PlayerHostTest, OwnFullScreenSwitchesBackToTheSamePlace) {
  QWidget view;
  view.resize(200, 200);
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(3, 27, 100, 80), std::make_unique<FakePlayerBackend>(record), {});
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
