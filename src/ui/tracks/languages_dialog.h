#ifndef VIDORA_UI_TRACKS_LANGUAGES_DIALOG_H_
#define VIDORA_UI_TRACKS_LANGUAGES_DIALOG_H_

#include "ui/dialogs/skinned_dialog.h"

class QLabel;
class QLineEdit;

namespace vidora {

// "Preferred languages…": the sound and subtitle languages to pick on
// every channel, each a list like "de, en". OK (Enter, the left soft key)
// stores both and ends with 1; Escape ends with 2 and stores nothing. UI
// thread only.
class LanguagesDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  explicit LanguagesDialog(QWidget* owner);

  QLineEdit* audio_edit() const { return audio_; }
  QLineEdit* subtitle_edit() const { return subtitles_; }

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* audio_label_;
  QLabel* subtitle_label_;
  QLabel* hint_;
  QLineEdit* audio_;
  QLineEdit* subtitles_;
};

}  // namespace vidora

#endif  // VIDORA_UI_TRACKS_LANGUAGES_DIALOG_H_
