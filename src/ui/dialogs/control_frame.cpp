#include "ui/dialogs/control_frame.h"

#include <QPainter>
#include <QWidget>

#include "ui/skin/resource_pack.h"

namespace vidora {

void DrawControlFrame(const QWidget* control, QPainter& painter) {
  const QRect r = control->geometry();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Skin().FramePen());
  painter.setBrush(Qt::NoBrush);
  // A one-pixel outline of a QRect covers width + 1 columns, so the grown
  // rectangle (x - 1 .. x + w) is drawn with width w + 1.
  painter.drawRect(QRect(r.x() - 1, r.y() - 1, r.width() + 1, r.height() + 1));
  painter.restore();
}

}  // namespace vidora
