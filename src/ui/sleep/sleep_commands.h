#ifndef VIDORA_UI_SLEEP_SLEEP_COMMANDS_H_
#define VIDORA_UI_SLEEP_SLEEP_COMMANDS_H_

#include <array>
#include <cstdint>
#include <optional>

class QAction;
class QMenu;

namespace vidora {

class PlaybackControl;
class SleepTimer;

// The main menu's "Sleep timer" sub-menu: Off, 15, 30, 60 and 90 minutes,
// "End of programme" (the running programme of what plays, from the
// guide) and the checkable "Quit when the timer ends". UI thread only.

// The countdowns the sub-menu offers, in minutes, in its order.
inline constexpr std::array<int, 4> kSleepMinutes = {15, 30, 60, 90};

// The sub-menu's items: the frame's actions (borrowed; it owns them).
struct SleepActions {
  QAction* off = nullptr;
  std::array<QAction*, kSleepMinutes.size()> minutes{};  // as kSleepMinutes
  QAction* end_of_programme = nullptr;
  QAction* quit = nullptr;  // checkable
};

// Adds the sub-menu with `actions` to `menu` and returns it (owned by
// `menu`).
QMenu* AddSleepMenu(QMenu* menu, const SleepActions& actions);
// Keeps the items' states right whenever the sub-menu opens: Off only
// while a countdown runs, "End of programme" only while what plays has a
// running programme in the guide, the quit item checked as `timer` says.
// Both must outlive the menu's use.
void FollowSleepMenu(QMenu* sleep_menu, const SleepActions& actions, SleepTimer* timer, PlaybackControl* playback);
// When the running programme of what `playback` plays ends, in
// milliseconds since 1970; none without a guide, a programme or playback.
std::optional<int64_t> EndOfProgrammeMs(const PlaybackControl& playback);
// "End of programme": the countdown to the end of the running programme;
// nothing without one.
void SleepUntilEndOfProgramme(SleepTimer* timer, const PlaybackControl& playback);

}  // namespace vidora

#endif  // VIDORA_UI_SLEEP_SLEEP_COMMANDS_H_
