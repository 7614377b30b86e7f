#include "ui/parental/parental_dialog.h"

#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <set>

#include "core/catalogue/category.h"
#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/parental/parental_rules.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/parental/parental_lock.h"
#include "ui/parental/pin_prompt.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

constexpr int kLockKeyRole = Qt::UserRole;

void AddLockItem(QListWidget* list, const QString& text, const std::u16string& lock_key, bool locked) {
  auto* item = new QListWidgetItem(text, list);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(locked ? Qt::Checked : Qt::Unchecked);
  item->setData(kLockKeyRole, QString::fromStdU16String(lock_key));
}

}  // namespace

ParentalDialog::ParentalDialog(QWidget* owner, ParentalLock& lock, const ChannelCatalogue* catalogue)
    : SkinnedDialog(owner), lock_(lock) {
  ApplyDialogFont(this);
  setWindowTitle(Text("parental_lock"));
  setAccessibleName(Text("parental_lock"));
  state_ = new QLabel(this);
  state_->setWordWrap(true);
  note_ = new QLabel(Text("parental_note"), this);
  note_->setWordWrap(true);
  pin_ = new QPushButton(this);
  pin_->setAutoDefault(false);
  remove_ = new QPushButton(Text("parental_remove_pin") + QStringLiteral("\u2026"), this);
  remove_->setAccessibleName(Text("parental_remove_pin"));
  remove_->setAutoDefault(false);
  list_ = new QListWidget(this);
  list_->setAccessibleName(Text("parental_locked_list"));
  list_->setAccessibleDescription(Text("parental_note"));
  connect(pin_, &QPushButton::clicked, this, &ParentalDialog::SetOrChangePin);
  connect(remove_, &QPushButton::clicked, this, &ParentalDialog::RemovePin);
  auto* pin_key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
  connect(pin_key, &QShortcut::activated, this, &ParentalDialog::SetOrChangePin);

  ask_old_ = [this] {
    PinPrompt prompt(this, lock_, Text("parental_enter_old_pin"));
    return prompt.exec() == 1 ? prompt.pin() : QString();
  };
  ask_new_ = [this] {
    NewPinDialog dialog(this);
    return dialog.exec() == 1 ? dialog.pin() : QString();
  };

  Fill(catalogue);
  ShowPinState();
  SoftKeys()->SetLeftKey(Text("button_ok"), ID_SOFTKEY_LEFT);
  SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

void ParentalDialog::Fill(const ChannelCatalogue* catalogue) {
  const ParentalRules& rules = lock_.rules();
  for (const char* key : kFixedCategoryKeys) {
    const Category* category = catalogue != nullptr ? catalogue->FindCategory(key) : nullptr;
    const QString name = category != nullptr ? QString::fromStdU16String(category->display_name())
                                             : Text(std::string("cat_") + key);
    const std::u16string lock_key = CategoryLockKey(key);
    AddLockItem(list_, name, lock_key, rules.Has(lock_key));
  }
  if (catalogue == nullptr) return;
  std::set<std::u16string> groups;
  for (const Channel* channel : catalogue->AllChannels()) {
    std::u16string group = lock_.ChannelGroup(*channel);
    if (!group.empty()) groups.insert(std::move(group));
  }
  // A group locked before whose playlist is gone stays listed, so that
  // it stays locked when the playlist comes back.
  for (const std::u16string& key : rules.keys()) {
    if (key.starts_with(u"g:")) groups.insert(key.substr(2));
  }
  for (const std::u16string& group : groups) {
    const std::u16string lock_key = GroupLockKey(group);
    AddLockItem(list_, Text("parental_group").arg(QString::fromStdU16String(group)), lock_key, rules.Has(lock_key));
  }
}

void ParentalDialog::ShowPinState() {
  const bool has_pin = lock_.HasPin();
  state_->setText(Text(has_pin ? "parental_pin_set" : "parental_no_pin"));
  const QString pin_text = Text(has_pin ? "parental_change_pin" : "parental_set_pin");
  pin_->setText(pin_text + QStringLiteral("\u2026"));
  pin_->setAccessibleName(pin_text);
  pin_->setToolTip(pin_text + QStringLiteral(" (Ctrl+P)"));
  remove_->setEnabled(has_pin);
  list_->setEnabled(has_pin);
}

void ParentalDialog::SetOrChangePin() {
  if (!lock_.HasPin()) {
    const QString pin = ask_new_ ? ask_new_() : QString();
    if (!pin.isEmpty()) lock_.SetPin(pin);
  } else {
    const QString old_pin = ask_old_ ? ask_old_() : QString();
    if (old_pin.isEmpty()) return;
    const QString pin = ask_new_ ? ask_new_() : QString();
    if (!pin.isEmpty() && !lock_.ChangePin(old_pin, pin)) {
      ShowPinState();
      state_->setText(Text("parental_wrong_pin"));
      return;
    }
  }
  ShowPinState();
}

void ParentalDialog::RemovePin() {
  if (!lock_.HasPin()) return;
  const QString old_pin = ask_old_ ? ask_old_() : QString();
  if (old_pin.isEmpty()) return;
  const bool removed = lock_.RemovePin(old_pin);
  ShowPinState();
  if (!removed) state_->setText(Text("parental_wrong_pin"));
}

bool ParentalDialog::HandleCommand(int command) {
  if (command != ID_SOFTKEY_LEFT) return false;  // the frame ends the dialog without storing
  ParentalRules rules;
  for (int row = 0; row < list_->count(); ++row) {
    const QListWidgetItem* item = list_->item(row);
    rules.Set(item->data(kLockKeyRole).toString().toStdU16String(), item->checkState() == Qt::Checked);
  }
  lock_.SetRules(std::move(rules));
  done(1);
  return true;
}

void ParentalDialog::LayoutClient(int width, int height) {
  const int u = BarUnit();
  const int g = BarGap();
  const int inner = width - 2 * g;
  int y = u + g;
  state_->setGeometry(g, y, inner, u);
  y += u + g;
  pin_->setGeometry(g, y, (inner - g) / 2, u);
  remove_->setGeometry(g + (inner + g) / 2, y, (inner - g) / 2, u);
  y += u + g;
  note_->setGeometry(g, y, inner, 3 * u);
  y += 3 * u + g;
  list_->setGeometry(g, y, inner, std::max(u, height - y - g));
}

void ParentalDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

void OpenParentalDialog(QWidget* owner) {
  ParentalLock* lock = ParentalLock::Current();
  if (lock == nullptr) return;
  if (lock->HasPin()) {
    PinPrompt prompt(owner, *lock, Text("parental_enter_pin_settings"));
    if (prompt.exec() != 1) return;
  }
  ParentalDialog dialog(owner, *lock, Catalogue());
  dialog.exec();
}

}  // namespace vidora
