#include "ui/dialogs/skinned_trackbar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

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
  if (thumbs_ == nullptr) return;
  const QImage& thumb = (*thumbs_)[hasFocus() ? kGlyphFocused : kGlyphNormal];
  if (thumb.isNull()) return;
  const QRect r = ThumbRect();
  painter.drawImage(QPoint(r.left() + (r.width() - thumb.width()) / 2, r.top() + (r.height() - thumb.height()) / 2),
                    thumb);
}

}  // namespace vidora
