#include "ui/skin/skin_painting.h"

#include <cstdlib>

namespace vidora {
namespace {

void PutPixel(QImage& image, int x, int y, QRgb rgb) {
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
  image.setPixel(x, y, rgb);
}

int Interpolate(int from, int to, int step, int steps) {
  return steps <= 0 ? from : from + (to - from) * step / steps;
}

}  // namespace

void DrawSkinLine(QImage& image, int x0, int y0, int x1, int y1, QColor colour) {
  const QRgb rgb = colour.rgb();
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  int x = x0;
  int y = y0;
  while (x != x1 || y != y1) {
    PutPixel(image, x, y, rgb);
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
}

void DrawHollowRect(QImage& image, int left, int top, int right, int bottom, QColor colour) {
  if (right <= left || bottom <= top) return;
  const int r = right - 1;
  const int b = bottom - 1;
  if (r == left || b == top) {
    // A one-pixel-wide or -high rectangle: the closed path would draw
    // nothing where its ends meet, so draw the single run plus its end.
    DrawSkinLine(image, left, top, r, b, colour);
    PutPixel(image, r, b, colour.rgb());
    return;
  }
  DrawSkinLine(image, left, top, r, top, colour);
  DrawSkinLine(image, r, top, r, b, colour);
  DrawSkinLine(image, r, b, left, b, colour);
  DrawSkinLine(image, left, b, left, top, colour);
}

void FillVerticalGradient(QImage& image, int left, int top, int right, int bottom, QColor from, QColor to) {
  const int steps = bottom - top - 1;
  for (int y = top; y < bottom; ++y) {
    const int step = y - top;
    const QColor row(Interpolate(from.red(), to.red(), step, steps),
                     Interpolate(from.green(), to.green(), step, steps),
                     Interpolate(from.blue(), to.blue(), step, steps));
    DrawSkinLine(image, left, y, right, y, row);
  }
}

void StretchCopy(QImage& target, const QRect& target_rect, const QImage& source, const QRect& source_rect) {
  if (target_rect.isEmpty() || source_rect.isEmpty()) return;
  for (int y = 0; y < target_rect.height(); ++y) {
    const int sy = source_rect.top() + y * source_rect.height() / target_rect.height();
    if (sy < 0 || sy >= source.height()) continue;
    for (int x = 0; x < target_rect.width(); ++x) {
      const int sx = source_rect.left() + x * source_rect.width() / target_rect.width();
      if (sx < 0 || sx >= source.width()) continue;
      PutPixel(target, target_rect.left() + x, target_rect.top() + y, source.pixel(sx, sy));
    }
  }
}

}  // namespace vidora
