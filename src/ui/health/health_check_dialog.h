#ifndef VIDORA_UI_HEALTH_HEALTH_CHECK_DIALOG_H_
#define VIDORA_UI_HEALTH_HEALTH_CHECK_DIALOG_H_

#include <QTimer>

#include <cstddef>
#include <functional>

#include "ui/dialogs/skinned_dialog.h"

class QLabel;
class QProgressBar;

namespace vidora {

// The small modal window of a channel check: the title "Checking
// channels…", a progress bar, a line "120 of 1,204 sources checked, 31 did
// not answer" and the soft key Cancel (also Escape and a close request).
// Cancel only asks (the cancel callback); the check's owner ends the
// dialog with Finish once the probes stopped. UI thread only.
class HealthCheckDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  struct Progress {
    size_t done = 0;
    size_t dead = 0;
    size_t total = 0;  // 0: the one given at construction
  };
  // `total` sources; `progress` is read ten times a second (from the UI
  // thread; it reads the probing threads' counters); `cancel` runs once
  // when the user cancels.
  HealthCheckDialog(QWidget* owner, size_t total, std::function<Progress()> progress, std::function<void()> cancel);

  // Ends the dialog (exec returns 1).
  void Finish();
  bool cancelled() const { return cancelled_; }

  QProgressBar* bar() const { return bar_; }
  QLabel* line() const { return line_; }

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Update();

  size_t total_;
  std::function<Progress()> progress_;
  std::function<void()> cancel_;
  bool cancelled_ = false;
  QProgressBar* bar_ = nullptr;
  QLabel* line_ = nullptr;
  QTimer timer_;
};

}  // namespace vidora

#endif  // VIDORA_UI_HEALTH_HEALTH_CHECK_DIALOG_H_
