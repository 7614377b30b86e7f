#include "ui/guide/guide_dialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <unordered_map>

#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/document/text_codec.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/guide/guide_grid_accessible.h"
#include "ui/guide/guide_page.h"
#include "ui/guide/guide_reminders.h"
#include "ui/guide/programme_actions.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

constexpr int kMaxResults = 300;
constexpr int kMaxChannelResults = 20;
constexpr int kResultRow = Qt::UserRole;
constexpr int kResultTime = Qt::UserRole + 1;
// A result that names a channel (its row at the selected time).
constexpr int kResultIsChannel = Qt::UserRole + 2;

// Whether `haystack` holds `needle` (lower case already), ASCII letters
// compared without case; other bytes as they are.
bool ContainsFolded(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                     [&fold](char a, char b) { return fold(a) == b; }) != haystack.end();
}

// What stands in for a programme's picture while it comes, or when it
// cannot: a grey frame with a sun over two hills, drawn (no font has to
// hold a picture sign).
QPixmap PicturePlaceholder(QSize room) {
  const int height = std::max(8, std::min(room.height(), room.width() * 9 / 16));
  const QSize size(height * 16 / 9, height);
  QPixmap pixmap(size);
  pixmap.fill(QColor(225, 225, 230));
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(160, 160, 170), 1));
  painter.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(185, 185, 195));
  const qreal w = size.width();
  const qreal h = size.height();
  painter.drawEllipse(QPointF(w * 0.68, h * 0.32), h * 0.1, h * 0.1);
  painter.drawPolygon(QPolygonF({QPointF(w * 0.2, h * 0.8), QPointF(w * 0.42, h * 0.42), QPointF(w * 0.6, h * 0.8)}));
  painter.drawPolygon(QPolygonF({QPointF(w * 0.45, h * 0.8), QPointF(w * 0.62, h * 0.55), QPointF(w * 0.8, h * 0.8)}));
  return pixmap;
}

QString DayName(int days, int64_t now) {
  const QDate date = QDateTime::fromSecsSinceEpoch(now).date().addDays(days);
  return QLocale().toString(date, QStringLiteral("ddd d MMM"));
}

}  // namespace

std::vector<Channel*> ChannelsWithGuide(const PlaylistManager& manager) {
  std::vector<Channel*> channels;
  for (Channel* channel : manager.catalogue().AllChannels()) {
    if (manager.GuideChannelOf(*channel) >= 0) channels.push_back(channel);
  }
  return channels;
}

