#include "ui/skin/skin_glyphs.h"

#include <QRect>

#include "ui/skin/skin_colours.h"
#include "ui/skin/skin_painting.h"

namespace vidora {
namespace {

constexpr int kStripWidth = 10;

QImage NewBitmap(int width, int height) {
  QImage image(width > 0 ? width : 0, height > 0 ? height : 0, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

// A square of side `side` showing the tall strip's middle rows.
QImage GlyphBackground(int bar_unit, const QImage& tall_strip, int side) {
  QImage glyph = NewBitmap(side, side);
  StretchCopy(glyph, QRect(0, 0, side, side), tall_strip, QRect(1, (2 * bar_unit - side) / 2, 2, side));
  return glyph;
}

// Light over the upper part, middle over the lower part of column x, the
// shape shared by Stop and the outer columns of Frame.
void StopColumn(QImage& glyph, const GlyphGeometry& g, int x, const GlyphColours& c) {
  DrawSkinLine(glyph, x, g.margin, x, g.side / 2, c.light);
  DrawSkinLine(glyph, x, g.side / 2, x, g.inner_end, c.middle);
}

}  // namespace

GlyphColours GlyphColoursFor(int variant) {
  switch (variant) {
    case 1:
      return {QColor(230, 230, 255), QColor(180, 180, 230), QColor(120, 120, 140)};
    case 2:
      return {QColor(180, 180, 230), QColor(130, 130, 170), QColor(90, 90, 100)};
    default:
      return {QColor(200, 200, 255), QColor(150, 150, 200), QColor(100, 100, 120)};
  }
}

GlyphGeometry SquareGlyphGeometry(int bar_unit) {
  const int side = 5 * bar_unit / 3;
  const int margin = 2 * bar_unit / 4;
  return {side, margin, side - margin};
}

QImage BuildBarStrip(int height) {
  QImage strip = NewBitmap(kStripWidth, height);
  const int half = height / 2;
  FillVerticalGradient(strip, 0, 0, kStripWidth, half, kStripTopFrom, kStripTopTo);
  FillVerticalGradient(strip, 0, half, kStripWidth, 2 * half, kStripBottomFrom, kStripBottomTo);
  DrawHollowRect(strip, 0, 0, kStripWidth, height, kFramePenColour);
  return strip;
}

QImage BuildPlayGlyph(int bar_unit, const QImage& tall_strip, int variant) {
  const GlyphGeometry g = SquareGlyphGeometry(bar_unit);
  const GlyphColours c = GlyphColoursFor(variant);
  const int a = g.side;
  const int l = g.margin;
  const int e = g.inner_end;
  QImage glyph = GlyphBackground(bar_unit, tall_strip, a);
  for (int x = l; x < e; ++x) {
    DrawSkinLine(glyph, x, (l + x) / 2, x, a / 2, c.light);
    DrawSkinLine(glyph, x, a - (l + x) / 2 - 1, x, a / 2 - 1, c.middle);
  }
  DrawSkinLine(glyph, l, l, e, a / 2, c.dark);
  DrawSkinLine(glyph, e, a / 2, l, e, c.dark);
  DrawSkinLine(glyph, l, e, l, l, c.dark);
  return glyph;
}

QImage BuildStopGlyph(int bar_unit, const QImage& tall_strip, int variant) {
  const GlyphGeometry g = SquareGlyphGeometry(bar_unit);
  const GlyphColours c = GlyphColoursFor(variant);
  QImage glyph = GlyphBackground(bar_unit, tall_strip, g.side);
  for (int x = g.margin; x < g.inner_end; ++x) StopColumn(glyph, g, x, c);
  DrawHollowRect(glyph, g.margin, g.margin, g.inner_end, g.inner_end, c.dark);
  return glyph;
}

QImage BuildFrameGlyph(int bar_unit, const QImage& tall_strip, int variant) {
  const GlyphGeometry g = SquareGlyphGeometry(bar_unit);
  const GlyphColours c = GlyphColoursFor(variant);
  const int l = g.margin;
  const int e = g.inner_end;
  const int q = (e - l) / 4;
  QImage glyph = GlyphBackground(bar_unit, tall_strip, g.side);
  for (int x = l; x < e; ++x) {
    if (x < l + q || x >= e - q) {
      StopColumn(glyph, g, x, c);
    } else {
      DrawSkinLine(glyph, x, l, x, l + q, c.light);
      DrawSkinLine(glyph, x, e - q, x, e, c.middle);
    }
  }
  DrawHollowRect(glyph, l, l, e, e, c.dark);
  return glyph;
}

QImage BuildNextGlyph(int bar_unit, const QImage& play) {
  const int a = play.width();
  const int h = play.height();
  QImage glyph = NewBitmap(a, h);
  const int left_width = a / 2;
  StretchCopy(glyph, QRect(0, 0, left_width, h), play, QRect(bar_unit / 8, 0, left_width, h));
  StretchCopy(glyph, QRect(left_width, 0, a - left_width, h), play, QRect(bar_unit / 2, 0, a - left_width, h));
  return glyph;
}

QImage BuildPreviousGlyph(const QImage& next) { return next.mirrored(true, false); }

QImage BuildThumbGlyph(int bar_unit, int variant) {
  const GlyphColours c = GlyphColoursFor(variant);
  const int w = bar_unit / 4;
  const int h = bar_unit / 2;
  QImage glyph = NewBitmap(w, h);
  for (int x = 0; x < w; ++x) {
    DrawSkinLine(glyph, x, 0, x, h / 2, c.light);
    DrawSkinLine(glyph, x, h / 2, x, h, c.middle);
  }
  DrawHollowRect(glyph, 0, 0, w, h, c.dark);
  return glyph;
}

QImage BuildDotGlyph(int bar_unit, const QImage& tall_strip) {
  const GlyphColours c = GlyphColoursFor(0);
  const int m = 5 * bar_unit / 6;
  const int a = SquareGlyphGeometry(bar_unit).side;
  const int inset = (a / 2 - 1) / 2;
  QImage glyph = GlyphBackground(bar_unit, tall_strip, m);
  const int reach = bar_unit / 20;
  for (int y = m / 2 - reach; y <= m / 2 + reach; ++y) {
    DrawSkinLine(glyph, inset, y, m - inset, y, y < m / 2 ? c.light : c.middle);
  }
  return glyph;
}

}  // namespace vidora
