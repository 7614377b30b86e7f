#ifndef VIDORA_UI_GUIDE_GUIDE_ENTRY_H_
#define VIDORA_UI_GUIDE_GUIDE_ENTRY_H_

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

#include "ui/guide/guide_dialog.h"

class QWidget;

namespace vidora {

class Channel;
class GuideReminders;
class PlaylistManager;

// The guide's ways in from the main window: the G key, the menu command
// (Open), and the reminders with their "watch" action, which plays the
// channel through `play`. The grids it opens play past programmes
// through the archive player and schedule recordings through the
// recorder given here. Owned by the main window. UI thread only.
class GuideEntry : public QObject {
  Q_OBJECT

 public:
  GuideEntry(QWidget* window, PlaylistManager& manager, std::function<void(Channel*)> play);
  ~GuideEntry() override;

  // Opens the grid with `channels` (every channel with a guide when empty)
  // over `owner`, modal, and returns when it closes. Channels the current
  // ParentalLock locks are left out.
  void Open(QWidget* owner, std::vector<Channel*> channels = {});
  static GuideEntry* Current();

  void set_play_archive(GuideDialog::ArchivePlayer play) { play_archive_ = std::move(play); }
  void set_recorder(GuideDialog::Recorder recorder) { recorder_ = std::move(recorder); }

 private:
  QWidget* window_;
  PlaylistManager& manager_;
  std::function<void(Channel*)> play_;
  GuideDialog::ArchivePlayer play_archive_;
  GuideDialog::Recorder recorder_;
  std::unique_ptr<GuideReminders> reminders_;
  bool open_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_GUIDE_ENTRY_H_
