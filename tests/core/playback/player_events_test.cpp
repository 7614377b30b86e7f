#include "core/playback/player_events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/playback/player_status_listener.h"
#include "core/playback/player_window.h"

namespace vidora {
namespace {

class ScriptedPlayer : public PlayerWindow, public PlayerStatusSource {
 public:
  explicit ScriptedPlayer(std::u16string name) : PlayerWindow(std::move(name)) {}
  void Play(const std::u16string&) override {}
  void Stop() override {}
  std::u16string StatusText() const override { return status; }
  PlayState GetPlayState() const override { return play_state; }
  uint32_t MediaErrorCode() const override { return media_error; }

  std::u16string status;
  PlayState play_state = PlayState::kPlaying;
  uint32_t media_error = 0;
};

struct Report {
  std::u16string text;
  int code;
  bool operator==(const Report&) const = default;
};

class PlayerEventsTest : public ::testing::Test, public PlayerStatusListener {
 protected:
  void SetUp() override {
    events_.set_listener(this);
    events_.SetMainPlayer(&player_, &player_);
    events_.set_poll_starter([this] { ++polls_started_; });
  }
  void OnPlayerStatus(PlayerWindow* player, const std::optional<std::u16string>& text, int code) override {
    EXPECT_EQ(player, &player_);
    reports_.push_back({text.value_or(u"(none)"), code});
  }

  ScriptedPlayer player_{u"m"};
  PlayerEvents events_;
  std::vector<Report> reports_;
  int polls_started_ = 0;
};

TEST_F(PlayerEventsTest, BufferingReportsUpdatesThenItsEndAndPollsOnlyWhileItLasts) {
  player_.status = u"Opening";
  player_.play_state = PlayState::kBuffering;
  events_.OnBuffering(true);
  EXPECT_TRUE(events_.buffering_active());
  EXPECT_EQ(polls_started_, 1);
  EXPECT_TRUE(events_.StatusPollStep());
  player_.status = u"Playing";
  player_.play_state = PlayState::kPlaying;
  events_.OnBuffering(false);
  EXPECT_FALSE(events_.StatusPollStep());
  events_.OnStatusChange();
  EXPECT_EQ(reports_, (std::vector<Report>{{u"Opening", 0}, {u"Playing", 1}, {u"Playing", 0}}));
}

TEST_F(PlayerEventsTest, ErrorLatchesAndSilencesEverythingUntilTheNextBufferingStart) {
  player_.status = u"HTTP error 404 Not Found";
  player_.media_error = 0xC00D1199;
  events_.OnError();
  EXPECT_TRUE(events_.error_latched());
  player_.status = u"Stopped";
  events_.OnStatusChange();
  events_.OnBuffering(false);
  events_.OnError();
  events_.ReportStatus(0);
  EXPECT_EQ(reports_, (std::vector<Report>{{u"HTTP error 404 Not Found", -1}}));

  player_.status = u"Opening";
  player_.play_state = PlayState::kBuffering;
  events_.OnBuffering(true);
  EXPECT_FALSE(events_.error_latched());
  events_.OnStatusChange();
  EXPECT_EQ(reports_.back(), (Report{u"Opening", 0}));
}

TEST_F(PlayerEventsTest, UnreachableServerGivesMinusTwoAndAnIdlePlayerMinusOneWithoutLatching) {
  player_.status = u"Connection refused";
  player_.media_error = kMediaErrorServerNotFound;
  events_.OnError();
  EXPECT_EQ(reports_.back(), (Report{u"Connection refused", -2}));

  events_.OnBuffering(true);  // clears the latch
  reports_.clear();
  player_.media_error = 0;
  player_.status = u"Stopped";
  player_.play_state = PlayState::kReady;
  events_.OnStatusChange();
  events_.OnBuffering(false);
  EXPECT_FALSE(events_.error_latched());
  EXPECT_EQ(reports_, (std::vector<Report>{{u"Stopped", -1}, {u"Stopped", -1}}));
}

TEST_F(PlayerEventsTest, NothingIsReportedWithoutAMainPlayer) {
  events_.SetMainPlayer(nullptr, nullptr);
  events_.OnStatusChange();
  events_.OnError();
  events_.OnBuffering(true);
  events_.OnBuffering(false);
  EXPECT_TRUE(reports_.empty());
  EXPECT_FALSE(events_.error_latched());
}

TEST(PlayerRegistryTest, KeepsPlayersInNameOrderAndReplacesByName) {
  {
    ScriptedPlayer z(u"z"), a(u"a");
    std::vector<std::u16string> names;
    for (const auto& [name, player] : PlayerRegistry()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"a", u"z"}));
    ScriptedPlayer a2(u"a");
    EXPECT_EQ(PlayerRegistry().at(u"a"), &a2);
  }
  EXPECT_TRUE(PlayerRegistry().empty());
}

}  // namespace
}  // namespace vidora
