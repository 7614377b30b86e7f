#ifndef VIDORA_UI_DIALOGS_LANGUAGE_DIALOG_H_
#define VIDORA_UI_DIALOGS_LANGUAGE_DIALOG_H_

#include "ui/dialogs/skinned_dialog.h"

class QComboBox;
class QLabel;

namespace vidora {

// The first-run dialog: a notice and the choice of the interface language.
// Choosing a language makes it current at once and re-labels the dialog;
// only the left soft key ("button_continue") stores it as the Language
// setting and confirms. The caller reads confirmed() after exec(), not the
// result. A desktop dialog sized to its notice, language row and soft keys
// and centred on the screen. UI thread only.
class LanguageDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  explicit LanguageDialog(QWidget* owner);

  bool confirmed() const { return confirmed_; }
  QComboBox* combo() const { return combo_; }
  QLabel* notice() const { return notice_; }
  QLabel* label() const { return label_; }

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void ApplyTexts();
  // Sizes the dialog to the notice, the language row and the soft keys in
  // the texts of the moment, centred on the screen at first, then on
  // where it is.
  void FitToContent();

  QLabel* notice_;
  QLabel* label_;
  QComboBox* combo_;
  bool confirmed_ = false;
  bool placed_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_LANGUAGE_DIALOG_H_
