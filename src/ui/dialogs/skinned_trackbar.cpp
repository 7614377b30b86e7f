#include "ui/dialogs/skinned_trackbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>

#include <algorithm>

namespace vidora {

SkinnedTrackbar::SkinnedTrackbar(QWidget* parent)
    : QSlider(Qt::Horizontal, parent), dot_(&Skin().DotGlyph()), thumbs_(&Skin().ThumbGlyphs()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkinnedTrackbar::SetGlyphs(const QImage* dot, const GlyphSet* thumbs) {
  dot_ = dot;
  thumbs_ = thumbs;
  update();
}

QRect SkinnedTrackbar::ThumbRect() const {
  QStyleOptionSlider option;
  initStyleOption(&option);
  return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

void SkinnedTrackbar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int w = width();
  // The owner sizes the slider to the channel; the fill only matters when
  // it did not, so that no stale pixels show.
  painter.fillRect(rect(), Skin().BackgroundColour());
  if (dot_ != nullptr && !dot_->isNull()) {
    const QImage& t = *dot_;
    const int k = t.width() / 2;
    const int h = t.height();
    painter.drawImage(QRect(0, 0, k, h), t, QRect(0, 0, k, h));
    painter.drawImage(QRect(k, 0, w - 2 * k, h), t, QRect(k, 0, 1, h));
    painter.drawImage(QRect(w - k, 0, k, h), t, QRect(k, 0, k, h));
  }
  if (hasFocus()) {
    // Under the thumb, which stays whole.
    QStyleOptionFocusRect option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
  if (thumbs_ == nullptr) return;
  const QImage& thumb = (*thumbs_)[hasFocus() ? kGlyphFocused : kGlyphNormal];
  if (thumb.isNull()) return;
  const QRect r = ThumbRect();
  // Twice as wide, no wider than the handle: halves of the glyph at the
  // ends, its middle column stretched between them.
  const int k = thumb.width() / 2;
  const int h = thumb.height();
  const int wide = std::max(thumb.width(), std::min(2 * thumb.width(), r.width()));
  const int left = r.left() + (r.width() - wide) / 2;
  const int top = r.top() + (r.height() - h) / 2;
  painter.drawImage(QRect(left, top, k, h), thumb, QRect(0, 0, k, h));
  painter.drawImage(QRect(left + k, top, wide - 2 * k, h), thumb, QRect(k, 0, 1, h));
  painter.drawImage(QRect(left + wide - (thumb.width() - k), top, thumb.width() - k, h), thumb,
                    QRect(k, 0, thumb.width() - k, h));
}

void SkinnedTrackbar::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !ThumbRect().contains(event->position().toPoint())) {
    // The thumb jumps under the pointer, where QSlider then takes the
    // press as the start of a drag.
    const QRect handle = ThumbRect();
    const int span = width() - handle.width();
    const int at = event->position().toPoint().x() - handle.width() / 2;
    setValue(QStyle::sliderValueFromPosition(minimum(), maximum(), std::clamp(at, 0, span), span));
  }
  QSlider::mousePressEvent(event);
}

}  // namespace vidora
