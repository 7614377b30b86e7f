#ifndef VIDORA_UI_DIALOGS_SETTINGS_DIALOG_H_
#define VIDORA_UI_DIALOGS_SETTINGS_DIALOG_H_

#include "ui/dialogs/skinned_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace vidora {

// The settings dialog: the interface language and the options AutoU,
// AutoCU, HideAD and LandscapeFS (its box shown only when the device has
// no motion sensor, as the caller says). Reads the settings when it opens and stores them only through
// the left soft key ("button_ok", result 1); the right soft key and the
// title strip's OK button store nothing. Every change of the language
// shows "msg_lang_restart". UI thread only.
class SettingsDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  static constexpr int kLanguageLabelId = 1010;
  static constexpr int kLanguageComboId = 1009;
  static constexpr int kAutoUpdateId = 1019;
  static constexpr int kAutoCatalogueUpdateId = 1018;
  static constexpr int kHideAdId = 1020;
  static constexpr int kLandscapeId = 1021;

  SettingsDialog(QWidget* owner, bool has_motion_sensor);

  QComboBox* combo() const { return combo_; }
  QCheckBox* check(int id) const;

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Store();

  QLabel* label_;
  QComboBox* combo_;
  QCheckBox* auto_update_;
  QCheckBox* auto_catalogue_update_;
  QCheckBox* hide_ad_;
  QCheckBox* landscape_;
};

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_SETTINGS_DIALOG_H_
