#include "ui/tracks/languages_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "core/stores/settings_store.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/field_rows.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/texts/ui_texts.h"
#include "ui/tracks/track_settings.h"

namespace vidora {
namespace {

QLineEdit* AddField(QWidget* parent, QLabel*& label, const char* key, const TextSettingKey& setting) {
  QLineEdit* edit = AddFieldRow(parent, label, Text(key));
  edit->setText(ToQString(GetSetting(setting)));
  edit->setPlaceholderText(QStringLiteral("de, en"));
  return edit;
}

}  // namespace

LanguagesDialog::LanguagesDialog(QWidget* owner) : SkinnedDialog(owner) {
  ApplyDialogFont(this);
  setWindowTitle(Text("menu_languages"));
  audio_ = AddField(this, audio_label_, "lang_audio", kAudioLanguagesSetting);
  subtitles_ = AddField(this, subtitle_label_, "lang_subtitles", kSubtitleLanguagesSetting);
  hint_ = new QLabel(Text("lang_hint"), this);
  hint_->setWordWrap(true);
  setTabOrder(audio_, subtitles_);
  SoftKeys()->SetLeftKey(Text("button_ok"), ID_SOFTKEY_LEFT);
  SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  audio_->setFocus();
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

bool LanguagesDialog::HandleCommand(int command) {
  if (command != kDoneCommand && command != ID_SOFTKEY_LEFT) return false;
  SetSetting(kAudioLanguagesSetting, FromQString(audio_->text().trimmed()));
  SetSetting(kSubtitleLanguagesSetting, FromQString(subtitles_->text().trimmed()));
  done(1);
  return true;
}

void LanguagesDialog::LayoutClient(int width, int) {
  const int y = PlaceFieldRows({{audio_label_, audio_}, {subtitle_label_, subtitles_}}, width);
  hint_->setGeometry(BarGap(), y, width - 2 * BarGap(), 3 * BarUnit());
}

void LanguagesDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

}  // namespace vidora
