#include "ui/playback/direct_frame_painter.h"

#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QTransform>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace vidora {
namespace {

constexpr int kRowAlignment = 64;
// Saving and restoring more than this share (1/n) of the area costs about
// what drawing the frame aside and copying it in would.
constexpr qint64 kMaxKeptShare = 4;

void FreeAligned(void* data) { std::free(data); }

bool IsWhole(qreal value) { return std::abs(value - std::round(value)) < 1e-6; }

// `area` in device pixels, when the painter maps it onto whole pixels
// without rotation or mirroring.
std::optional<QRect> DeviceRect(const QTransform& transform, const QRect& area) {
  if (transform.type() > QTransform::TxScale || transform.m11() <= 0 || transform.m22() <= 0) return std::nullopt;
  const QRectF mapped = transform.mapRect(QRectF(area));
  if (!IsWhole(mapped.left()) || !IsWhole(mapped.top()) || !IsWhole(mapped.width()) || !IsWhole(mapped.height())) {
    return std::nullopt;
  }
  return QRect(static_cast<int>(std::lround(mapped.left())), static_cast<int>(std::lround(mapped.top())),
               static_cast<int>(std::lround(mapped.width())), static_cast<int>(std::lround(mapped.height())));
}

qint64 AreaOf(const QRegion& region) {
  qint64 area = 0;
  for (const QRect& rect : region) area += static_cast<qint64>(rect.width()) * rect.height();
  return area;
}

}  // namespace

QImage MakeAlignedFrameImage(int width, int height) {
  if (width <= 0 || height <= 0) return {};
  const qsizetype stride = (static_cast<qsizetype>(width) * 4 + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
  void* data = std::aligned_alloc(kRowAlignment, static_cast<size_t>(stride * height));
  if (data == nullptr) return {};
  return QImage(static_cast<uchar*>(data), width, height, stride, QImage::Format_RGB32, FreeAligned, data);
}

QImage DirectFramePainter::CopyAligned(const QImage& device, const QRect& rect) {
  if (rect.isEmpty() || device.depth() != 32 || !device.rect().contains(rect)) return {};
  QImage copy = MakeAlignedFrameImage(rect.width(), rect.height());
  if (copy.isNull()) return copy;
  for (int y = 0; y < rect.height(); ++y) {
    std::memcpy(copy.scanLine(y), device.constScanLine(rect.y() + y) + static_cast<qsizetype>(rect.x()) * 4,
                static_cast<size_t>(rect.width()) * 4);
  }
  return copy;
}

DirectFramePainter::Result DirectFramePainter::Draw(QPainter& painter, const QRect& area,
                                                    const std::function<bool(QImage&)>& draw, QRect* drawn) {
  QPaintEngine* engine = painter.isActive() ? painter.paintEngine() : nullptr;
  if (engine == nullptr || engine->type() != QPaintEngine::Raster) return Result::kDeclined;
  QPaintDevice* device = engine->paintDevice();
  if (device == nullptr || device->devType() != QInternal::Image) return Result::kDeclined;
  QImage& image = *static_cast<QImage*>(device);
  // Shared pixels would be copied on the first write, away from where the
  // painter draws.
  const QImage::Format format = image.format();
  if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
       format != QImage::Format_ARGB32_Premultiplied) ||
      !image.isDetached()) {
    return Result::kDeclined;
  }
  const std::optional<QRect> target = DeviceRect(painter.deviceTransform(), area);
  if (!target || target->isEmpty() || !image.rect().contains(*target)) return Result::kDeclined;

  // The renderer may write every byte from the area's first pixel to one
  // stride past the start of its last row: to the end of each of its rows,
  // and the start of the rows after them up to the area's left edge.
  QRegion reach(QRect(target->x(), target->y(), image.width() - target->x(), target->height()));
  if (target->x() > 0) {
    if (target->bottom() + 1 >= image.height()) return Result::kDeclined;
    reach += QRect(0, target->y() + 1, target->x(), target->height());
  }
  QRegion clip = engine->systemClip();
  if (clip.isEmpty()) clip = QRegion(image.rect());
  if (painter.hasClipping()) clip &= painter.deviceTransform().map(painter.clipRegion());
  const QRegion keep = reach.subtracted(clip.intersected(*target));
  const qint64 kept = AreaOf(keep);
  if (kept * kMaxKeptShare > static_cast<qint64>(target->width()) * target->height()) return Result::kDeclined;

  uchar* const bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  saved_.resize(static_cast<size_t>(kept));
  uint32_t* saved = saved_.data();
  for (const QRect& rect : keep) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      std::memcpy(saved, bits + y * stride + static_cast<qsizetype>(rect.x()) * 4, static_cast<size_t>(rect.width()) * 4);
      saved += rect.width();
    }
  }
  QImage view(bits + target->y() * stride + static_cast<qsizetype>(target->x()) * 4, target->width(),
              target->height(), stride, format);
  const bool ok = draw(view);
  saved = saved_.data();
  for (const QRect& rect : keep) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      std::memcpy(bits + y * stride + static_cast<qsizetype>(rect.x()) * 4, saved, static_cast<size_t>(rect.width()) * 4);
      saved += rect.width();
    }
  }
  if (!ok) return Result::kFailed;
  if (drawn != nullptr) *drawn = *target;
  return Result::kDrawn;
}

}  // namespace vidora
