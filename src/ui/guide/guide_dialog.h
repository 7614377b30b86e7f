#ifndef VIDORA_UI_GUIDE_GUIDE_DIALOG_H_
#define VIDORA_UI_GUIDE_GUIDE_DIALOG_H_

#include <functional>
#include <string>
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
struct ScheduledRecording;

// The programme guide screen: a day picker, "Now", the search field and
// "Reminders" above the grid, the selected programme's details below
// (title, sub-title, episode, start–stop with a progress bar while it
// runs, categories, rating, description, and the programme's picture
// beside them, fetched in the background with a placeholder until then). Enter on a running programme
// plays its channel (`play`) and closes; on a past one (or Shift+Enter on
// the running one) it plays the programme from its start out of the
// channel's archive (set_play_archive) and closes, or says in note() why
// the archive cannot; on a future one it sets or removes a reminder. R
// on a future or running programme schedules its recording or removes it
// (set_recorder), and note() says which, or the clash.
// Typing a letter searches: channels whose name starts with the text (or
// whose number it is) first, then programme titles across all channels
// and days; Enter on a result jumps there (a channel at the selected
// time), Escape goes back to the grid. UI thread only.
class GuideDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  GuideDialog(QWidget* owner, PlaylistManager& manager, std::vector<Channel*> channels,
              std::function<void(Channel*)> play);

  // Plays `address`, the archive address of a programme of the live
  // `channel`, shown as `name`.
  using ArchivePlayer =
      std::function<void(const Channel& channel, const std::u16string& address, const std::u16string& name)>;
  // Empty (the default): past programmes cannot be played.
  void set_play_archive(ArchivePlayer play) { play_archive_ = std::move(play); }
  // What R works: whether a programme's recording is scheduled (by its
  // channel name and start), and scheduling or removing it, which returns
  // the sentence saying what happened. Empty: R does nothing.
  struct Recorder {
    std::function<bool(const ScheduledRecording&)> scheduled;
    std::function<QString(const ScheduledRecording&)> toggle;
  };
  void set_recorder(Recorder recorder);

  GuideGrid* grid() const { return grid_; }
  // The sentence saying what the last Enter or R did or why it could not;
  // shown above the details until the selection moves.
  const QString& note() const { return note_; }
  QLineEdit* search() const { return search_; }
  QListWidget* results() const { return results_; }
  QLabel* details() const { return details_; }
  // The selected programme's picture (hidden when it has none).
  QLabel* picture() const { return icon_; }
  // Whether the picture shows the programme's icon rather than the
  // placeholder.
  bool picture_shown() const { return icon_shown_; }
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
  void ShowIcon(const ProgrammeRecord* programme);
  void PlaceDetails();
  void OnChosen(const ChosenProgramme& chosen);
  void OnRecordAsked(const ChosenProgramme& chosen);
  void PlayFromArchive(const ChosenProgramme& chosen);
  void Say(const QString& note);
  void JumpToResult();
  void ShowReminders();

  PlaylistManager& manager_;
  std::function<void(Channel*)> play_;
  ArchivePlayer play_archive_;
  Recorder recorder_;
  QString note_;
  std::vector<Channel*> channels_;
  GuideGrid* grid_;
  QComboBox* days_;
  QPushButton* now_;
  QPushButton* reminders_;
  QLineEdit* search_;
  QListWidget* results_;
  QLabel* details_;
  QLabel* icon_;
  bool icon_shown_ = false;
  QRect details_area_;
  QProgressBar* progress_;
};

// The channels of the grid opened from the main window: every playlist
// channel that has a guide, in catalogue order.
std::vector<Channel*> ChannelsWithGuide(const PlaylistManager& manager);

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_GUIDE_DIALOG_H_
