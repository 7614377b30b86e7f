#include "ui/playlists/playlist_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

#include "core/stores/settings_store.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/playlists/playlist_guides_dialog.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

PlaylistDescriber g_describer = nullptr;

}  // namespace

void SetPlaylistDescriber(PlaylistDescriber describer) { g_describer = describer; }

AddPlaylistDialog::AddPlaylistDialog(QWidget* owner) : SkinnedDialog(owner) {
  ApplyDialogFont(this);
  setWindowTitle(Text("menu_add_playlist"));
  auto* label = new QLabel(Text("str_playlist_source"), this);
  label->setObjectName(QStringLiteral("label"));
  edit_ = new QLineEdit(this);
  edit_->setPlaceholderText(QStringLiteral("https://… .m3u"));
  label->setBuddy(edit_);
  edit_->setAccessibleName(AccessibleNameOf(label->text()));
  auto* browse = new QPushButton(Text("str_choose_file"), this);
  browse_ = browse;
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString file = QFileDialog::getOpenFileName(this, Text("menu_add_playlist"), QString(),
                                                      QStringLiteral("M3U (*.m3u *.m3u8);;* (*)"));
    if (!file.isEmpty()) edit_->setText(file);
  });
  SoftKeys()->SetLeftKey(Text("button_ok"), ID_SOFTKEY_LEFT);
  SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

QString AddPlaylistDialog::source() const { return edit_->text().trimmed(); }

bool AddPlaylistDialog::HandleCommand(int command) {
  // The title strip's close control adds nothing, as it says.
  if (command != kDoneCommand) return false;
  done(2);
  return true;
}

void AddPlaylistDialog::LayoutClient(int width, int) {
  const int u = BarUnit();
  const int g = BarGap();
  if (auto* label = findChild<QLabel*>(QStringLiteral("label"))) label->setGeometry(g, u + g, width - 2 * g, u);
  edit_->setGeometry(g, 2 * u + g, width - 2 * g, u);
  browse_->setGeometry(g, 3 * u + 2 * g, width / 2, u);
}

void AddPlaylistDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

