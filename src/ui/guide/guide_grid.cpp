#include "ui/guide/guide_grid.h"

#include <QAccessible>
#include <QDateTime>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "core/catalogue/channel.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/guide/guide_page.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

constexpr QRgb kBackgroundRgb = qRgb(255, 255, 255);
constexpr QRgb kHeaderRgb = qRgb(53, 66, 135);
constexpr QRgb kBlockRgb = qRgb(232, 236, 248);
constexpr QRgb kPastBlockRgb = qRgb(238, 238, 238);
constexpr QRgb kRunningBlockRgb = qRgb(255, 236, 190);
constexpr QRgb kSelectedBlockRgb = qRgb(192, 192, 192);
constexpr QRgb kNowLineRgb = qRgb(210, 30, 30);
constexpr int64_t kDay = 86400;

// A name or typed text folded for "starts with": letter case and accents
// aside.
QString Folded(const QString& text) {
  QString folded;
  const QString decomposed = text.normalized(QString::NormalizationForm_D);
  folded.reserve(decomposed.size());
  for (const QChar c : decomposed) {
    if (c.category() != QChar::Mark_NonSpacing) folded += c;
  }
  return folded.toCaseFolded();
}

int64_t FloorToColumn(int64_t time) {
  // Columns start at whole and half hours of UTC, which are the local
  // ones too in every zone a whole or half hour off UTC.
  const int64_t column = GuideGrid::kColumnSeconds;
  return time >= 0 ? time / column * column : (time - column + 1) / column * column;
}

}  // namespace

bool NameStartsWith(const QString& name, const QString& text) {
  const QString wanted = Folded(text.trimmed());
  return !wanted.isEmpty() && Folded(name).startsWith(wanted);
}

GuideGrid::GuideGrid(PlaylistManager& manager, QWidget* parent) : QWidget(parent), manager_(manager) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(Text("str_programme_guide"));
  setToolTip(Text("str_guide_grid_tip"));
  cursor_ = manager_.Now();
  view_start_ = FloorToColumn(cursor_) - kColumnSeconds;
  connect(&manager_, &PlaylistManager::DecorationsChanged, this, qOverload<>(&QWidget::update));
}

void GuideGrid::SetChannels(std::vector<const Channel*> channels) {
  channels_ = std::move(channels);
  first_row_ = 0;
  selected_row_ = 0;
  Changed();
}

int GuideGrid::RowHeight() const { return BarUnit() * 3 / 2; }
int GuideGrid::HeaderHeight() const { return BarUnit(); }
int GuideGrid::NameWidth() const { return std::max(BarUnit() * 5, width() / 4); }
int GuideGrid::ColumnWidth() const { return BarUnit() * 6; }
int GuideGrid::VisibleRows() const { return std::max(1, (height() - HeaderHeight()) / RowHeight()); }

int64_t GuideGrid::view_end() const {
  return view_start_ + static_cast<int64_t>(width() - NameWidth()) * kColumnSeconds / ColumnWidth();
}

int GuideGrid::XOf(int64_t time) const {
  const int64_t x = NameWidth() + (time - view_start_) * ColumnWidth() / kColumnSeconds;
  return static_cast<int>(std::clamp<int64_t>(x, -1, width() + 1));
}

int64_t GuideGrid::TimeAt(int x) const {
  return view_start_ + static_cast<int64_t>(x - NameWidth()) * kColumnSeconds / ColumnWidth();
}

const Channel* GuideGrid::SelectedChannel() const {
  return selected_row_ >= 0 && selected_row_ < static_cast<int>(channels_.size()) ? channels_[selected_row_] : nullptr;
}

ChannelProgrammes GuideGrid::RowProgrammes(int row) const {
  if (row < 0 || row >= static_cast<int>(channels_.size())) return {};
  return manager_.GuideProgrammes(*channels_[static_cast<size_t>(row)]);
}

std::optional<ProgrammeRecord> GuideGrid::SelectedProgramme() const { return RowProgrammes(selected_row_).At(cursor_); }

bool GuideGrid::IsSelected(const Block& block) const {
  if (block.row != selected_row_) return false;
  const std::optional<ProgrammeRecord> selected = SelectedProgramme();
  return selected && selected->start == block.programme.start;
}

QString GuideGrid::NumberOf(const Channel& channel) const {
  return QString::fromStdString(manager_.ChannelNumber(channel));
}

