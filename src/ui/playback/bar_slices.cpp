#include "ui/playback/bar_slices.h"

#include <QImage>
#include <QPainter>

namespace vidora {

void DrawBarSlices(QPainter& painter, const QImage& strip, int width, int height) {
  if (strip.isNull()) return;
  const int source_height = strip.height();
  painter.drawImage(QRect(0, 0, 5, height), strip, QRect(0, 0, 5, source_height));
  painter.drawImage(QRect(5, 0, width - 10, height), strip, QRect(5, 0, 1, source_height));
  painter.drawImage(QRect(width - 5, 0, 5, height), strip, QRect(5, 0, 5, source_height));
}

}  // namespace vidora