GuideDialog::GuideDialog(QWidget* owner, PlaylistManager& manager, std::vector<Channel*> channels,
                         std::function<void(Channel*)> play)
    : SkinnedDialog(owner), manager_(manager), play_(std::move(play)), channels_(std::move(channels)) {
  InstallGuideGridAccessibility();
  ApplyDialogFont(this);
  setWindowTitle(Text("str_programme_guide"));
  setAccessibleName(Text("str_programme_guide"));

  days_ = new QComboBox(this);
  const int64_t now = manager_.Now();
  for (int day = -kGuideDaysBack; day <= kGuideDaysAhead; ++day) days_->addItem(DayName(day, now), day);
  days_->setCurrentIndex(static_cast<int>(kGuideDaysBack));
  days_->setAccessibleName(Text("str_guide_day"));
  days_->setToolTip(Text("str_guide_day") + QStringLiteral(" (Page Up, Page Down)"));
  now_ = new QPushButton(Text("str_guide_now"), this);
  now_->setToolTip(Text("str_guide_now") + QStringLiteral(" (Home)"));
  search_ = new QLineEdit(this);
  search_->setPlaceholderText(Text("str_guide_search"));
  search_->setAccessibleName(Text("str_guide_search"));
  search_->setClearButtonEnabled(true);
  search_->installEventFilter(this);
  reminders_ = new QPushButton(Text("str_reminders"), this);
  reminders_->setAccessibleName(Text("str_reminders"));
  reminders_->setObjectName(QStringLiteral("reminders"));

  grid_ = new GuideGrid(manager_, this);
  grid_->SetChannels(std::vector<const Channel*>(channels_.begin(), channels_.end()));
  grid_->SetReminderCheck([](const Channel& channel, int64_t start) {
    GuideReminders* reminders = GuideReminders::Current();
    return reminders != nullptr && reminders->Has(channel.key(), start);
  });
  grid_->SetArchiveCheck([this](const Channel& channel) { return manager_.ArchiveOf(channel).available(); });
  results_ = new QListWidget(this);
  results_->setAccessibleName(Text("str_guide_search"));
  results_->hide();
  results_->installEventFilter(this);
  details_ = new QLabel(this);
  details_->setWordWrap(true);
  details_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  details_->setTextFormat(Qt::RichText);
  details_->setAccessibleName(Text("str_programme_guide"));
  details_->setAutoFillBackground(true);
  QPalette colours = details_->palette();
  colours.setColor(QPalette::Window, Qt::white);
  colours.setColor(QPalette::WindowText, Qt::black);
  details_->setPalette(colours);
  // The programme's picture beside its details: a placeholder until it
  // arrives (or when it cannot), nothing for a programme without one.
  icon_ = new QLabel(this);
  icon_->setAlignment(Qt::AlignCenter);
  icon_->setAccessibleName(Text("str_programme_picture"));
  icon_->setAutoFillBackground(true);
  icon_->setPalette(colours);
  icon_->hide();
  progress_ = new QProgressBar(this);
  progress_->setTextVisible(false);
  progress_->setRange(0, 1000);
  progress_->setAccessibleName(Text("str_guide_now"));

  connect(days_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
    grid_->ShowDay(days_->itemData(index).toInt());
    grid_->setFocus(Qt::OtherFocusReason);
  });
  connect(now_, &QPushButton::clicked, this, [this] {
    grid_->JumpToNow();
    grid_->setFocus(Qt::OtherFocusReason);
  });
  connect(reminders_, &QPushButton::clicked, this, &GuideDialog::ShowReminders);
  connect(grid_, &GuideGrid::SelectionChanged, this, [this] {
    note_.clear();
    ShowDetails();
  });
  connect(grid_, &GuideGrid::ProgrammeChosen, this, &GuideDialog::OnChosen);
  connect(grid_, &GuideGrid::RecordAsked, this, &GuideDialog::OnRecordAsked);
  connect(grid_, &GuideGrid::SearchTyped, this, [this](const QString& text) {
    search_->setFocus(Qt::OtherFocusReason);
    search_->setText(search_->text() + text);
  });
  connect(search_, &QLineEdit::textChanged, this, &GuideDialog::Search);
  connect(search_, &QLineEdit::returnPressed, this, [this] {
    if (results_->count() > 0) {
      if (results_->currentRow() < 0) results_->setCurrentRow(0);
      JumpToResult();
    }
  });
  connect(results_, &QListWidget::itemActivated, this, &GuideDialog::JumpToResult);
  connect(&manager_, &PlaylistManager::DecorationsChanged, this, &GuideDialog::ShowDetails);
  connect(&manager_, &PlaylistManager::ProgrammeIconReady, this, &GuideDialog::ShowDetails);
  setTabOrder(grid_, days_);
  setTabOrder(days_, now_);
  setTabOrder(now_, search_);
  setTabOrder(search_, reminders_);

  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
  grid_->JumpToNow();
  grid_->setFocus(Qt::OtherFocusReason);
}

