#ifndef VIDORA_UI_DIALOGS_ABOUT_DIALOG_H_
#define VIDORA_UI_DIALOGS_ABOUT_DIALOG_H_

#include <QString>

#include "ui/dialogs/skinned_dialog.h"

class QLabel;

namespace vidora {

// The application's version as the user sees it.
inline constexpr char16_t kAppVersion[] = u"3.2.0";

// "str_version" with its one "%s" replaced by `version` (the text as it
// stands when it has none).
QString FormatVersionText(const QString& format, const QString& version);

// The about dialog behind "menu_about": the application icon, the title
// and version, the
// publisher's addresses and the copyright line, closed with the title
// strip's OK button. UI thread only.
class AboutDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* owner);

  // The application icon, at its template place (nothing moves it).
  QLabel* icon_label() const { return icon_; }
  QLabel* title_label() const { return title_; }
  QLabel* address_label() const { return address_; }
  QLabel* copyright_label() const { return copyright_; }

 protected:
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* icon_;
  QLabel* title_;
  QLabel* address_;
  QLabel* copyright_;
};

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_ABOUT_DIALOG_H_
