#include "ui/playback/player_video_widget.h"

#include <QBackingStore>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "ui/playback/player_backend.h"

namespace vidora {
PlayerVideoWidget::PlayerVideoWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void PlayerVideoWidget::EnsureBuffer() {
  const qreal ratio = devicePixelRatioF();
  const int width = std::max(1, static_cast<int>(std::lround(this->width() * ratio)));
  const int height = std::max(1, static_cast<int>(std::lround(this->height() * ratio)));
  if (frame_.width() == width && frame_.height() == height) return;
  frame_ = MakeAlignedFrameImage(width, height);
  if (!frame_.isNull()) {
    frame_.setDevicePixelRatio(ratio);
    frame_.fill(Qt::black);
  }
  has_frame_ = false;
}

bool PlayerVideoWidget::RenderFrom(PlayerBackend& backend) {
  EnsureBuffer();
  if (frame_.isNull() || !backend.RenderFrame(frame_)) return false;
  has_frame_ = true;
  frame_in_store_ = false;
  if (new_frame_) ++frames_shown_;
  new_frame_ = false;
  update();
  return true;
}

void PlayerVideoWidget::FrameReady() {
  if (backend_ == nullptr) return;
  // The engine waits until each frame is taken; leaving one would stall
  // the new address behind the old one's frames, or the stream behind a
  // minimised window.
  if (hold_ || !IsExposed()) {
    if (backend_->DiscardFrame()) ++frames_discarded_;
    // The newest frame is drawn again when the window is seen again.
    frame_pending_ = !hold_;
    return;
  }
  // A redraw of the picture already shown is drawn, not counted.
  new_frame_ = new_frame_ || backend_->FrameIsNew();
  // Nothing paints a window that is not shown; its frame is still kept.
  if (!isVisible()) {
    frame_pending_ = false;
    RenderFrom(*backend_);
    return;
  }
  frame_pending_ = true;
  update();
}

bool PlayerVideoWidget::IsExposed() const {
  // A hidden widget counts as exposed: it keeps its frame for a grab.
  if (!isVisible()) return true;
  const QWindow* handle = window()->windowHandle();
  return handle == nullptr || handle->isExposed();
}

void PlayerVideoWidget::HoldPicture(bool hold) {
  if (hold == hold_) return;
  hold_ = hold;
  new_frame_ = false;
  frame_pending_ = false;
  if (hold || backend_ == nullptr) return;
  // The frame that started playback was taken unseen: it is drawn again
  // rather than waiting for the next one.
  if (!isVisible()) {
    RenderFrom(*backend_);
    return;
  }
  frame_pending_ = true;
  update();
}

void PlayerVideoWidget::ClearPicture() {
  if (!frame_.isNull()) frame_.fill(Qt::black);
  has_frame_ = false;
  frame_in_store_ = false;
  update();
}

const QImage& PlayerVideoWidget::frame() const {
  if (!frame_in_store_) return frame_;
  frame_in_store_ = false;
  QBackingStore* store = window()->backingStore();
  QPaintDevice* device = store != nullptr ? store->paintDevice() : nullptr;
  if (device != nullptr && device->devType() == QInternal::Image) {
    QImage copy = DirectFramePainter::CopyAligned(*static_cast<const QImage*>(device), store_rect_);
    if (!copy.isNull()) {
      copy.setDevicePixelRatio(devicePixelRatioF());
      frame_ = std::move(copy);
    }
  }
  return frame_;
}

bool PlayerVideoWidget::DrawFrame(QPainter& painter) {
  const auto render = [this](QImage& target) { return backend_->RenderFrame(target); };
  QRect drawn;
  // Straight in only where the paint goes to this window's buffer (not,
  // say, a grab's image): that is where frame() finds the picture.
  QBackingStore* store = window()->backingStore();
  const QPaintEngine* engine = painter.paintEngine();
  const bool into_store = store != nullptr && engine != nullptr && engine->paintDevice() == store->paintDevice();
  if (into_store && direct_.Draw(painter, rect(), render, &drawn) == DirectFramePainter::Result::kDrawn) {
    has_frame_ = true;
    frame_in_store_ = true;
    store_rect_ = drawn;
    if (new_frame_) ++frames_shown_;
    new_frame_ = false;
    return true;
  }
  EnsureBuffer();
  if (!frame_.isNull() && backend_->RenderFrame(frame_)) {
    has_frame_ = true;
    if (new_frame_) ++frames_shown_;
  } else if (frame_in_store_) {
    // frame_ holds an older picture than the one to redraw.
    has_frame_ = false;
  }
  frame_in_store_ = false;
  new_frame_ = false;
  return false;
}

void PlayerVideoWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Drawn here, once per paint: a frame is converted only when it is
  // about to be seen.
  const bool fresh = frame_pending_ && backend_ != nullptr && !hold_;
  // The picture is only in the window's buffer, whose pixels this paint
  // is to redraw.
  const bool redraw = !fresh && has_frame_ && frame_in_store_ && backend_ != nullptr && !hold_;
  if (fresh) frame_pending_ = false;
  if ((fresh || redraw) && DrawFrame(painter)) return;
  if (has_frame_ && !frame_.isNull()) {
    // The frame has the widget's size in device pixels: a plain copy, no
    // scaling.
    painter.drawImage(QPoint(0, 0), frame_);
  } else {
    painter.fillRect(rect(), Qt::black);
  }
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
