#include "ui/dialogs/language_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>

#include <algorithm>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "ui/dialogs/control_frame.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/stores/resource_pack.h"
#include "ui/stores/system_language.h"
#include "ui/stores/ui_texts.h"

namespace vidora {

LanguageDialog::LanguageDialog(QWidget* owner) : SkinnedDialog(owner) {
  ApplyDialogFont(this);
  confirmed_ = false;
  notice_ = new QLabel(this);
  notice_->setWordWrap(true);
  notice_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SetControlId(notice_, kNoticeId);
  label_ = new QLabel(this);
  SetControlId(label_, kLabelId);
  combo_ = new QComboBox(this);
  SetControlId(combo_, kComboId);
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
  SetWindowTextByKey(this, "str_attention");
  SetDlgItemTextByKey(this, kNoticeId, "static_attentionx");
  SetDlgItemTextByKey(this, kLabelId, "static_language");
  // A screen reader names the combo box by its label and reads the notice
  // as what the choice is about.
  combo_->setAccessibleName(AccessibleNameOf(label_->text()));
  combo_->setAccessibleDescription(notice_->text());
  SoftKeys()->SetCaptions(Text("button_continue"), Text("button_cancel"));
  update();
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
