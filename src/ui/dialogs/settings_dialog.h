#ifndef VIDORA_UI_DIALOGS_SETTINGS_DIALOG_H_
#define VIDORA_UI_DIALOGS_SETTINGS_DIALOG_H_

#include <functional>

#include "ui/dialogs/skinned_dialog.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QLabel;

namespace vidora {

// How full screen treats the display on this device, as the caller found
// out: never turned (an ordinary desktop), turned when LandscapeFS says so
// (a panel made to be turned, without a motion sensor), or following the
// motion sensor (LandscapeFS is not read).
enum class FullScreenTurn { kNever, kBySetting, kBySensor };

// The settings dialog: the interface language and the options AutoU,
// AutoCU, HideAD and LandscapeFS (its box shown only where full screen
// turns the display by that setting, FullScreenTurn::kBySetting), a
// button that opens the user's playlists and one that opens the parental
// lock. Reads the settings when it opens and stores them only
// through the left soft key ("button_ok", result 1); the right soft key and the
// title strip's OK button store nothing. Every change of the language
// shows "msg_lang_restart". UI thread only.
class SettingsDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  // Opens the list of the user's playlists over the dialog; empty when
  // there is nothing to manage (the button is then disabled).
  using PlaylistsAction = std::function<void(QWidget* owner)>;

  // Opens the parental lock's settings over the dialog; empty: the button
  // is disabled. What it changes is its own to store.
  using ParentalAction = std::function<void(QWidget* owner)>;

  SettingsDialog(QWidget* owner, FullScreenTurn turn, PlaylistsAction manage_playlists = {},
                 ParentalAction parental_lock = {});

  QComboBox* combo() const { return combo_; }
  // The dialog's check boxes.
  enum class Box { kAutoUpdate, kAutoCatalogueUpdate, kHideAdult, kLandscape };
  QCheckBox* check(Box box) const;

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // The restart notice in the language of combo entry `index`.
  void ShowRestartNotice(int index);
  void Store();

  QLabel* label_;
  QComboBox* combo_;
  QCheckBox* auto_update_;
  QCheckBox* auto_catalogue_update_;
  QCheckBox* hide_ad_;
  QCheckBox* landscape_;
  // Opens the list of the user's playlists (Remove).
  QPushButton* playlists_;
  // Opens the parental lock (PIN, locked categories and groups).
  QPushButton* parental_;
};

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_SETTINGS_DIALOG_H_
