#include "ui/dialogs/image_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace vidora {

ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent) {
  // The image covers the button; the parent shows through where it does
  // not, and nothing is erased first so nothing flickers.
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
}

void ImageButton::SetImages(const GlyphSet& glyphs) { SetImages(&glyphs[0], &glyphs[1], &glyphs[2]); }

void ImageButton::SetImages(const QImage* normal, const QImage* focused, const QImage* pressed) {
  auto present = [](const QImage* image) { return image != nullptr && !image->isNull() ? image : nullptr; };
  images_[kGlyphNormal] = present(normal);
  images_[kGlyphFocused] = present(focused);
  images_[kGlyphPressed] = present(pressed);
  if (!keep_size_ && images_[kGlyphNormal] != nullptr) resize(images_[kGlyphNormal]->size());
  updateGeometry();
  update();
}

GlyphVariant ImageButton::ChooseVariant(bool focused, bool pressed) {
  if (pressed) return kGlyphPressed;
  return focused ? kGlyphFocused : kGlyphNormal;
}

const QImage* ImageButton::CurrentImage() const { return images_[ChooseVariant(hasFocus(), isDown())]; }

QSize ImageButton::sizeHint() const {
  return images_[kGlyphNormal] != nullptr ? images_[kGlyphNormal]->size() : QSize(0, 0);
}

void ImageButton::paintEvent(QPaintEvent*) {
  const QImage* image = CurrentImage();
  if (image == nullptr) return;
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), *image);
  // The focused image alone is too close to the normal one to be seen
  // from across the room: the style's focus ring goes round it.
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

}  // namespace vidora
