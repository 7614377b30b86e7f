#include "ui/dialogs/language_dialog.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include <algorithm>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "ui/dialogs/control_frame.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/system_language.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

// A desktop dialog of its own size, not the handheld's full screen: the
// first run has no main window to cover.
LanguageDialog::LanguageDialog(QWidget* owner) : SkinnedDialog(owner, Size::kOwn) {
  ApplyDialogFont(this);
  confirmed_ = false;
  notice_ = new QLabel(this);
  notice_->setWordWrap(true);
  notice_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  notice_->setObjectName(QStringLiteral("notice"));
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("language_label"));
  combo_ = new QComboBox(this);
  combo_->setObjectName(QStringLiteral("language"));
  label_->setBuddy(combo_);

  for (int i = 0; i < LanguageCount(); ++i) combo_->addItem(ToQString(LanguageName(i)));
  // A language the user never chose gives way to the system's, when the
  // pack has it.
  const std::u16string chosen = GetSetting(kLanguageSetting);
  int preselected = FindLanguageIndex(chosen);
  const std::u16string system = FromQString(SystemLanguageCode());
  if (chosen == kLanguageSetting.fallback && !system.empty() && FindLanguageIndex(system) >= 0) {
    preselected = FindLanguageIndex(system);
  }
  combo_->setCurrentIndex(preselected);
  connect(combo_, &QComboBox::currentIndexChanged, this, [this] { ApplyTexts(); });

  SoftKeys()->SetLeftKey(QString(), ID_SOFTKEY_LEFT);
  SoftKeys()->SetRightKey(QString(), ID_SOFTKEY_RIGHT);
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
  ApplyTexts();
}

void LanguageDialog::ApplyTexts() {
  if (const int index = combo_->currentIndex(); index >= 0) {
    SelectLanguage(index);
    InstallQtTranslations(ToQString(LanguageCode(index)));
  }
  SetCaptionByKey(this, "str_attention");
  SetCaptionByKey(notice_, "static_attentionx");
  SetCaptionByKey(label_, "static_language");
  // A screen reader names the combo box by its label and reads the notice
  // as what the choice is about.
  combo_->setAccessibleName(AccessibleNameOf(label_->text()));
  combo_->setAccessibleDescription(notice_->text());
  SoftKeys()->SetCaptions(Text("button_continue"), Text("button_cancel"));
  FitToContent();
  update();
}

void LanguageDialog::FitToContent() {
  const int u = BarUnit();
  const int m = u / 8;
  // Wide enough for the language row, and for the notice to read as a few
  // lines rather than a column; never wider than the screen.
  QRect available(0, 0, 1024, 768);
  if (QScreen* screen = QGuiApplication::primaryScreen()) available = screen->availableGeometry();
  const int row = 4 * u + DialogUnitsAcross(76) + 2 * m;
  const int width = std::min(std::max(row, DialogUnitsAcross(220)), available.width());
  const int notice = notice_->heightForWidth(width - 2 * m);
  const int height = std::min(std::max(notice, u) + 2 * (m + u) + SoftKeyBar::BarHeight(), available.height());
  const QPoint centre = placed_ ? geometry().center() : available.center();
  placed_ = true;
  QRect frame(0, 0, width, height);
  frame.moveCenter(centre);
  setGeometry(frame);
}

bool LanguageDialog::HandleCommand(int command) {
  if (command == ID_SOFTKEY_LEFT) {
    if (const int index = combo_->currentIndex(); index >= 0) SetSetting(kLanguageSetting, LanguageCode(index));
    confirmed_ = true;
    done(1);
    return true;
  }
  if (command == ID_SOFTKEY_RIGHT) {
    done(2);
    return true;
  }
  return false;
}

void LanguageDialog::LayoutClient(int width, int height) {
  const int u = BarUnit();
  const int m = u / 8;
  notice_->setGeometry(m, m + u, width - 2 * m, height - 2 * (m + u));
  label_->setGeometry(m, height + m - u, 4 * u, u);
  // The combo box keeps its own size: 76 dialog units
  // across, one line high (never taller than the row it sits in).
  const int combo_width = DialogUnitsAcross(76);
  const int combo_height = std::min(combo_->sizeHint().height(), u);
  combo_->setGeometry(4 * u, height - u, combo_width, combo_height);
}

void LanguageDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
  DrawControlFrame(notice_, painter);
}

}  // namespace vidora
