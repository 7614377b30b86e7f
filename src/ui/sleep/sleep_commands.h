#ifndef VIDORA_UI_SLEEP_SLEEP_COMMANDS_H_
#define VIDORA_UI_SLEEP_SLEEP_COMMANDS_H_

#include <cstdint>
#include <optional>

class QMenu;

namespace vidora {

class PlaybackControl;
class SleepTimer;

// The main menu's "Sleep timer" sub-menu: Off (ID_SLEEP_OFF), 15, 30, 60
// and 90 minutes, "End of programme" (the running programme of what plays,
// from the guide) and the checkable "Quit when the timer ends"
// (ID_SLEEP_QUIT). UI thread only.

// Adds the sub-menu to `menu` and returns it (owned by `menu`).
QMenu* AddSleepMenu(QMenu* menu);
// Keeps the sub-menu's states right whenever it opens: Off only while a
// countdown runs, "End of programme" only while what plays has a running
// programme in the guide, the quit item checked as `timer` says. Both
// must outlive the menu's use.
void FollowSleepMenu(QMenu* sleep_menu, SleepTimer* timer, PlaybackControl* playback);
// When the running programme of what `playback` plays ends, in
// milliseconds since 1970; none without a guide, a programme or playback.
std::optional<int64_t> EndOfProgrammeMs(const PlaybackControl& playback);
// Runs `command` on `timer` when it is one of the sub-menu's; false
// otherwise. "End of programme" without a running programme does nothing.
bool RunSleepCommand(int command, SleepTimer* timer, const PlaybackControl& playback);

}  // namespace vidora

#endif  // VIDORA_UI_SLEEP_SLEEP_COMMANDS_H_
