#ifndef VIDORA_UI_SKIN_SKIN_GLYPHS_H_
#define VIDORA_UI_SKIN_SKIN_GLYPHS_H_

#include <QColor>
#include <QImage>

#include <array>

namespace vidora {

// The skin's computed bitmaps, drawn pixel-exact for a given BarUnit.
// Every bitmap is QImage::Format_RGB32.

// Light, middle and dark colours of one glyph variant (0 normal,
// 1 focused, 2 pressed).
struct GlyphColours {
  QColor light;
  QColor middle;
  QColor dark;
};
GlyphColours GlyphColoursFor(int variant);

// Lengths of the square glyphs: side a = 5u/3, margin l = 2u/4, inner
// end e = a - l.
struct GlyphGeometry {
  int side;
  int margin;
  int inner_end;
};
GlyphGeometry SquareGlyphGeometry(int bar_unit);

// A strip 10 pixels wide and `height` high: the upper half a gradient
// from RGB(83, 96, 135) to RGB(57, 62, 77), the lower half one from
// RGB(15, 15, 15) to RGB(17, 20, 32), framed in the frame pen's colour.
QImage BuildBarStrip(int height);

// The square glyphs of one variant on the middle of `tall_strip`.
QImage BuildPlayGlyph(int bar_unit, const QImage& tall_strip, int variant);
QImage BuildStopGlyph(int bar_unit, const QImage& tall_strip, int variant);
QImage BuildFrameGlyph(int bar_unit, const QImage& tall_strip, int variant);
// Two triangles side by side, cut from `play`.
QImage BuildNextGlyph(int bar_unit, const QImage& play);
// `next` mirrored left to right.
QImage BuildPreviousGlyph(const QImage& next);
// The slider thumb: u/4 x u/2, light above the middle, framed dark.
QImage BuildThumbGlyph(int bar_unit, int variant);
// The trackbar channel's dot: 5u/6 square on the tall strip's middle.
QImage BuildDotGlyph(int bar_unit, const QImage& tall_strip);

}  // namespace vidora

#endif  // VIDORA_UI_SKIN_SKIN_GLYPHS_H_
