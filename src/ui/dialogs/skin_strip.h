#ifndef VIDORA_UI_DIALOGS_SKIN_STRIP_H_
#define VIDORA_UI_DIALOGS_SKIN_STRIP_H_

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;
class QWidget;

namespace vidora {

// Colour of the title in a dialog's title strip.
inline constexpr QRgb kTitleTextRgb = qRgb(250, 250, 255);

// Paints a 10-pixel-wide strip image across `target`: columns 0-4 at the
// left edge, column 5 stretched over the middle, columns 5-9 at the right
// edge, each scaled to the target's height. A null strip draws nothing.
void DrawBarStrip(QPainter& painter, const QImage& strip, const QRect& target);

// Paints the title strip of `dialog` (the skin's bar strip across the top
// BarUnit() pixels of a client area `width` wide) with the dialog's window
// title on it: one line, left-aligned 3 pixels in, vertically centred in
// the top 5/6 of the strip, clipped at the strip's right edge. `painter`
// paints the dialog. UI thread only.
void PaintTitleStrip(QWidget* dialog, QPainter& painter, int width);
// The same with the dialog's full width.
void PaintTitleStrip(QWidget* dialog, QPainter& painter);

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_SKIN_STRIP_H_
