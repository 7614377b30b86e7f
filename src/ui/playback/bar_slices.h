#ifndef VIDORA_UI_PLAYBACK_BAR_SLICES_H_
#define VIDORA_UI_PLAYBACK_BAR_SLICES_H_

class QImage;
class QPainter;

namespace vidora {

// Draws a 10-pixel-wide skin strip across `width` x `height`: columns 0-4
// at the left edge, column 5 stretched over the middle, columns 5-9 at the
// right edge. A null strip draws nothing.
void DrawBarSlices(QPainter& painter, const QImage& strip, int width, int height);

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_BAR_SLICES_H_
