#include "ui/playlists/playlist_guides_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

// Rows of the user's addresses carry their place in added_.
constexpr int kAddedIndex = Qt::UserRole;

}  // namespace

PlaylistGuidesDialog::PlaylistGuidesDialog(QWidget* owner, PlaylistManager& manager, std::string key)
    : SkinnedDialog(owner), manager_(manager), key_(std::move(key)),
      own_(manager.PlaylistGuideAddressesOf(key_)), added_(manager.UserGuideAddressesOf(key_)) {
  ApplyDialogFont(this);
  QString name;
  for (const StoredPlaylist& playlist : manager_.playlists()) {
    if (playlist.key == key_) name = ToQString(playlist.name);
  }
  setWindowTitle(Text("str_playlist_guides_of").arg(name));
  list_ = new QListWidget(this);
  list_->setAccessibleName(Text("str_playlist_guides"));
  edit_label_ = new QLabel(Text("str_new_guide_address"), this);
  edit_ = new QLineEdit(this);
  edit_->setPlaceholderText(QStringLiteral("https://… .xml.gz"));
  static_cast<QLabel*>(edit_label_)->setBuddy(edit_);
  edit_->setAccessibleName(AccessibleNameOf(Text("str_new_guide_address")));
  edit_->installEventFilter(this);
  add_ = new QPushButton(Text("str_add_guide_address"), this);
  add_->setToolTip(Text("str_add_guide_address") + QStringLiteral(" (Enter)"));
  remove_ = new QPushButton(Text("str_remove"), this);
  remove_->setToolTip(Text("str_remove") + QStringLiteral(" (Delete)"));
  connect(add_, &QPushButton::clicked, this, &PlaylistGuidesDialog::AddTyped);
  connect(remove_, &QPushButton::clicked, this, &PlaylistGuidesDialog::RemoveSelected);
  auto* remove_key = new QShortcut(QKeySequence::Delete, list_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(remove_key, &QShortcut::activated, this, &PlaylistGuidesDialog::RemoveSelected);
  connect(list_, &QListWidget::currentRowChanged, this, [this] {
    const QListWidgetItem* item = list_->currentItem();
    remove_->setEnabled(item != nullptr && item->data(kAddedIndex).isValid());
  });
  setTabOrder(list_, edit_);
  setTabOrder(edit_, add_);
  setTabOrder(add_, remove_);
  SoftKeys()->SetLeftKey(Text("button_ok"), ID_SOFTKEY_LEFT);
  SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  Fill();
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
  edit_->setFocus(Qt::OtherFocusReason);
}

void PlaylistGuidesDialog::Fill() {
  const int row = list_->currentRow();
  list_->clear();
  for (const std::u16string& address : own_) {
    auto* item = new QListWidgetItem(Text("str_guide_from_playlist").arg(ToQString(address)), list_);
    item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
  }
  for (size_t i = 0; i < added_.size(); ++i) {
    auto* item = new QListWidgetItem(ToQString(added_[i]), list_);
    item->setData(kAddedIndex, static_cast<int>(i));
  }
  if (list_->count() > 0) list_->setCurrentRow(std::clamp(row, 0, list_->count() - 1));
  const QListWidgetItem* current = list_->currentItem();
  remove_->setEnabled(current != nullptr && current->data(kAddedIndex).isValid());
}

void PlaylistGuidesDialog::AddTyped() {
  const std::u16string address = edit_->text().trimmed().toStdU16String();
  if (address.empty()) return;
  edit_->clear();
  if (std::find(added_.begin(), added_.end(), address) != added_.end() ||
      std::find(own_.begin(), own_.end(), address) != own_.end()) {
    return;
  }
  added_.push_back(address);
  Fill();
  list_->setCurrentRow(list_->count() - 1);
}

void PlaylistGuidesDialog::RemoveSelected() {
  const QListWidgetItem* item = list_->currentItem();
  if (item == nullptr || !item->data(kAddedIndex).isValid()) return;
  added_.erase(added_.begin() + item->data(kAddedIndex).toInt());
  Fill();
}

bool PlaylistGuidesDialog::HandleCommand(int command) {
  if (command == ID_SOFTKEY_LEFT) {
    // What was typed and not yet added counts too: OK means "keep this".
    AddTyped();
    manager_.SetUserGuideAddresses(key_, added_);
    done(1);
    return true;
  }
  // The title strip's close control keeps nothing, as it says.
  if (command == kDoneCommand) {
    done(2);
    return true;
  }
  return false;
}

bool PlaylistGuidesDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !edit_->text().trimmed().isEmpty()) {
      AddTyped();
      return true;
    }
  }
  return SkinnedDialog::eventFilter(watched, event);
}

void PlaylistGuidesDialog::LayoutClient(int width, int height) {
  const int u = BarUnit();
  const int g = BarGap();
  list_->setGeometry(g, u + g, width - 2 * g, std::max(0, height - 5 * u - 3 * g));
  edit_label_->setGeometry(g, height - 4 * u, width - 2 * g, u);
  edit_->setGeometry(g, height - 3 * u, width - 2 * g, u);
  const int half = (width - 3 * g) / 2;
  add_->setGeometry(g, height - 2 * u + g, half, u);
  remove_->setGeometry(2 * g + half, height - 2 * u + g, half, u);
}

void PlaylistGuidesDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

}  // namespace vidora
