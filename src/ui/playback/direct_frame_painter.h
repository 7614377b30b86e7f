#ifndef VIDORA_UI_PLAYBACK_DIRECT_FRAME_PAINTER_H_
#define VIDORA_UI_PLAYBACK_DIRECT_FRAME_PAINTER_H_

#include <QImage>
#include <QRect>

#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

namespace vidora {

// Draws a video frame straight into the image a widget's paint goes to
// (for raster windows: the window's buffer), sparing a full copy of every
// frame. Only where that is exact: the device is a 32-bit 0xAARRGGBB
// image (RGB32, ARGB32 or premultiplied; the frame is opaque), the
// painter maps the widget without rotation to whole device pixels, and
// the area lies inside the image. Pixels the painter may not touch that
// the renderer could write (outside the paint's clip, and the rest of the
// rows the frame spans: renderers may write a row's padding) are saved
// before and put back after, so neighbouring widgets keep theirs. When
// too much of the area is clipped away, or the renderer could write past
// the end of the image, the painter declines and the caller draws its
// own way. Keeps its scratch memory between frames. UI thread only.
// An RGB32 image whose first pixel and every row start on a 64-byte
// boundary, as the software renderer prefers (QImage's own allocation
// only promises 4 bytes). Null when out of memory. Not filled.
QImage MakeAlignedFrameImage(int width, int height);

class DirectFramePainter {
 public:
  enum class Result {
    kDeclined,  // nothing written; draw another way
    kFailed,    // `draw` drew nothing; the device is unchanged
    kDrawn,
  };

  // `painter` is active on the widget being painted; `area` is the part
  // of the widget (its coordinates) the frame covers. `draw` gets an
  // image over the device's memory, in the device's format, of the area's
  // size in device pixels; it draws opaque pixels and returns whether it
  // drew. On kDrawn, `drawn` (if given)
  // is the rectangle written, in device pixels.
  Result Draw(QPainter& painter, const QRect& area, const std::function<bool(QImage&)>& draw,
              QRect* drawn = nullptr);

  // The pixels of `rect` of `device`, copied into an image made by
  // MakeAlignedFrameImage (null when `rect` is not inside `device`).
  static QImage CopyAligned(const QImage& device, const QRect& rect);

 private:
  std::vector<uint32_t> saved_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_DIRECT_FRAME_PAINTER_H_
