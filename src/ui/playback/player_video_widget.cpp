#include "ui/playback/player_video_widget.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "ui/playback/player_backend.h"

namespace vidora {

PlayerVideoWidget::PlayerVideoWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

PlayerVideoWidget::~PlayerVideoWidget() { StopFrames(); }

void PlayerVideoWidget::StopFrames() {
  if (thread_ == nullptr) return;
  // No wake-up may reach the thread once it is gone.
  backend_->SetFrameWakeup(nullptr);
  frames_discarded_ += thread_->discarded();
  thread_.reset();
}

void PlayerVideoWidget::SetBackend(PlayerBackend* backend) {
  if (backend == backend_) return;
  StopFrames();
  backend_ = backend;
  if (backend_ == nullptr) return;
  thread_ = std::make_unique<FrameRenderThread>(*backend_, this, [this] { OnFramesDrawn(); });
  told_size_ = QSize();
  SyncSize();
  UpdateFrameMode();
  thread_->SetDiscarding(discarding_);
  FrameRenderThread* thread = thread_.get();
  backend_->SetFrameWakeup([thread] { thread->Wake(); });
}

int64_t PlayerVideoWidget::frames_discarded() const {
  return frames_discarded_ + (thread_ != nullptr ? thread_->discarded() : 0);
}

void PlayerVideoWidget::ForgetUnpainted() {
  if (painted_) return;
  frames_shown_ -= shown_.new_frames;
  frames_discarded_ += shown_.new_frames;
  painted_ = true;
}

void PlayerVideoWidget::OnFramesDrawn() {
  if (thread_ == nullptr) return;
  // A frame waiting since before the last paint was shown by it; one that
  // a newer frame overtakes before any paint was not.
  const int unpainted = painted_ ? 0 : shown_.new_frames;
  if (thread_->Take(shown_)) {
    if (unpainted > 0) {
      frames_shown_ -= unpainted;
      frames_discarded_ += unpainted;
    }
    has_frame_ = true;
    frames_shown_ += shown_.new_frames;
    painted_ = !isVisible();
    // At once: Qt queues a plain update behind every other posted event,
    // so a busy moment could let the next frame overtake this one unseen.
    if (isVisible()) repaint();
  }
  // The widget may have moved to another top-level window (its own
  // full-screen one).
  UpdateFrameMode();
  const int64_t frames = frames_shown_ + frames_discarded();
  if (frames == frames_reported_) return;
  frames_reported_ = frames;
  emit NewFrames();
}

void PlayerVideoWidget::SyncSize() {
  const qreal ratio = devicePixelRatioF();
  const QSize size(std::max(1, static_cast<int>(std::lround(width() * ratio))),
                   std::max(1, static_cast<int>(std::lround(height() * ratio))));
  if (size == told_size_ && ratio == told_ratio_) return;
  told_size_ = size;
  told_ratio_ = ratio;
  if (thread_ == nullptr) return;
  thread_->SetSize(size, ratio);
  if (has_frame_ && !discarding_) thread_->Redraw();
}

bool PlayerVideoWidget::IsExposed() const {
  // A hidden widget counts as exposed: it keeps its frame for a grab.
  if (!isVisible()) return true;
  const QWindow* handle = window()->windowHandle();
  return handle == nullptr || handle->isExposed();
}

void PlayerVideoWidget::UpdateFrameMode() {
  QWindow* handle = isVisible() ? window()->windowHandle() : nullptr;
  if (handle != watched_) {
    if (watched_ != nullptr) watched_->removeEventFilter(this);
    watched_ = handle;
    if (handle != nullptr) handle->installEventFilter(this);
  }
  const bool discarding = hold_ || !IsExposed();
  if (discarding == discarding_) return;
  discarding_ = discarding;
  if (thread_ == nullptr) return;
  thread_->SetDiscarding(discarding);
  if (discarding) {
    discarded_before_ = thread_->discarded();
    return;
  }
  // The engine's current frame was taken unseen (or is newer than the
  // picture shown): it is drawn rather than waiting for the next one.
  if (has_frame_ || thread_->discarded() != discarded_before_) thread_->Redraw();
}

bool PlayerVideoWidget::eventFilter(QObject* watched, QEvent* event) {
  // Qt marks the window exposed or not around this event: look once it
  // has been handled.
  if (watched == watched_ && event->type() == QEvent::Expose) {
    QMetaObject::invokeMethod(this, [this] { UpdateFrameMode(); }, Qt::QueuedConnection);
  }
  return QWidget::eventFilter(watched, event);
}

void PlayerVideoWidget::HoldPicture(bool hold) {
  if (hold == hold_) return;
  hold_ = hold;
  if (hold && thread_ != nullptr) thread_->DropDrawnFrames();
  UpdateFrameMode();
}

void PlayerVideoWidget::ClearPicture() {
  if (thread_ != nullptr) thread_->DropDrawnFrames();
  ForgetUnpainted();
  if (!shown_.image.isNull()) shown_.image.fill(Qt::black);
  shown_.new_frames = 0;
  has_frame_ = false;
  update();
}

void PlayerVideoWidget::paintEvent(QPaintEvent*) {
  SyncSize();
  QPainter painter(this);
  if (!has_frame_ || shown_.image.isNull()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  // Drawn by the frame thread at the widget's size in device pixels: a
  // plain copy, no scaling. After a resize, stretched until the frame
  // thread has drawn it again at the new size.
  if (shown_.image.size() == told_size_) {
    painter.drawImage(QPoint(0, 0), shown_.image);
  } else {
    painter.drawImage(rect(), shown_.image);
  }
  painted_ = true;
}

void PlayerVideoWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SyncSize();
}

void PlayerVideoWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  UpdateFrameMode();
}

void PlayerVideoWidget::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // A hidden widget still takes its frames.
  UpdateFrameMode();
}

void PlayerVideoWidget::SetOwnFullScreen(bool on) {
  if (on == own_full_screen_) return;
  own_full_screen_ = on;
  const bool visible = isVisible();
  if (on) {
    normal_geometry_ = geometry();
    setWindowFlags(windowFlags() | Qt::Window);
    showFullScreen();
  } else {
    setWindowFlags(windowFlags() & ~Qt::Window);
    setGeometry(normal_geometry_);
    setVisible(visible);
  }
  UpdateFrameMode();
}

void PlayerVideoWidget::keyPressEvent(QKeyEvent* event) {
  if (own_full_screen_ && event->key() == Qt::Key_Escape) {
    SetOwnFullScreen(false);
    return;
  }
  QWidget::keyPressEvent(event);
}

void PlayerVideoWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (own_full_screen_) {
    SetOwnFullScreen(false);
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

}  // namespace vidora
