#include "ui/playback/aligned_frame_image.h"

#include <cstdlib>

namespace vidora {
namespace {

constexpr int kRowAlignment = 64;

void FreeAligned(void* data) { std::free(data); }

}  // namespace

QImage MakeAlignedFrameImage(int width, int height) {
  if (width <= 0 || height <= 0) return {};
  const qsizetype stride = (static_cast<qsizetype>(width) * 4 + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
  void* data = std::aligned_alloc(kRowAlignment, static_cast<size_t>(stride * height));
  if (data == nullptr) return {};
  return QImage(static_cast<uchar*>(data), width, height, stride, QImage::Format_RGB32, FreeAligned, data);
}

}  // namespace vidora
