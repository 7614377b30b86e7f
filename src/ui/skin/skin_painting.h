#ifndef VIDORA_UI_SKIN_SKIN_PAINTING_H_
#define VIDORA_UI_SKIN_SKIN_PAINTING_H_

#include <QColor>
#include <QImage>
#include <QRect>

namespace vidora {

// Pixel-exact drawing helpers for the skin's bitmaps. They write pixels
// directly, without antialiasing; pixels outside the image are skipped.

// A one-pixel line from (x0, y0) towards (x1, y1) that leaves out its end
// point (Bresenham steps, so horizontal, vertical and diagonal lines all
// work). A line whose ends coincide draws nothing.
void DrawSkinLine(QImage& image, int x0, int y0, int x1, int y1, QColor colour);

// The outline of `left`..`right` x `top`..`bottom` with right and bottom
// exclusive: the pixels from left to right - 1 and from top to bottom - 1
// on the border, drawn as four lines.
void DrawHollowRect(QImage& image, int left, int top, int right, int bottom, QColor colour);

// A vertical gradient over rows [top, bottom) and columns [left, right):
// the first row takes `from`, the last row `to`, the rows between an
// integer interpolation per channel.
void FillVerticalGradient(QImage& image, int left, int top, int right, int bottom, QColor from, QColor to);

// Copies `source_rect` of `source` into `target_rect` of `target`,
// scaling with nearest-neighbour sampling (no smoothing).
void StretchCopy(QImage& target, const QRect& target_rect, const QImage& source, const QRect& source_rect);

}  // namespace vidora

#endif  // VIDORA_UI_SKIN_SKIN_PAINTING_H_
