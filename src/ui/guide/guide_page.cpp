#include "ui/guide/guide_page.h"

#include <QDateTime>
#include <QKeyEvent>

#include "core/catalogue/channel.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

QString GuideClock(int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("HH:mm"));
}

std::vector<ProgrammeRecord> ProgrammesOfToday(const ChannelProgrammes& programmes, int64_t now) {
  const QDate today = QDateTime::fromSecsSinceEpoch(now).date();
  const int64_t from = today.startOfDay().toSecsSinceEpoch();
  const int64_t to = today.addDays(1).startOfDay().toSecsSinceEpoch();
  std::vector<ProgrammeRecord> result;
  for (size_t i = programmes.FirstEndingAfter(from); i < programmes.size(); ++i) {
    const ProgrammeRecord programme = programmes[i];
    if (programme.start >= to) break;
    result.push_back(programme);
  }
  return result;
}

GuidePage::GuidePage(QWidget* parent) : QListWidget(parent) {
  ApplyDialogFont(this);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setFrameShape(QFrame::NoFrame);
  // The rows look like the channel rows beside them: dark text on white,
  // the chosen one light grey.
  QPalette colours = palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    colours.setColor(group, QPalette::Base, Qt::white);
    colours.setColor(group, QPalette::Text, Qt::black);
    colours.setColor(group, QPalette::Highlight, QColor(192, 192, 192));
    colours.setColor(group, QPalette::HighlightedText, Qt::black);
  }
  setPalette(colours);
}

void GuidePage::Show(const PlaylistManager& manager, const Channel& channel) {
  channel_ = &channel;
  Refresh(manager);
  if (running_row_ >= 0) scrollToItem(item(running_row_), QAbstractItemView::PositionAtTop);
}

void GuidePage::Refresh(const PlaylistManager& manager) {
  if (channel_ == nullptr) return;
  const int64_t now = manager.Now();
  const std::vector<ProgrammeRecord> programmes = ProgrammesOfToday(manager.GuideProgrammes(*channel_), now);
  clear();
  running_row_ = -1;
  for (const ProgrammeRecord& programme : programmes) {
    const bool running = programme.start <= now && now < programme.stop;
    auto* row = new QListWidgetItem(
        (running ? QStringLiteral("\u25B6 ") : QStringLiteral("    ")) + GuideClock(programme.start) +
            QStringLiteral("  ") + manager.GuideText(programme.title),
        this);
    if (running) {
      QFont bold = row->font();
      bold.setBold(true);
      row->setFont(bold);
      running_row_ = count() - 1;
    }
  }
  if (programmes.empty()) {
    auto* row = new QListWidgetItem(Text("str_no_guide"), this);
    row->setFlags(Qt::NoItemFlags);
  }
  if (running_row_ >= 0) setCurrentRow(running_row_);
}

void GuidePage::Clear() {
  channel_ = nullptr;
  running_row_ = -1;
  clear();
}

void GuidePage::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Backspace:
    case Qt::Key_Left:
      event->accept();
      emit BackRequested();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      emit PlayRequested();
      return;
    default:
      QListWidget::keyPressEvent(event);
  }
}

}  // namespace vidora
