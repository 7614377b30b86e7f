#include "ui/dialogs/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

QCheckBox* MakeCheck(QWidget* dialog, const char* key, const char* name, bool checked) {
  auto* box = new QCheckBox(QString::fromLatin1(key), dialog);
  box->setObjectName(QLatin1String(name));
  box->setChecked(checked);
  return box;
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* owner, FullScreenTurn turn, PlaylistsAction manage_playlists,
                               ParentalAction parental_lock)
    : SkinnedDialog(owner) {
  ApplyDialogFont(this);
  // The captions start as keys and are translated as a whole, so that a
  // key without a text stays visible as the key.
  setWindowTitle(QStringLiteral("menu_settings"));
  label_ = new QLabel(QStringLiteral("static_language"), this);
  label_->setObjectName(QStringLiteral("language_label"));
  combo_ = new QComboBox(this);
  combo_->setObjectName(QStringLiteral("language"));
  auto_update_ = MakeCheck(this, "check_update", "auto_update", GetSetting(kAutoUpdateSetting));
  auto_catalogue_update_ =
      MakeCheck(this, "check_cupdate", "auto_catalogue_update", GetSetting(kAutoCatalogueUpdateSetting));
  hide_ad_ = MakeCheck(this, "check_hide_ad", "hide_adult", GetSetting(kHideAdultSetting));
  landscape_ = MakeCheck(this, "check_landscape_fs", "landscape_full_screen", GetSetting(kLandscapeFullScreenSetting));
  // A box that changes nothing on this device is not offered.
  landscape_->setVisible(turn == FullScreenTurn::kBySetting);
  // Built without the publisher's update checks: nothing to switch.
  auto_update_->setVisible(VIDORA_UPDATE_CHECKS);
  auto_catalogue_update_->setVisible(VIDORA_UPDATE_CHECKS);
  TranslateWindowTree(this);
  playlists_ = new QPushButton(Text("str_playlists") + QStringLiteral("\u2026"), this);
  playlists_->setObjectName(QStringLiteral("playlists"));
  playlists_->setEnabled(static_cast<bool>(manage_playlists));
  // Enter is the OK soft key's (SkinnedDialog): no button of the dialog is
  // its default, so that a screen reader does not announce one.
  playlists_->setAutoDefault(false);
  connect(playlists_, &QPushButton::clicked, this, [this, manage_playlists = std::move(manage_playlists)] {
    if (manage_playlists) manage_playlists(this);
  });
  parental_ = new QPushButton(Text("parental_lock") + QStringLiteral("\u2026"), this);
  parental_->setObjectName(QStringLiteral("parental_lock"));
  parental_->setEnabled(static_cast<bool>(parental_lock));
  parental_->setAutoDefault(false);
  connect(parental_, &QPushButton::clicked, this, [this, parental_lock = std::move(parental_lock)] {
    if (parental_lock) parental_lock(this);
  });

  // The label names the combo box for a screen reader; the restart
  // notice tells what choosing in it means.
  label_->setBuddy(combo_);
  combo_->setAccessibleName(AccessibleNameOf(label_->text()));
  combo_->setAccessibleDescription(Text("msg_lang_restart"));
  playlists_->setAccessibleName(Text("str_playlists"));
  parental_->setAccessibleName(Text("parental_lock"));

  for (int i = 0; i < LanguageCount(); ++i) combo_->addItem(ToQString(LanguageName(i)));
  combo_->setCurrentIndex(FindLanguageIndex(GetSetting(kLanguageSetting)));
  connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowRestartNotice(index); });

  SoftKeys()->SetLeftKey(Text("button_ok"), ID_SOFTKEY_LEFT);
  SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

void SettingsDialog::ShowRestartNotice(int index) {
  // Said in the language just chosen: the user who picks a language may
  // not read the one still on screen.
  const int current = Languages().CurrentIndex();
  if (index >= 0) Languages().Select(index);
  QString text = Text("msg_lang_restart");
  QString caption = ToQString(AppTitle());
  Languages().Select(current);
  // A language without these texts leaves them in the one on screen.
  if (text.isEmpty()) text = Text("msg_lang_restart");
  if (caption.isEmpty()) caption = ToQString(AppTitle());
  ShowPlainMessageBox(this, text, caption);
}

QCheckBox* SettingsDialog::check(Box box) const {
  switch (box) {
    case Box::kAutoUpdate:
      return auto_update_;
    case Box::kAutoCatalogueUpdate:
      return auto_catalogue_update_;
    case Box::kHideAdult:
      return hide_ad_;
    case Box::kLandscape:
      return landscape_;
  }
  return nullptr;
}

bool SettingsDialog::HandleCommand(int command) {
  if (command != ID_SOFTKEY_LEFT) return false;  // the frame ends the dialog without storing
  Store();
  done(1);
  return true;
}

void SettingsDialog::Store() {
  if (const int index = combo_->currentIndex(); index >= 0) SetSetting(kLanguageSetting, LanguageCode(index));
  SetSetting(kAutoCatalogueUpdateSetting, auto_catalogue_update_->isChecked());
  SetSetting(kAutoUpdateSetting, auto_update_->isChecked());
  SetSetting(kHideAdultSetting, hide_ad_->isChecked());
  // Stored also while hidden, with the value read at opening.
  SetSetting(kLandscapeFullScreenSetting, landscape_->isChecked());
}

void SettingsDialog::LayoutClient(int width, int) {
  // The controls keep their places in dialog units; the check boxes run
  // to the right edge.
  auto x = DialogUnitsAcross;
  auto y = DialogUnitsDown;
  const int left = x(7);
  const int row = y(21);
  label_->setGeometry(left, y(15), x(112), y(9));
  combo_->setGeometry(left, y(24), x(112), y(13));
  const int check_width = std::max(0, width - 2 * left);
  // A box not offered on this device or build leaves no gap: the ones
  // below move up.
  int top = 37;
  for (QCheckBox* check : {auto_update_, auto_catalogue_update_, hide_ad_, landscape_}) {
    if (check->isHidden()) continue;
    check->setGeometry(left, y(top), check_width, row);
    top += 19;
  }
  playlists_->setGeometry(left, y(top + 5), x(112), y(14));
  parental_->setGeometry(left, y(top + 23), x(112), y(14));
}

void SettingsDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

}  // namespace vidora
