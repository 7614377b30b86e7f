#ifndef VIDORA_UI_GUIDE_GUIDE_DIALOG_H_
#define VIDORA_UI_GUIDE_GUIDE_DIALOG_H_

#include <functional>
#include <vector>

#include "ui/dialogs/skinned_dialog.h"
#include "ui/guide/guide_grid.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace vidora {

class Channel;
class PlaylistManager;

// The programme guide screen: a day picker, "Now", the search field and
// "Reminders" above the grid, the selected programme's details below
// (title, sub-title, episode, start–stop with a progress bar while it
// runs, categories, rating, description). Enter on a running programme
// plays its channel (`play`) and closes; on a future one it sets or
// removes a reminder; every choice is also given to ProgrammeChosen of
// grid() (catch-up of past programmes and recording connect there).
// Typing a letter searches titles across all channels and days; Enter on
// a result jumps there, Escape goes back to the grid. UI thread only.
class GuideDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  GuideDialog(QWidget* owner, PlaylistManager& manager, std::vector<Channel*> channels,
              std::function<void(Channel*)> play);

  GuideGrid* grid() const { return grid_; }
  QLineEdit* search() const { return search_; }
  QListWidget* results() const { return results_; }
  QLabel* details() const { return details_; }
  QComboBox* days() const { return days_; }

  // Fills the results for `text` (at least two characters).
  void Search(const QString& text);

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowDetails();
  void OnChosen(const ChosenProgramme& chosen);
  void JumpToResult();
  void ShowReminders();

  PlaylistManager& manager_;
  std::function<void(Channel*)> play_;
  std::vector<Channel*> channels_;
  GuideGrid* grid_;
  QComboBox* days_;
  QPushButton* now_;
  QPushButton* reminders_;
  QLineEdit* search_;
  QListWidget* results_;
  QLabel* details_;
  QProgressBar* progress_;
};

// The channels of the grid opened from the main window: every playlist
// channel that has a guide, in catalogue order.
std::vector<Channel*> ChannelsWithGuide(const PlaylistManager& manager);

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_GUIDE_DIALOG_H_