void GuideDialog::LayoutClient(int width, int height) {
  const int u = BarUnit();
  const int g = BarGap();
  const int top = u + g;
  const int quarter = (width - 5 * g) / 4;
  days_->setGeometry(g, top, quarter, u);
  now_->setGeometry(2 * g + quarter, top, quarter / 2, u);
  // The reminders button is as wide as its caption needs (German's is
  // long), up to a quarter; the search field takes what is left.
  const int reminders_width = std::clamp(reminders_->sizeHint().width(), quarter / 2 + g, std::max(quarter, quarter / 2 + g));
  reminders_->setGeometry(width - g - reminders_width, top, reminders_width, u);
  const int search_left = 3 * g + quarter * 3 / 2;
  search_->setGeometry(search_left, top, std::max(u, width - 2 * g - reminders_width - search_left), u);
  const int details_height = std::min(height / 3, 5 * u);
  const int grid_top = top + u + g;
  const QRect grid(g, grid_top, width - 2 * g, std::max(u, height - grid_top - details_height - 2 * g));
  grid_->setGeometry(grid);
  results_->setGeometry(grid);
  progress_->setGeometry(g, grid.bottom() + g, width - 2 * g, g * 2);
  details_area_ = QRect(g, grid.bottom() + 3 * g, width - 2 * g, details_height - 2 * g);
  PlaceDetails();
}

void GuideDialog::PlaceDetails() {
  if (!icon_->isVisibleTo(this)) {
    details_->setGeometry(details_area_);
    return;
  }
  // The picture takes the right end, at most a third of the width, in the
  // shape of a 16:9 picture of the area's height.
  const int g = BarGap();
  const int icon_width = std::min(details_area_.width() / 3, details_area_.height() * 16 / 9);
  icon_->setGeometry(details_area_.right() - icon_width + 1, details_area_.top(), icon_width, details_area_.height());
  details_->setGeometry(details_area_.adjusted(0, 0, -icon_width - g, 0));
}

