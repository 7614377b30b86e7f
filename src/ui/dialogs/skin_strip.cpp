#include "ui/dialogs/skin_strip.h"

#include <QPainter>
#include <QWidget>

#include "ui/skin/resource_pack.h"

namespace vidora {

void DrawBarStrip(QPainter& painter, const QImage& strip, const QRect& target) {
  if (strip.isNull() || strip.width() < 10 || target.isEmpty()) return;
  const int h = strip.height();
  const int x = target.x();
  const int y = target.y();
  const int w = target.width();
  const int th = target.height();
  painter.drawImage(QRect(x, y, 5, th), strip, QRect(0, 0, 5, h));
  if (w > 10) painter.drawImage(QRect(x + 5, y, w - 10, th), strip, QRect(5, 0, 1, h));
  painter.drawImage(QRect(x + w - 5, y, 5, th), strip, QRect(5, 0, 5, h));
}

void PaintTitleStrip(QWidget* dialog, QPainter& painter, int width) {
  const int u = BarUnit();
  painter.save();
  DrawBarStrip(painter, Skin().BarStrip(), QRect(0, 0, width, u));
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setFont(Skin().TitleFont());
  painter.setPen(QColor(kTitleTextRgb));
  const QRect text_rect = QRect(0, 0, width, u * 5 / 6).adjusted(3, 0, -3, 0);
  // The title never runs past the strip: long titles are cut, not elided.
  painter.setClipRect(text_rect);
  painter.drawText(text_rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, dialog->windowTitle());
  painter.restore();
}

void PaintTitleStrip(QWidget* dialog, QPainter& painter) { PaintTitleStrip(dialog, painter, dialog->width()); }

}  // namespace vidora