bool GuideGrid::SelectNumber(const QString& number) {
  for (size_t row = 0; row < channels_.size(); ++row) {
    if (NumberOf(*channels_[row]) == number) {
      Select(static_cast<int>(row), cursor_);
      return true;
    }
  }
  return false;
}


QString GuideGrid::BlockName(const ProgrammeRecord& programme) const {
  return GuideClock(programme.start) + QLatin1Char(' ') + manager_.GuideText(programme.title);
}

std::vector<GuideGrid::Block> GuideGrid::VisibleBlocks() const {
  std::vector<Block> blocks;
  const int64_t end = view_end();
  const int last = std::min<int>(static_cast<int>(channels_.size()), first_row_ + VisibleRows());
  for (int row = first_row_; row < last; ++row) {
    const ChannelProgrammes list = RowProgrammes(row);
    const int top = HeaderHeight() + (row - first_row_) * RowHeight();
    for (size_t i = list.FirstEndingAfter(view_start_); i < list.size(); ++i) {
      const ProgrammeRecord p = list[i];
      if (p.start >= end) break;
      const int left = std::max(NameWidth(), XOf(p.start));
      const int right = std::min(width(), XOf(p.stop));
      if (right > left) blocks.push_back({QRect(left, top, right - left, RowHeight()), row, p});
    }
  }
  return blocks;
}

void GuideGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(kBackgroundRgb));
  const int64_t now = manager_.Now();
  const int name_width = NameWidth();
  const int header = HeaderHeight();
  const int row_height = RowHeight();
  const int gap = std::max(2, BarUnit() / 12);

  // The header: the day at the left, the half hours across.
  painter.fillRect(QRect(0, 0, width(), header), QColor(kHeaderRgb));
  painter.setPen(Qt::white);
  painter.setFont(Skin().SmallBoldFont());
  const QDateTime day = QDateTime::fromSecsSinceEpoch(std::max(view_start_, TimeAt(name_width)));
  painter.drawText(QRect(gap, 0, name_width - 2 * gap, header), Qt::AlignVCenter | Qt::AlignLeft,
                   QLocale().toString(day.date(), QLocale::ShortFormat));
  for (int64_t t = FloorToColumn(view_start_); t < view_end(); t += kColumnSeconds) {
    const int x = XOf(t);
    if (x < name_width) continue;
    painter.drawLine(x, header / 2, x, header);
    painter.drawText(QRect(x + gap, 0, ColumnWidth() - gap, header), Qt::AlignVCenter | Qt::AlignLeft, GuideClock(t));
  }

  const std::vector<Block> blocks = VisibleBlocks();
  const QFontMetrics metrics(Skin().SmallFont());
  painter.setFont(Skin().SmallFont());
  for (const Block& block : blocks) {
    const ProgrammeRecord& p = block.programme;
    const bool running = p.start <= now && now < p.stop;
    const bool is_selected = IsSelected(block);
    QColor fill(running ? kRunningBlockRgb : p.stop <= now ? kPastBlockRgb : kBlockRgb);
    if (is_selected) fill = QColor(kSelectedBlockRgb);
    const QRect box = block.rect.adjusted(0, 0, -1, -1);
    painter.fillRect(box, fill);
    painter.setPen(is_selected ? QPen(Qt::black, 2) : QPen(QColor(150, 150, 160)));
    painter.drawRect(box);
    painter.setPen(p.stop <= now && !is_selected ? QColor(120, 120, 120) : QColor(Qt::black));
    QString title = manager_.GuideText(p.title);
    if (has_reminder_ && has_reminder_(*channels_[static_cast<size_t>(block.row)], p.start)) {
      title.prepend(QStringLiteral("\U0001F514 "));
    }
    if (has_recording_ && has_recording_(*channels_[static_cast<size_t>(block.row)], p.start)) {
      title.prepend(QStringLiteral("\u25CF "));
    }
    const QRect text = box.adjusted(gap, gap, -gap, -gap);
    const QFont bold = Skin().SmallBoldFont();
    painter.setFont(running ? bold : Skin().SmallFont());
    painter.drawText(text, Qt::AlignTop | Qt::AlignLeft | Qt::TextSingleLine,
                     QFontMetrics(painter.font()).elidedText(title, Qt::ElideRight, text.width()));
    painter.setFont(Skin().SmallFont());
    painter.drawText(text, Qt::AlignBottom | Qt::AlignLeft | Qt::TextSingleLine,
                     metrics.elidedText(GuideClock(p.start), Qt::ElideRight, text.width()));
  }

  // The channel column: number, logo, name.
  const int last = std::min<int>(static_cast<int>(channels_.size()), first_row_ + VisibleRows());
  for (int row = first_row_; row < last; ++row) {
    const Channel& channel = *channels_[static_cast<size_t>(row)];
    const QRect cell(0, header + (row - first_row_) * row_height, name_width, row_height);
    painter.fillRect(cell, QColor(row == selected_row_ ? kSelectedBlockRgb : kBackgroundRgb));
    painter.setPen(QColor(150, 150, 160));
    painter.drawLine(0, cell.bottom(), width(), cell.bottom());
    painter.setPen(Qt::black);
    painter.setFont(Skin().SmallFont());
    const QString number = NumberOf(channel);
    const int number_width = metrics.horizontalAdvance(QStringLiteral("00000"));
    painter.drawText(cell.adjusted(gap, 0, 0, 0).intersected(QRect(cell.left(), cell.top(), number_width, row_height)),
                     Qt::AlignVCenter | Qt::AlignRight, number);
    int text_left = cell.left() + number_width + 2 * gap;
    if (const QImage* logo = manager_.Logo(channel)) {
      const QSize fitted = logo->size().scaled(row_height * 3 / 2, row_height - 2 * gap, Qt::KeepAspectRatio);
      painter.drawImage(QRect(QPoint(text_left, cell.top() + (row_height - fitted.height()) / 2), fitted), *logo);
      text_left += row_height * 3 / 2 + gap;
    }
    painter.setFont(Skin().TitleFont());
    const QRect name(text_left, cell.top(), cell.right() - text_left - gap, row_height);
    const QString shown = HasArchive(channel) ? QStringLiteral("\u27F2 ") + ToQString(channel.name()) : ToQString(channel.name());
    painter.drawText(name, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                     QFontMetrics(painter.font()).elidedText(shown, Qt::ElideRight, name.width()));
  }
  painter.setPen(QColor(150, 150, 160));
  painter.drawLine(name_width - 1, header, name_width - 1, height());

  // The line at now.
  if (now >= view_start_ && now < view_end()) {
    painter.setPen(QPen(QColor(kNowLineRgb), 2));
    painter.drawLine(XOf(now), header, XOf(now), height());
  }
  if (channels_.empty()) {
    painter.setPen(Qt::black);
    painter.setFont(Skin().TitleFont());
    painter.drawText(rect().adjusted(0, header, 0, 0), Qt::AlignCenter | Qt::TextWordWrap, Text("str_no_guide"));
  }
}

