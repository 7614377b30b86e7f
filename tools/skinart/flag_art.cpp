#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

#include "skin_art.h"

namespace vidora {
namespace {

constexpr int kW = kFlagWidth;
constexpr int kH = kFlagHeight;

QImage NewFlag() {
  QImage flag(kW, kH, QImage::Format_ARGB32_Premultiplied);
  flag.fill(Qt::white);
  return flag;
}

void Fill(QPainter& p, double x, double y, double w, double h, QColor colour) {
  p.fillRect(QRectF(x, y, w, h), colour);
}

QImage HorizontalTricolour(QColor top, QColor middle, QColor bottom) {
  QImage flag = NewFlag();
  QPainter p(&flag);
  Fill(p, 0, 0, kW, kH / 3.0, top);
  Fill(p, 0, kH / 3.0, kW, kH / 3.0, middle);
  Fill(p, 0, 2 * kH / 3.0, kW, kH - 2 * kH / 3.0, bottom);
  return flag;
}

QImage VerticalTricolour(QColor left, QColor middle, QColor right) {
  QImage flag = NewFlag();
  QPainter p(&flag);
  Fill(p, 0, 0, kW / 3.0, kH, left);
  Fill(p, kW / 3.0, 0, kW / 3.0, kH, middle);
  Fill(p, 2 * kW / 3.0, 0, kW - 2 * kW / 3.0, kH, right);
  return flag;
}

QImage Switzerland() {
  QImage flag = NewFlag();
  QPainter p(&flag);
  p.fillRect(flag.rect(), QColor(218, 41, 28));
  const double arm = kH * 6.0 / 32.0;
  const double span = kH * 20.0 / 32.0;
  Fill(p, (kW - arm) / 2, (kH - span) / 2, arm, span, Qt::white);
  Fill(p, (kW - span) / 2, (kH - arm) / 2, span, arm, Qt::white);
  return flag;
}

QImage UnitedKingdom() {
  QImage flag = NewFlag();
  QPainter p(&flag);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor blue(1, 33, 105);
  const QColor red(200, 16, 46);
  p.fillRect(flag.rect(), blue);
  p.setPen(QPen(Qt::white, kH * 0.2, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(0, 0), QPointF(kW, kH));
  p.drawLine(QPointF(kW, 0), QPointF(0, kH));
  // The red saltire is offset anticlockwise from the centre line of each arm.
  const double offset = kH * 0.033;
  p.setPen(QPen(red, kH * 0.067, Qt::SolidLine, Qt::FlatCap));
  const QPointF centre(kW / 2.0, kH / 2.0);
  const QPointF to_corner[4] = {{0, 0}, {kW, 0}, {kW, kH}, {0, kH}};
  for (int i = 0; i < 4; ++i) {
    const QPointF direction = to_corner[i] - centre;
    const double length = std::hypot(direction.x(), direction.y());
    const QPointF normal(-direction.y() / length, direction.x() / length);
    const QPointF shift = normal * (i % 2 == 0 ? offset : -offset);
    p.drawLine(centre + shift, to_corner[i] + shift);
  }
  const double white_arm = kH / 3.0;
  const double red_arm = kH / 5.0;
  Fill(p, 0, (kH - white_arm) / 2, kW, white_arm, Qt::white);
  Fill(p, (kW - white_arm) / 2, 0, white_arm, kH, Qt::white);
  Fill(p, 0, (kH - red_arm) / 2, kW, red_arm, red);
  Fill(p, (kW - red_arm) / 2, 0, red_arm, kH, red);
  return flag;
}

QImage UnitedStates() {
  QImage flag = NewFlag();
  QPainter p(&flag);
  p.setRenderHint(QPainter::Antialiasing);
  const double stripe = kH / 13.0;
  for (int i = 0; i < 13; i += 2) Fill(p, 0, i * stripe, kW, stripe, QColor(178, 34, 52));
  const double canton_w = kW * 0.4;
  const double canton_h = stripe * 7;
  Fill(p, 0, 0, canton_w, canton_h, QColor(60, 59, 110));
  // Rows of stars shown as small white dots, alternating six and five.
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  const double dx = canton_w / 12.0;
  const double dy = canton_h / 10.0;
  for (int row = 0; row < 9; ++row) {
    for (int col = row % 2 == 0 ? 1 : 2; col < 12; col += 2) {
      p.drawEllipse(QPointF(col * dx, (row + 1) * dy), 0.9, 0.9);
    }
  }
  return flag;
}

QImage Spain() {
  QImage flag = NewFlag();
  QPainter p(&flag);
  const QColor red(170, 21, 27);
  Fill(p, 0, 0, kW, kH / 4.0, red);
  Fill(p, 0, kH / 4.0, kW, kH / 2.0, QColor(241, 191, 0));
  Fill(p, 0, 3 * kH / 4.0, kW, kH / 4.0, red);
  // A plain shield where the coat of arms sits, enough to tell the flag
  // apart at list size.
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath shield;
  const double sx = kW * 0.22;
  const double sy = kH * 0.34;
  const double sw = kW * 0.14;
  const double sh = kH * 0.32;
  shield.moveTo(sx, sy);
  shield.lineTo(sx + sw, sy);
  shield.lineTo(sx + sw, sy + sh * 0.6);
  shield.quadTo(sx + sw, sy + sh, sx + sw / 2, sy + sh);
  shield.quadTo(sx, sy + sh, sx, sy + sh * 0.6);
  shield.closeSubpath();
  p.fillPath(shield, red);
  p.setPen(QPen(QColor(120, 90, 0), 0.8));
  p.drawPath(shield);
  return flag;
}

QImage Sweden() {
  QImage flag = NewFlag();
  QPainter p(&flag);
  p.fillRect(flag.rect(), QColor(0, 106, 167));
  const QColor yellow(254, 204, 0);
  // Proportions 5:2:9 across and 4:2:4 down.
  const double unit_x = kW / 16.0;
  const double unit_y = kH / 10.0;
  Fill(p, 5 * unit_x, 0, 2 * unit_x, kH, yellow);
  Fill(p, 0, 4 * unit_y, kW, 2 * unit_y, yellow);
  return flag;
}

}  // namespace

std::vector<std::pair<std::string, QImage>> DrawFlags() {
  return {
      {"de", HorizontalTricolour(QColor(0, 0, 0), QColor(221, 0, 0), QColor(255, 206, 0))},
      {"at", HorizontalTricolour(QColor(200, 16, 46), Qt::white, QColor(200, 16, 46))},
      {"ch", Switzerland()},
      {"fr", VerticalTricolour(QColor(0, 35, 149), Qt::white, QColor(237, 41, 57))},
      {"gb", UnitedKingdom()},
      {"us", UnitedStates()},
      {"es", Spain()},
      {"it", VerticalTricolour(QColor(0, 146, 70), Qt::white, QColor(206, 43, 55))},
      {"nl", HorizontalTricolour(QColor(174, 28, 40), Qt::white, QColor(33, 70, 139))},
      {"se", Sweden()},
  };
}

}  // namespace vidora
