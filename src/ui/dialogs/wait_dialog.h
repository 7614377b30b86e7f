#ifndef VIDORA_UI_DIALOGS_WAIT_DIALOG_H_
#define VIDORA_UI_DIALOGS_WAIT_DIALOG_H_

#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "ui/dialogs/skinned_dialog.h"

class QLabel;

namespace vidora {

// The small modal "please wait" window of the update commands: a title
// and the text "str_wait". It has no
// buttons and no way to be cancelled; the worker it runs ends it. UI
// thread only, except the two calls marked for the worker.
class UpdateWaitDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  static constexpr int kTextId = 1016;

  // Runs on a thread of its own, started by Run(); it must end the dialog
  // with End() as its last step, after it has written its results.
  using Worker = std::function<void(UpdateWaitDialog& dialog)>;

  // Titled with the text of `title_key` ("str_check_updates").
  UpdateWaitDialog(QWidget* owner, std::string_view title_key, Worker worker);
  ~UpdateWaitDialog() override;

  // Shows the dialog modally, starts the worker, and returns the result
  // the worker ended it with once the worker thread has finished; 0 when
  // no thread could be started for the worker (it then never runs).
  int Run();

  // Worker thread: shows the text of `key` as the title and repaints.
  void SetTitleByKeyFromWorker(std::string key);
  // Worker thread: ends the dialog with `result` through the UI thread's
  // event queue, so everything the worker wrote before is seen after Run.
  void EndFromWorker(int result);

  QLabel* text_label() const { return text_; }

 protected:
  bool HandleCommand(int command) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Worker worker_;
  std::thread thread_;
  QLabel* text_;
};

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_WAIT_DIALOG_H_
