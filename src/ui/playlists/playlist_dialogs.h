#ifndef VIDORA_UI_PLAYLISTS_PLAYLIST_DIALOGS_H_
#define VIDORA_UI_PLAYLISTS_PLAYLIST_DIALOGS_H_

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/dialogs/skinned_dialog.h"

class QLineEdit;
class QListWidget;

namespace vidora {

class PlaylistGuidesDialog;
class PlaylistManager;
struct StoredPlaylist;

// A second line for a stored playlist in the settings' list instead of its
// source (a provider account's user, server and expiry), or empty for the
// source. Set once at start; UI thread only.
using PlaylistDescriber = QString (*)(const StoredPlaylist& playlist);
void SetPlaylistDescriber(PlaylistDescriber describer);

// "Add playlist…": asks for a file (with a file chooser) or an address.
// Use: exec(); on 1 (the left soft key, or Enter), source() is what the
// user gave; the close control and Escape end it with 2. UI thread only.
class AddPlaylistDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  explicit AddPlaylistDialog(QWidget* owner);
  QString source() const;
  QLineEdit* edit() const { return edit_; }

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QLineEdit* edit_;
  QWidget* browse_;
};

// The "Playlists" list of the settings: every stored playlist with its
// source; Rename (Ctrl+E) names the selected one anew, Remove (or Delete in
// the list) asks, then takes it off the list — the playlist itself goes
// when the settings are confirmed (removed(), applied by the settings'
// owner; Cancel keeps it) — "Guide addresses…" (Ctrl+G) lists the selected
// playlist's own guide addresses and those the user added to it
// (PlaylistGuidesDialog), and Refresh fetches those from addresses again.
// UI thread only.
class PlaylistsDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  PlaylistsDialog(QWidget* owner, PlaylistManager& manager);
  QListWidget* list() const { return list_; }
  // The programme guide address used besides the playlists' own.
  QLineEdit* guide_edit() const { return guide_; }
  void RemoveSelected();
  // Opens the guide addresses of the selected playlist; `run` (tests) runs
  // the dialog instead of exec().
  void EditSelectedGuides();
  void set_guides_runner(std::function<void(PlaylistGuidesDialog&)> run) { run_guides_ = std::move(run); }
  // Asks for a new name of the selected playlist (with `ask`, the name
  // shown, returning the new one or empty to keep it) and renames it.
  void RenameSelected();
  // The keys of the playlists Remove took off the list, in order.
  const std::vector<std::string>& removed() const { return removed_; }
  // Tests answer the questions: `confirm` for Remove, `ask` for Rename.
  void set_questions(std::function<bool()> confirm, std::function<QString(const QString&)> ask) {
    confirm_ = std::move(confirm);
    ask_ = std::move(ask);
  }

 protected:
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Fill();

  PlaylistManager& manager_;
  QListWidget* list_;
  QLineEdit* guide_;
  QWidget* guide_label_;
  QWidget* remove_;
  QWidget* rename_;
  QWidget* refresh_;
  QWidget* guides_;
  std::function<void(PlaylistGuidesDialog&)> run_guides_;
  std::vector<std::string> removed_;
  std::function<bool()> confirm_;
  std::function<QString(const QString&)> ask_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYLISTS_PLAYLIST_DIALOGS_H_
