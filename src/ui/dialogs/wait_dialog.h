#ifndef VIDORA_UI_DIALOGS_WAIT_DIALOG_H_
#define VIDORA_UI_DIALOGS_WAIT_DIALOG_H_

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "ui/dialogs/skinned_dialog.h"
#include "ui/jobs/background_jobs.h"

class QLabel;

namespace vidora {

// The small modal "please wait" window of the update commands: a title
// and the text "str_wait". The worker it runs ends it. Given a cancel
// flag, it has a "button_cancel" soft key: that key, Escape and a close
// request set the flag (the worker's transfers then end at once) and the
// dialog closes as soon as the worker has returned. Without one they do
// nothing. UI thread only, except the two calls marked for the worker.
class UpdateWaitDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  // Runs as a job of the dialog's runner, started by Run(); it must end
  // the dialog with EndFromWorker() as its last step, after it has
  // written its results.
  using Worker = std::function<void(UpdateWaitDialog& dialog)>;

  // Titled with the text of `title_key` ("str_check_updates"). `cancel`
  // (may be null; borrowed, must outlive the dialog) is set when the user
  // cancels.
  UpdateWaitDialog(QWidget* owner, std::string_view title_key, Worker worker,
                   std::atomic<bool>* cancel = nullptr);
  ~UpdateWaitDialog() override;

  // Shows the dialog modally, starts the worker, and returns the result
  // the worker ended it with; 0 when no thread could be started for the
  // worker (it then never runs). The dialog's end waits (boundedly, as the
  // runner's does) for the worker's last return.
  int Run();

  // Worker thread: shows the text of `key` as the title and repaints.
  void SetTitleByKeyFromWorker(std::string key);
  // Worker thread: ends the dialog with `result` through the UI thread's
  // event queue, so everything the worker wrote before is seen after Run.
  void EndFromWorker(int result);

  QLabel* text_label() const { return text_; }
  // Whether the user cancelled.
  bool cancelled() const { return cancel_ != nullptr && cancel_->load(); }

 protected:
  bool HandleCommand(int command) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Worker worker_;
  std::atomic<bool>* cancel_;
  QLabel* text_;
  // Last, so that it ends first: the worker it runs reaches the dialog.
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_WAIT_DIALOG_H_