PlaylistsDialog::PlaylistsDialog(QWidget* owner, PlaylistManager& manager) : SkinnedDialog(owner), manager_(manager) {
  ApplyDialogFont(this);
  setWindowTitle(Text("str_playlists"));
  list_ = new QListWidget(this);
  auto* remove = new QPushButton(Text("str_remove"), this);
  auto* rename = new QPushButton(Text("str_rename"), this);
  auto* refresh = new QPushButton(Text("menu_refresh_playlists"), this);
  auto* guides = new QPushButton(Text("str_playlist_guides"), this);
  remove_ = remove;
  rename_ = rename;
  refresh_ = refresh;
  guides_ = guides;
  guides->setToolTip(Text("str_playlist_guides") + QStringLiteral(" (Ctrl+G)"));
  rename->setToolTip(Text("str_rename") + QStringLiteral(" (Ctrl+E)"));
  remove->setToolTip(Text("str_remove") + QStringLiteral(" (Delete)"));
  guide_label_ = new QLabel(Text("str_guide_address"), this);
  guide_ = new QLineEdit(ToQString(FindSetting(kGuideAddressSetting).value_or(u"")), this);
  connect(guide_, &QLineEdit::editingFinished, this, [this] {
    const std::u16string text = guide_->text().trimmed().toStdU16String();
    if (FindSetting(kGuideAddressSetting).value_or(u"") == text) return;
    SetSetting(kGuideAddressSetting, text);
    manager_.ReloadGuide();
  });
  auto* guide_label = static_cast<QLabel*>(guide_label_);
  guide_label->setBuddy(guide_);
  guide_->setAccessibleName(AccessibleNameOf(guide_label->text()));
  list_->setAccessibleName(Text("str_playlists"));
  // Tab walks the controls top to bottom: the list, the guide address
  // under it, then the buttons.
  setTabOrder(list_, guide_);
  setTabOrder(guide_, rename);
  setTabOrder(rename, remove);
  setTabOrder(remove, guides);
  setTabOrder(guides, refresh);
  auto* guides_key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), list_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(guides_key, &QShortcut::activated, this, &PlaylistsDialog::EditSelectedGuides);
  connect(guides, &QPushButton::clicked, this, &PlaylistsDialog::EditSelectedGuides);
  auto* rename_key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), list_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(rename_key, &QShortcut::activated, this, &PlaylistsDialog::RenameSelected);
  connect(rename, &QPushButton::clicked, this, &PlaylistsDialog::RenameSelected);
  // Delete in the list is Remove.
  auto* remove_key = new QShortcut(QKeySequence::Delete, list_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(remove_key, &QShortcut::activated, this, &PlaylistsDialog::RemoveSelected);
  connect(remove, &QPushButton::clicked, this, &PlaylistsDialog::RemoveSelected);
  connect(refresh, &QPushButton::clicked, &manager_, &PlaylistManager::RefreshPlaylists);
  connect(&manager_, &PlaylistManager::PlaylistsChanged, this, &PlaylistsDialog::Fill);
  connect(&manager_, &PlaylistManager::GuideMatched, this, &PlaylistsDialog::Fill);
  Fill();
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

void PlaylistsDialog::Fill() {
  const int row = list_->currentRow();
  list_->clear();
  for (const StoredPlaylist& playlist : manager_.playlists()) {
    if (std::find(removed_.begin(), removed_.end(), playlist.key) != removed_.end()) continue;
    QString second = g_describer != nullptr ? g_describer(playlist) : QString();
    if (second.isEmpty()) second = ToQString(playlist.source);
    // The third line: how many of its channels the guide covers.
    const QString matched = Text("str_guide_matched")
                                .arg(manager_.GuideMatchCount(playlist.key))
                                .arg(manager_.PlaylistChannelCount(playlist.key));
    auto* item = new QListWidgetItem(ToQString(playlist.name) + QStringLiteral("\n") + second + QStringLiteral("\n") + matched,
                                     list_);
    item->setData(Qt::UserRole, QString::fromStdString(playlist.key));
  }
  if (row >= 0 && row < list_->count()) list_->setCurrentRow(row);
}

void PlaylistsDialog::RemoveSelected() {
  QListWidgetItem* item = list_->currentItem();
  if (item == nullptr) return;
  const bool yes = confirm_ ? confirm_() : ShowMessageByKey(this, "msg_remove_playlist", MessageButtons::kYesNo) == MessageAnswer::kYes;
  if (!yes) return;
  removed_.push_back(item->data(Qt::UserRole).toString().toStdString());
  delete item;
}

void PlaylistsDialog::EditSelectedGuides() {
  QListWidgetItem* item = list_->currentItem();
  if (item == nullptr) return;
  PlaylistGuidesDialog dialog(this, manager_, item->data(Qt::UserRole).toString().toStdString());
  if (run_guides_) run_guides_(dialog);
  else dialog.exec();
}

void PlaylistsDialog::RenameSelected() {
  QListWidgetItem* item = list_->currentItem();
  if (item == nullptr) return;
  const std::string key = item->data(Qt::UserRole).toString().toStdString();
  const StoredPlaylist* playlist = nullptr;
  for (const StoredPlaylist& p : manager_.playlists()) {
    if (p.key == key) playlist = &p;
  }
  if (playlist == nullptr) return;
  const QString shown = ToQString(playlist->name);
  QString name;
  if (ask_) {
    name = ask_(shown);
  } else {
    bool ok = false;
    name = QInputDialog::getText(this, Text("str_rename"), Text("str_playlist_name"), QLineEdit::Normal, shown, &ok);
    if (!ok) return;
  }
  name = name.trimmed();
  if (!name.isEmpty() && name != shown) manager_.RenamePlaylist(key, name);
}

void PlaylistsDialog::LayoutClient(int width, int height) {
  const int u = BarUnit();
  const int g = BarGap();
  list_->setGeometry(g, u + g, width - 2 * g, std::max(0, height - 5 * u - 3 * g));
  guide_label_->setGeometry(g, height - 4 * u, width - 2 * g, u);
  guide_->setGeometry(g, height - 3 * u, width - 2 * g, u);
  const int quarter = (width - 5 * g) / 4;
  rename_->setGeometry(g, height - 2 * u + g, quarter, u);
  remove_->setGeometry(2 * g + quarter, height - 2 * u + g, quarter, u);
  guides_->setGeometry(3 * g + 2 * quarter, height - 2 * u + g, quarter, u);
  refresh_->setGeometry(4 * g + 3 * quarter, height - 2 * u + g, quarter, u);
}

void PlaylistsDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

}  // namespace vidora
