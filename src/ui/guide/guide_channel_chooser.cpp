#include "ui/guide/guide_channel_chooser.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPainter>

#include "core/catalogue/channel.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/skinned_dialog.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

class ChooserDialog : public SkinnedDialog {
 public:
  explicit ChooserDialog(QWidget* owner) : SkinnedDialog(owner) {}
  QLineEdit* search = nullptr;
  QListWidget* list = nullptr;
  void Layout() {
    const QRect client = ClientRect();
    LayoutClient(client.width(), client.height());
  }

 protected:
  void LayoutClient(int width, int height) override {
    if (search == nullptr) return;
    const int u = BarUnit(), g = BarGap();
    search->setGeometry(g, u + g, width - 2 * g, u);
    list->setGeometry(g, 2 * u + 2 * g, width - 2 * g, height - 2 * u - 3 * g);
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintTitleStrip(this, painter);
  }
};

}  // namespace

void ChooseGuideChannel(QWidget* owner, PlaylistManager& manager, const Channel& channel) {
  const std::shared_ptr<const GuideStore> store = manager.guide();
  ChooserDialog dialog(owner);
  ApplyDialogFont(&dialog);
  dialog.setWindowTitle(Text("str_choose_guide_channel") + QStringLiteral(" ") + ToQString(channel.name()));
  dialog.search = new QLineEdit(&dialog);
  dialog.search->setAccessibleName(Text("str_guide_search"));
  dialog.search->setPlaceholderText(Text("str_guide_search"));
  dialog.list = new QListWidget(&dialog);
  dialog.list->setAccessibleName(Text("str_choose_guide_channel"));
  dialog.list->addItem(Text("str_guide_automatic"));
  const int32_t current = manager.GuideChannelOf(channel);
  if (store != nullptr) {
    for (size_t i = 0; i < store->channel_count(); ++i) {
      const std::string_view id = store->Text(store->channel(i).id);
      const auto names = store->DisplayNames(i);
      const std::string_view name = names.empty() ? id : store->Text(names[0]);
      auto* item = new QListWidgetItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) +
                                           QStringLiteral("  (") +
                                           QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size())) +
                                           QLatin1Char(')'),
                                       dialog.list);
      item->setData(Qt::UserRole, QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size())));
      if (static_cast<int32_t>(i) == current) dialog.list->setCurrentItem(item);
    }
  }
  if (dialog.list->currentRow() < 0) dialog.list->setCurrentRow(0);
  QObject::connect(dialog.search, &QLineEdit::textChanged, &dialog, [&dialog](const QString& text) {
    for (int row = 1; row < dialog.list->count(); ++row) {
      QListWidgetItem* item = dialog.list->item(row);
      item->setHidden(!text.isEmpty() && !item->text().contains(text, Qt::CaseInsensitive));
    }
  });
  QObject::connect(dialog.list, &QListWidget::itemActivated, &dialog, [&dialog] { dialog.done(QDialog::Accepted); });
  QObject::connect(dialog.search, &QLineEdit::returnPressed, &dialog, [&dialog] {
    for (int row = 1; row < dialog.list->count(); ++row) {
      if (!dialog.list->item(row)->isHidden()) {
        dialog.list->setCurrentRow(row);
        dialog.done(QDialog::Accepted);
        return;
      }
    }
  });
  dialog.Layout();
  dialog.search->setFocus();
  if (dialog.exec() != QDialog::Accepted || dialog.list->currentItem() == nullptr) return;
  manager.ChooseGuideChannel(channel, dialog.list->currentItem()->data(Qt::UserRole).toString().toStdString());
}

}  // namespace vidora
