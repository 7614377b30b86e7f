#include "ui/timeshift/timeshift_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include <algorithm>

#include "ui/playback/player_host.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

constexpr double kSmallStep = 10;
constexpr double kBigStep = 60;
constexpr int kLabelWidth = 76;

}  // namespace

TimeshiftBar::TimeshiftBar(QWidget* parent, QWidget* window, PlayerHost* host, TimeshiftLimits limits)
    : QWidget(parent), host_(host), limits_(limits) {
  setAccessibleName(Text("ts_bar"));
  setToolTip(Text("ts_bar_tip"));
  setCursor(Qt::PointingHandCursor);
  hide();
  const auto add = [this, window](QKeyCombination key, std::function<void()> action) {
    auto* shortcut = new QShortcut(QKeySequence(key), window);
    shortcut->setEnabled(false);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
    keys_.push_back(shortcut);
  };
  add(Qt::Key_Left, [this] { Step(-kSmallStep); });
  add(Qt::Key_Right, [this] { Step(kSmallStep); });
  add(Qt::SHIFT | Qt::Key_Left, [this] { Step(-kBigStep); });
  add(Qt::SHIFT | Qt::Key_Right, [this] { Step(kBigStep); });
  add(Qt::Key_End, [this] { BackToLive(); });
  add(Qt::Key_Home, [this] {
    if (restart_) restart_();
  });
  home_ = keys_.back();
  connect(host_, &PlayerHost::PositionChanged, this, &TimeshiftBar::OnPosition);
  connect(host_, &PlayerHost::AddressStateChanged, this, [this] {
    // A new channel (or a stop) starts unpaused at its live edge.
    if (host_->address_state() != PlayerHost::AddressState::kPlaying && paused_) {
      paused_ = false;
      emit PausedChanged(false);
    }
  });
}

void TimeshiftBar::set_restart_programme(std::function<void()> restart) {
  restart_ = std::move(restart);
  home_->setEnabled(seekable_ || restart_);
}

void TimeshiftBar::OnPosition(const StreamPosition& position) {
  const bool seekable = position.position && position.seekable_start && position.seekable_end &&
                        *position.seekable_end - *position.seekable_start > 1.0;
  if (seekable) {
    at_.position = *position.position;
    at_.start = *position.seekable_start;
    // While paused the buffer's end moves on: the live edge follows it.
    at_.live = std::max(*position.seekable_end, at_.position);
  }
  if (seekable != seekable_) {
    seekable_ = seekable;
    setVisible(seekable);
    Place();
    for (QShortcut* key : keys_) key->setEnabled(seekable);
    home_->setEnabled(seekable || restart_);
    emit SeekableChanged(seekable);
  }
  update();
}

void TimeshiftBar::TogglePause() {
  paused_ = !paused_;
  host_->SetPaused(paused_);
  update();
  emit PausedChanged(paused_);
}

void TimeshiftBar::Step(double seconds) {
  if (!seekable_) return;
  host_->SeekTo(SeekTarget(at_, seconds, limits_.minutes * 60.0));
}

void TimeshiftBar::BackToLive() {
  if (!seekable_) return;
  if (paused_) TogglePause();
  host_->SeekTo(at_.live);
}

void TimeshiftBar::Follow(QWidget* picture) {
  picture_ = picture;
  picture->installEventFilter(this);
  Place();
}

void TimeshiftBar::Place() {
  if (picture_ == nullptr) return;
  const QRect area = picture_->geometry();
  setGeometry(area.left(), area.bottom() + 1 - kHeight, area.width(), kHeight);
  raise();
}

bool TimeshiftBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picture_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                              event->type() == QEvent::Show)) {
    Place();
  }
  return QWidget::eventFilter(watched, event);
}

QRect TimeshiftBar::TrackRect() const { return QRect(4, height() / 2 - 3, width() - kLabelWidth - 12, 6); }
QRect TimeshiftBar::LabelRect() const { return QRect(width() - kLabelWidth, 0, kLabelWidth, height()); }

void TimeshiftBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(16, 16, 16));
  const QRect track = TrackRect();
  painter.fillRect(track, QColor(60, 60, 60));
  const double oldest = std::max(at_.start, at_.live - limits_.minutes * 60.0);
  const double span = std::max(1.0, at_.live - oldest);
  painter.fillRect(track, QColor(110, 110, 110));
  const int x = track.left() + static_cast<int>((std::clamp(at_.position, oldest, at_.live) - oldest) / span * track.width());
  painter.fillRect(QRect(track.left(), track.top(), x - track.left(), track.height()), QColor(212, 175, 55));
  painter.setBrush(Qt::white);
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPoint(x, track.center().y() + 1), 6, 6);
  painter.setPen(at_.at_live() && !paused_ ? QColor(231, 76, 60) : Qt::white);
  const QString label = (paused_ ? QStringLiteral("\u275A\u275A ") : QString()) + QString::fromStdU16String(LiveLabel(at_));
  painter.drawText(LabelRect(), Qt::AlignCenter, label);
}

void TimeshiftBar::mousePressEvent(QMouseEvent* event) {
  if (!seekable_ || event->button() != Qt::LeftButton) return;
  const QPoint point = event->position().toPoint();
  if (LabelRect().contains(point)) {
    BackToLive();
    return;
  }
  const QRect track = TrackRect();
  const double oldest = std::max(at_.start, at_.live - limits_.minutes * 60.0);
  const double share = std::clamp(static_cast<double>(point.x() - track.left()) / std::max(1, track.width()), 0.0, 1.0);
  host_->SeekTo(oldest + share * (at_.live - oldest));
}

}  // namespace vidora
