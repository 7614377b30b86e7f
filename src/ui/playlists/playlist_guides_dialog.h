#ifndef VIDORA_UI_PLAYLISTS_PLAYLIST_GUIDES_DIALOG_H_
#define VIDORA_UI_PLAYLISTS_PLAYLIST_GUIDES_DIALOG_H_

#include <string>
#include <vector>

#include "ui/dialogs/skinned_dialog.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace vidora {

class PlaylistManager;

// "Guide addresses…" of one playlist: the addresses its header names
// (url-tvg, x-tvg-url), marked as the playlist's and kept as they are, then
// those the user added, which Remove (or Delete in the list) takes off; an
// address typed in the field is added by Add (or Enter there). OK (the
// left soft key) keeps the user's addresses for the playlist
// (PlaylistManager::SetUserGuideAddresses: in the settings, across
// restarts and refreshes, the guide read again); Cancel and Escape drop
// the changes. UI thread only.
class PlaylistGuidesDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  PlaylistGuidesDialog(QWidget* owner, PlaylistManager& manager, std::string key);

  QListWidget* list() const { return list_; }
  QLineEdit* edit() const { return edit_; }
  // The user's addresses as edited so far.
  const std::vector<std::u16string>& added() const { return added_; }
  // Adds the typed address (trimmed; nothing when empty or listed).
  void AddTyped();
  // Removes the selected address when it is one the user added.
  void RemoveSelected();

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Fill();

  PlaylistManager& manager_;
  std::string key_;
  std::vector<std::u16string> own_;
  std::vector<std::u16string> added_;
  QListWidget* list_;
  QLineEdit* edit_;
  QWidget* edit_label_;
  QPushButton* add_;
  QPushButton* remove_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYLISTS_PLAYLIST_GUIDES_DIALOG_H_
