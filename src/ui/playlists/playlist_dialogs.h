#ifndef VIDORA_UI_PLAYLISTS_PLAYLIST_DIALOGS_H_
#define VIDORA_UI_PLAYLISTS_PLAYLIST_DIALOGS_H_

#include <QString>

#include <cstdint>

#include "ui/dialogs/skinned_dialog.h"

class QLineEdit;
class QListWidget;

namespace vidora {

class PlaylistManager;

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
// source; Remove (or Delete in the list) takes the selected one out at
// once, Refresh fetches those from addresses again. UI thread only.
class PlaylistsDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  PlaylistsDialog(QWidget* owner, PlaylistManager& manager);
  QListWidget* list() const { return list_; }
  // The programme guide address used besides the playlists' own.
  QLineEdit* guide_edit() const { return guide_; }
  void RemoveSelected();

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
  QWidget* refresh_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYLISTS_PLAYLIST_DIALOGS_H_