void GuideDialog::ShowIcon(const ProgrammeRecord* programme) {
  const bool wanted = programme != nullptr && programme->icon != 0;
  if (wanted != icon_->isVisibleTo(this)) {
    icon_->setVisible(wanted);
    PlaceDetails();
  }
  icon_shown_ = false;
  if (!wanted) {
    icon_->clear();
    return;
  }
  if (const QImage* image = manager_.ProgrammeIcon(programme->icon)) {
    icon_shown_ = true;
    icon_->setPixmap(QPixmap::fromImage(
        image->scaled(icon_->size().boundedTo(image->size()), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  } else {
    icon_->setPixmap(PicturePlaceholder(icon_->size()));
  }
}

void GuideDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

bool GuideDialog::HandleCommand(int) { return false; }

void GuideDialog::set_recorder(Recorder recorder) {
  recorder_ = std::move(recorder);
  if (!recorder_.scheduled) {
    grid_->SetRecordingCheck({});
    return;
  }
  grid_->SetRecordingCheck([this](const Channel& channel, int64_t start) {
    ScheduledRecording programme;
    programme.channel = Utf16ToUtf8(channel.name());
    programme.start = start;
    return recorder_.scheduled(programme);
  });
}

void GuideDialog::Say(const QString& note) {
  note_ = note;
  details_->setAccessibleDescription(note);
  ShowDetails();
}

void GuideDialog::ShowDetails() {
  const std::optional<ProgrammeRecord> selected = grid_->SelectedProgramme();
  const ProgrammeRecord* p = selected ? &*selected : nullptr;
  const Channel* channel = grid_->SelectedChannel();
  ShowIcon(p);
  const QString said = note_.isEmpty() ? QString() : QStringLiteral("<i>") + note_.toHtmlEscaped() + QStringLiteral("</i><br>");
  if (note_.isEmpty()) details_->setAccessibleDescription(QString());
  if (p == nullptr || channel == nullptr) {
    details_->setText(said + (channel != nullptr ? ToQString(channel->name()).toHtmlEscaped() : QString()));
    progress_->hide();
    return;
  }
  auto line = [this](TextRef ref, const QString& prefix = {}) {
    const QString text = manager_.GuideText(ref);
    return text.isEmpty() ? QString() : prefix + text.toHtmlEscaped() + QStringLiteral("<br>");
  };
  const QDateTime start = QDateTime::fromSecsSinceEpoch(p->start);
  QString html = QStringLiteral("<b>") + manager_.GuideText(p->title).toHtmlEscaped() + QStringLiteral("</b><br>");
  html += line(p->sub_title) + line(p->episode);
  html += QLocale().toString(start.date(), QStringLiteral("ddd d MMM")) + QLatin1Char(' ') + GuideClock(p->start) +
          QStringLiteral("–") + GuideClock(p->stop) + QStringLiteral(" · ") + ToQString(channel->name()).toHtmlEscaped() +
          QStringLiteral("<br>");
  html += line(p->categories) + line(p->rating) + line(p->description);
  details_->setText(said + html);
  const int64_t now = manager_.Now();
  const bool running = p->start <= now && now < p->stop;
  progress_->setVisible(running);
  if (running) progress_->setValue(static_cast<int>((now - p->start) * 1000 / (p->stop - p->start)));
}

void GuideDialog::OnChosen(const ChosenProgramme& chosen) {
  if (chosen.when == ProgrammeTime::kPast || (chosen.when == ProgrammeTime::kRunning && chosen.from_start)) {
    PlayFromArchive(chosen);
  } else if (chosen.when == ProgrammeTime::kRunning) {
    const int row = grid_->selected_row();
    if (play_ && row >= 0 && row < static_cast<int>(channels_.size())) play_(channels_[static_cast<size_t>(row)]);
    accept();
  } else if (chosen.when == ProgrammeTime::kFuture) {
    if (GuideReminders* reminders = GuideReminders::Current()) {
      reminders->Toggle({std::string(chosen.channel->key()), chosen.programme.start, manager_.GuideText(chosen.programme.title),
                         ToQString(chosen.channel->name())});
      grid_->update();
    }
  }
}

void GuideDialog::PlayFromArchive(const ChosenProgramme& chosen) {
  if (!play_archive_) return;
  const CatchupAddress archive = ArchiveAddressOf(manager_, *chosen.channel, chosen.programme);
  if (archive.refusal != CatchupRefusal::kNone) {
    Say(CatchupRefusalText(archive.refusal));
    return;
  }
  play_archive_(*chosen.channel, Utf8ToUtf16(archive.address),
                ArchiveTitle(manager_, *chosen.channel, chosen.programme).toStdU16String());
  accept();
}

void GuideDialog::OnRecordAsked(const ChosenProgramme& chosen) {
  if (!recorder_.toggle || chosen.when == ProgrammeTime::kPast) return;
  Say(recorder_.toggle(RecordingOf(manager_, *chosen.channel, chosen.programme)));
  grid_->update();
}

void GuideDialog::Search(const QString& text) {
  results_->clear();
  const QString needle_text = text.trimmed().toLower();
  if (needle_text.isEmpty()) {
    results_->hide();
    grid_->show();
    return;
  }
  const std::vector<const Channel*>& channels = grid_->channels();
  // Channels whose name (or number) starts with the text come first: Enter
  // on the first jumps to that channel.
  int channel_hits = 0;
  for (size_t row = 0; row < channels.size() && channel_hits < kMaxChannelResults; ++row) {
    const QString number = grid_->NumberOf(*channels[row]);
    const QString name = ToQString(channels[row]->name());
    if (!NameStartsWith(name, needle_text) && number != needle_text) continue;
    auto* item = new QListWidgetItem(Text("str_guide_channel_result").arg(number, name), results_);
    item->setData(kResultRow, static_cast<int>(row));
    item->setData(kResultIsChannel, true);
    ++channel_hits;
  }
  std::shared_ptr<const GuideStore> store = manager_.guide();
  if (store == nullptr || needle_text.size() < 2) {
    results_->setVisible(channel_hits > 0);
    grid_->setVisible(channel_hits == 0);
    return;
  }
  const std::string needle = needle_text.toStdString();
  // Titles are interned, so each distinct one is compared once.
  std::unordered_map<TextRef, bool> seen;
  struct Hit {
    int64_t start;
    int row;
    TextRef title;
  };
  std::vector<Hit> hits;
  const int64_t now = manager_.Now();
  for (size_t row = 0; row < channels.size(); ++row) {
    for (const ProgrammeRecord& p : manager_.GuideProgrammes(*channels[row])) {
      if (p.stop <= now - 3 * 3600) continue;
      auto [it, fresh] = seen.try_emplace(p.title, false);
      if (fresh) it->second = ContainsFolded(store->Text(p.title), needle);
      if (it->second) hits.push_back({p.start, static_cast<int>(row), p.title});
    }
  }
  std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.start < b.start; });
  if (hits.size() > kMaxResults) hits.resize(kMaxResults);
  for (const Hit& hit : hits) {
    const QDateTime start = QDateTime::fromSecsSinceEpoch(hit.start);
    auto* item = new QListWidgetItem(QLocale().toString(start.date(), QStringLiteral("ddd d MMM")) + QLatin1Char(' ') +
                                         GuideClock(hit.start) + QStringLiteral("  ") +
                                         ToQString(channels[static_cast<size_t>(hit.row)]->name()) +
                                         QStringLiteral("  ") + manager_.GuideText(hit.title),
                                     results_);
    item->setData(kResultRow, hit.row);
    item->setData(kResultTime, QVariant::fromValue<qlonglong>(hit.start));
  }
  grid_->hide();
  results_->show();
}

void GuideDialog::JumpToResult() {
  QListWidgetItem* item = results_->currentItem();
  if (item == nullptr) return;
  const int row = item->data(kResultRow).toInt();
  const int64_t start = item->data(kResultIsChannel).toBool() ? grid_->cursor_time() : item->data(kResultTime).toLongLong();
  search_->clear();
  results_->hide();
  grid_->show();
  grid_->Select(row, start);
  grid_->setFocus(Qt::OtherFocusReason);
}

bool GuideDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && (watched == search_ || watched == results_)) {
      search_->clear();
      grid_->setFocus(Qt::OtherFocusReason);
      return true;
    }
    if (watched == search_ && key->key() == Qt::Key_Down && results_->isVisible()) {
      results_->setFocus(Qt::OtherFocusReason);
      if (results_->currentRow() < 0) results_->setCurrentRow(0);
      return true;
    }
  }
  return SkinnedDialog::eventFilter(watched, event);
}

