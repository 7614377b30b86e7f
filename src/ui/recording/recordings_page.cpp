#include "ui/recording/recordings_page.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <system_error>
#include <vector>

#include "core/recording/ts_duration.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

namespace fs = std::filesystem;

constexpr int kPathRole = Qt::UserRole + 1;

QString Length(double seconds) {
  const int total = static_cast<int>(std::lround(seconds));
  return QStringLiteral("%1:%2:%3")
      .arg(total / 3600)
      .arg(total / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(total % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

RecordingsPage::RecordingsPage(QWidget* owner, fs::path folder) : QDialog(owner), folder_(std::move(folder)) {
  setWindowTitle(Text("menu_recordings"));
  resize(640, 400);
  auto* layout = new QVBoxLayout(this);
  auto* where = new QLabel(QString::fromStdString(folder_.string()), this);
  where->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(where);
  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({Text("rec_col_name"), Text("rec_col_size"), Text("rec_col_length")});
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->setAccessibleName(Text("menu_recordings"));
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(this);
  play_ = buttons->addButton(Text("rec_play"), QDialogButtonBox::AcceptRole);
  play_->setToolTip(Text("rec_play_tip"));
  delete_ = buttons->addButton(Text("rec_delete"), QDialogButtonBox::DestructiveRole);
  delete_->setToolTip(Text("rec_delete_tip"));
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  close->setText(Text("rec_close"));
  layout->addWidget(buttons);
  connect(play_, &QPushButton::clicked, this, &RecordingsPage::PlaySelected);
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteSelected(true); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemActivated, this, &RecordingsPage::PlaySelected);
  auto* del = new QShortcut(QKeySequence::Delete, list_);
  connect(del, &QShortcut::activated, this, [this] { DeleteSelected(true); });
  Fill();
}

RecordingsPage::~RecordingsPage() = default;

void RecordingsPage::Fill() {
  struct File {
    fs::path path;
    uintmax_t size;
    fs::file_time_type time;
  };
  std::vector<File> files;
  std::error_code error;
  for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
    if (it->path().extension() != ".ts" || !it->is_regular_file(error)) continue;
    files.push_back({it->path(), it->file_size(error), it->last_write_time(error)});
  }
  std::sort(files.begin(), files.end(), [](const File& a, const File& b) { return a.time > b.time; });
  QLocale locale;
  std::vector<fs::path> paths;
  for (const File& file : files) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, QString::fromStdString(file.path.stem().string()));
    item->setText(1, locale.formattedDataSize(static_cast<qint64>(file.size)));
    item->setText(2, QStringLiteral("…"));
    item->setData(0, kPathRole, QString::fromStdString(file.path.string()));
    paths.push_back(file.path);
  }
  if (!files.empty()) list_->setCurrentItem(list_->topLevelItem(0));
  play_->setEnabled(!files.empty());
  delete_->setEnabled(!files.empty());
  lengths_ = std::move(paths);
  ReadLength(0);
}

void RecordingsPage::ReadLength(std::size_t next) {
  if (next >= lengths_.size()) return;
  jobs_.Run([this, next, path = lengths_[next], cancel = jobs_.cancel()]() -> JobRunner::Result {
    // A page closed meanwhile reads no further.
    if (*cancel) return {};
    // A file without time stamps has no length to show: -1.
    const double seconds = TsFileDurationSeconds(path).value_or(-1);
    return [this, next, name = QString::fromStdString(path.string()), seconds] {
      OnLength(name, seconds);
      ReadLength(next + 1);
    };
  });
}

void RecordingsPage::OnLength(const QString& path, double seconds) {
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list_->topLevelItem(i);
    if (item->data(0, kPathRole).toString() == path) item->setText(2, seconds < 0 ? QStringLiteral("\u2013") : Length(seconds));
  }
}

void RecordingsPage::PlaySelected() {
  QTreeWidgetItem* item = list_->currentItem();
  if (item == nullptr) return;
  chosen_file_ = item->data(0, kPathRole).toString();
  accept();
}

void RecordingsPage::DeleteSelected(bool ask) {
  QTreeWidgetItem* item = list_->currentItem();
  if (item == nullptr) return;
  if (ask && QMessageBox::question(this, Text("menu_recordings"), Text("rec_delete_question").arg(item->text(0))) !=
                 QMessageBox::Yes) {
    return;
  }
  QFile file(item->data(0, kPathRole).toString());
  if (!file.remove()) {
    QMessageBox box(QMessageBox::Warning, Text("menu_recordings"), Text("rec_delete_failed"), QMessageBox::Ok, this);
    box.setToolTip(file.errorString());
    box.setDetailedText(file.errorString());
    box.exec();
    return;
  }
  delete item;
  play_->setEnabled(list_->topLevelItemCount() > 0);
  delete_->setEnabled(list_->topLevelItemCount() > 0);
}

}  // namespace vidora
