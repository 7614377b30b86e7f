#ifndef VIDORA_UI_DIALOGS_SKINNED_TRACKBAR_H_
#define VIDORA_UI_DIALOGS_SKINNED_TRACKBAR_H_

#include <QImage>
#include <QRect>
#include <QSlider>

#include "ui/skin/resource_pack.h"

namespace vidora {

// A horizontal slider painted from the skin: the dot glyph stretched into
// a channel across the whole width, and the thumb glyph (variant 1 while
// the slider has the keyboard focus, else variant 0) centred in the
// slider's thumb rectangle, widened to twice its width (its middle column
// stretched) so that a mouse finds it. Range, position, line and page size
// are the QSlider's; with the focus the style's focus ring
// (PE_FrameFocusRect) runs round the slider under the thumb; a click on
// the channel moves the thumb to that place (and a drag goes on from
// there). The owner gives it the dot glyph's height. UI thread only.
class SkinnedTrackbar : public QSlider {
  Q_OBJECT

 public:
  // Draws with the process-wide skin's dot and thumb glyphs.
  explicit SkinnedTrackbar(QWidget* parent = nullptr);

  // Draws with other glyphs (borrowed; they must outlive the slider).
  void SetGlyphs(const QImage* dot, const GlyphSet* thumbs);

  // The thumb rectangle at the present position, in widget coordinates.
  QRect ThumbRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const QImage* dot_;
  const GlyphSet* thumbs_;
};

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_SKINNED_TRACKBAR_H_
