#ifndef VIDORA_CORE_UPDATES_UPDATE_UI_H_
#define VIDORA_CORE_UPDATES_UPDATE_UI_H_

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "core/commands/message_answer.h"
#include "core/updates/update_workers.h"

namespace vidora {

// Which wait dialog, by the dialog's id.
enum class UpdateWaitKind : int { kCatalogue = 202, kApplication = 210 };

// The main frame's two update commands: "Update channels" and "Check
// version".
enum class UpdateCommand { kCatalogue, kApplication };

// What the update service needs of the user interface. The shell
// implements it with Qt; tests fake it. Every method is called on the UI
// thread, except the WaitTitleSetter handed to a worker (see
// RunWaitDialog).
class UpdateUi {
 public:
  // The worker of a wait dialog; runs on a thread of its own and may call
  // `set_title` from there.
  using WaitWorker = std::function<void(const WaitTitleSetter& set_title)>;

  virtual ~UpdateUi() = default;

  // Shows the wait dialog of `kind` modally, owned by the active window,
  // titled with the text of `title_key` and showing the text of "str_wait"
  // in its control 1016. Once it is up, runs `worker` on another thread.
  // The `set_title` given to the worker may be called on that thread: it
  // must retitle the dialog (text of the key) and repaint it at once, on
  // the UI thread. When the worker returns the dialog closes. The dialog
  // offers a cancel (a soft key, Escape, a close request), which sets
  // `cancel`; the worker's transfers watch that flag and end at once.
  // Returns only after the dialog has closed and the worker has returned
  // (its thread joined), so everything the worker wrote is visible to the
  // caller.
  virtual void RunWaitDialog(UpdateWaitKind kind, std::string_view title_key, WaitWorker worker,
                             std::atomic<bool>& cancel) = 0;

  // A message box owned by the main frame with the text of `key`, the
  // application title as caption and `buttons`; returns the one pressed.
  virtual MessageAnswer ShowMessageByKey(std::string_view key, MessageButtons buttons) = 0;

  // Opens a web address in the browser; the outcome is not examined.
  virtual void OpenWebAddress(const std::u16string& address) = 0;

  // Stops playback as the control panel's stop does.
  virtual void StopPlayback() = 0;

  // Whether the main frame is the active window (no dialog or other window
  // in front of it).
  virtual bool IsFrameActive() = 0;

  // Runs the main frame's update command `command` and returns once it has
  // been handled.
  virtual void SendCommand(UpdateCommand command) = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_UPDATES_UPDATE_UI_H_