void GuideDialog::ShowReminders() {
  GuideReminders* reminders = GuideReminders::Current();
  if (reminders == nullptr) return;
  SkinnedDialog list_dialog(this);
  list_dialog.setWindowTitle(Text("str_reminders"));
  auto* list = new QListWidget(&list_dialog);
  list->setAccessibleName(Text("str_reminders"));
  auto* remove = new QPushButton(Text("str_forget_reminder"), &list_dialog);
  remove->setToolTip(Text("str_forget_reminder") + QStringLiteral(" (Delete)"));
  auto fill = [list, reminders] {
    list->clear();
    for (const GuideReminder& r : reminders->reminders()) {
      list->addItem(QLocale().toString(QDateTime::fromSecsSinceEpoch(r.start).date(), QStringLiteral("ddd d MMM")) +
                    QLatin1Char(' ') + GuideClock(r.start) + QStringLiteral("  ") + r.channel_name +
                    QStringLiteral("  ") + r.title);
    }
  };
  fill();
  auto drop = [list, reminders, fill] {
    if (list->currentRow() >= 0) reminders->Remove(static_cast<size_t>(list->currentRow()));
    fill();
  };
  connect(remove, &QPushButton::clicked, &list_dialog, drop);
  auto* delete_key = new QShortcut(QKeySequence::Delete, list, nullptr, nullptr, Qt::WidgetShortcut);
  connect(delete_key, &QShortcut::activated, &list_dialog, drop);
  const QRect client = list_dialog.ClientRect();
  const int u = BarUnit(), g = BarGap();
  list->setGeometry(g, u + g, client.width() - 2 * g, client.height() - 3 * u);
  remove->setGeometry(g, client.height() - 2 * u + g, client.width() / 2, u);
  list->setFocus();
  list_dialog.exec();
  grid_->update();
}

}  // namespace vidora
