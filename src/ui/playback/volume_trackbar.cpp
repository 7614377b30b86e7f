#include "ui/playback/volume_trackbar.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "ui/texts/ui_texts.h"

namespace vidora {

VolumeTrackbar::VolumeTrackbar(QWidget* parent) : SkinnedTrackbar(parent) {}

void VolumeTrackbar::SetMuted(bool muted) {
  if (muted == muted_) return;
  muted_ = muted;
  setAccessibleName(muted_ ? Text("acc_volume_muted") : Text("acc_volume"));
  update();
}

void VolumeTrackbar::paintEvent(QPaintEvent* event) {
  SkinnedTrackbar::paintEvent(event);
  if (!muted_) return;
  // A speaker with a red cross, left of the thumb when the thumb is on the
  // right half, else right of it, so that both stay visible.
  const int size = std::max(8, height() - 4);
  const QRect thumb = ThumbRect();
  const int x = thumb.center().x() > width() / 2 ? std::max(0, thumb.left() - size - 2)
                                                  : std::min(width() - size, thumb.right() + 2);
  const QRectF box(x, (height() - size) / 2.0, size, size);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath speaker;
  speaker.moveTo(box.left(), box.top() + size * 0.35);
  speaker.lineTo(box.left() + size * 0.25, box.top() + size * 0.35);
  speaker.lineTo(box.left() + size * 0.55, box.top() + size * 0.1);
  speaker.lineTo(box.left() + size * 0.55, box.top() + size * 0.9);
  speaker.lineTo(box.left() + size * 0.25, box.top() + size * 0.65);
  speaker.lineTo(box.left(), box.top() + size * 0.65);
  speaker.closeSubpath();
  painter.fillPath(speaker, QColor(230, 230, 235));
  painter.setPen(QPen(QColor(220, 40, 40), std::max(1.5, size / 8.0), Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(box.left() + size * 0.65, box.top() + size * 0.3), QPointF(box.right(), box.top() + size * 0.7));
  painter.drawLine(QPointF(box.left() + size * 0.65, box.top() + size * 0.7), QPointF(box.right(), box.top() + size * 0.3));
}

}  // namespace vidora
