#ifndef VIDORA_UI_SHELL_MAIN_ACTIONS_H_
#define VIDORA_UI_SHELL_MAIN_ACTIONS_H_

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>

class QAction;
class QWidget;

namespace vidora {

// The main frame's commands, one QAction each.
enum class MainCommand {
  kChannels,  // the left soft key
  kFullScreen,
  kSettings,
  kAddPlaylist,
  kRecord,
  kRecordings,
  kAddProvider,
  kRadioDirectory,
  kCheckChannels,
  kFilms,
  kGuideGrid,
  kSleepOff,
  kSleep15,
  kSleep30,
  kSleep60,
  kSleep90,
  kSleepEndOfProgramme,
  kSleepQuit,  // checkable
  kUpdate,
  kChannelUpdate,
  kRefreshPlaylists,
  kAbout,
  kExit,
};
inline constexpr std::size_t kMainCommandCount = static_cast<std::size_t>(MainCommand::kExit) + 1;

// The frame's commands as actions owned by the frame: each with its
// caption (a text of the current language), its key (bound on the frame,
// so it works without the menu; menus do not show it, a caption that
// wants it shown carries it after a tab) and its slot. The menu, the soft
// keys, the control panel, the desktop keys and the update promotion all
// trigger these. An action without a slot does nothing. UI thread only.
class MainActions : public QObject {
  Q_OBJECT

 public:
  // Creates every action on `frame` (which owns this object and them).
  explicit MainActions(QWidget* frame);

  QAction* Get(MainCommand command) const;
  // Which command `action` is; none for an action that is no frame command.
  std::optional<MainCommand> CommandOf(const QAction* action) const;

  // Gives `command` its caption, key (may be empty) and slot; the slot
  // runs on every trigger, unless `allowed` (set by SetGuard) says no.
  void Define(MainCommand command, const QString& caption, const QKeySequence& key, std::function<void()> slot);
  // What every slot asks first (the frame: not once the player closes).
  void SetGuard(std::function<bool()> allowed) { allowed_ = std::move(allowed); }

 private:
  std::array<QAction*, kMainCommandCount> actions_{};
  std::function<bool()> allowed_;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_MAIN_ACTIONS_H_