void GuideGrid::Select(int row, int64_t time) {
  if (channels_.empty()) return;
  selected_row_ = std::clamp(row, 0, static_cast<int>(channels_.size()) - 1);
  cursor_ = time;
  // A programme begun before the visible time is shown from its start.
  if (const std::optional<ProgrammeRecord> p = SelectedProgramme()) cursor_ = std::max(p->start, std::min(time, p->stop - 1));
  KeepSelectionVisible();
  Changed();
}

void GuideGrid::JumpToNow() {
  const int64_t now = manager_.Now();
  view_start_ = FloorToColumn(now) - kColumnSeconds;
  Select(selected_row_, now);
}

void GuideGrid::ShowDay(int days) {
  const int64_t now = manager_.Now();
  const int64_t target = now + days * kDay;
  view_start_ = FloorToColumn(target) - kColumnSeconds;
  Select(selected_row_, target);
}

void GuideGrid::KeepSelectionVisible() {
  const int rows = VisibleRows();
  if (selected_row_ < first_row_) first_row_ = selected_row_;
  if (selected_row_ >= first_row_ + rows) first_row_ = selected_row_ - rows + 1;
  const int64_t span = std::max<int64_t>(kColumnSeconds, view_end() - view_start_);
  const std::optional<ProgrammeRecord> p = SelectedProgramme();
  const int64_t left = p ? std::max(p->start, cursor_ - span / 2) : cursor_;
  if (left < view_start_) view_start_ = FloorToColumn(left);
  if (left >= view_start_ + span - kColumnSeconds / 2) view_start_ = FloorToColumn(left) - span / 2 + kColumnSeconds;
  view_start_ = FloorToColumn(view_start_);
}

void GuideGrid::StepProgramme(int direction) {
  const ChannelProgrammes list = RowProgrammes(selected_row_);
  const std::optional<ProgrammeRecord> current = SelectedProgramme();
  int64_t target = cursor_ + direction * kColumnSeconds;
  if (direction > 0) {
    const size_t next = list.FirstStartingFrom(current ? current->stop : cursor_);
    if (next < list.size() && (current || list[next].start < target)) target = list[next].start;
  } else {
    const size_t at = list.FirstStartingFrom(current ? current->start : cursor_);
    if (at > 0 && (current || list[at - 1].stop > target)) target = list[at - 1].start;
  }
  Select(selected_row_, target);
}

bool GuideGrid::Chosen(ChosenProgramme& chosen) const {
  const std::optional<ProgrammeRecord> p = SelectedProgramme();
  const Channel* channel = SelectedChannel();
  if (!p || channel == nullptr) return false;
  const int64_t now = manager_.Now();
  chosen.channel = channel;
  chosen.programme = *p;
  chosen.when = p->stop <= now ? ProgrammeTime::kPast : p->start <= now ? ProgrammeTime::kRunning : ProgrammeTime::kFuture;
  return true;
}

void GuideGrid::Choose(bool from_start) {
  ChosenProgramme chosen;
  chosen.from_start = from_start;
  if (Chosen(chosen)) emit ProgrammeChosen(chosen);
}

void GuideGrid::Changed() {
  update();
  emit SelectionChanged();
  if (QAccessible::isActive()) {
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(-1);
    QAccessible::updateAccessibility(&event);
  }
}

void GuideGrid::keyPressEvent(QKeyEvent* event) {
  const int rows = VisibleRows();
  switch (event->key()) {
    case Qt::Key_Left: StepProgramme(-1); break;
    case Qt::Key_Right: StepProgramme(1); break;
    case Qt::Key_Up: Select(selected_row_ - 1, cursor_); break;
    case Qt::Key_Down: Select(selected_row_ + 1, cursor_); break;
    case Qt::Key_PageUp:
      if (event->modifiers() & Qt::ControlModifier) Select(selected_row_ - rows, cursor_);
      else { view_start_ -= kDay; Select(selected_row_, cursor_ - kDay); }
      break;
    case Qt::Key_PageDown:
      if (event->modifiers() & Qt::ControlModifier) Select(selected_row_ + rows, cursor_);
      else { view_start_ += kDay; Select(selected_row_, cursor_ + kDay); }
      break;
    case Qt::Key_Home: JumpToNow(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: Choose((event->modifiers() & Qt::ShiftModifier) != 0); break;
    case Qt::Key_R:
      if (event->modifiers() == Qt::NoModifier) {
        ChosenProgramme chosen;
        if (Chosen(chosen)) emit RecordAsked(chosen);
        break;
      }
      [[fallthrough]];
    default: {
      const QString text = event->text();
      if (text.size() == 1 && text[0].isDigit()) {
        // Digits typed within a second and a half make one channel number.
        if (!typed_at_.isValid() || typed_at_.elapsed() > 1500) typed_number_.clear();
        typed_number_ += text;
        typed_at_.start();
        SelectNumber(typed_number_);
      } else if (text.size() == 1 && text[0].isLetter()) {
        emit SearchTyped(text);
      } else {
        QWidget::keyPressEvent(event);
        return;
      }
    }
  }
  event->accept();
}

void GuideGrid::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() != 0 ? event->angleDelta().y() / 120 : event->angleDelta().x() / 120;
  if (notches == 0) return;
  if (event->modifiers() & Qt::ShiftModifier || event->angleDelta().x() != 0) {
    view_start_ -= notches * kColumnSeconds;
    update();
  } else {
    first_row_ = std::clamp(first_row_ - notches * 3, 0, std::max(0, static_cast<int>(channels_.size()) - VisibleRows()));
    update();
  }
  event->accept();
}

void GuideGrid::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const QPoint at = event->position().toPoint();
  if (at.y() < HeaderHeight()) return;
  const int row = first_row_ + (at.y() - HeaderHeight()) / RowHeight();
  if (row >= static_cast<int>(channels_.size())) return;
  Select(row, at.x() >= NameWidth() ? TimeAt(at.x()) : cursor_);
}

void GuideGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
  Choose();
}

void GuideGrid::resizeEvent(QResizeEvent*) { KeepSelectionVisible(); }

}  // namespace vidora
