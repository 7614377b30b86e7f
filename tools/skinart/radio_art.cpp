#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "skin_art.h"

namespace vidora {
namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;

void DrawWaves(QPainter& p, const QPointF& centre) {
  const QColor gold(195, 170, 69);
  const int radii[2] = {82, 94};
  for (int i = 0; i < 2; ++i) {
    QColor colour = gold;
    colour.setAlpha(i == 0 ? 230 : 130);
    p.setPen(QPen(colour, 3.5, Qt::SolidLine, Qt::RoundCap));
    const QRectF circle(centre.x() - radii[i], centre.y() - radii[i], 2.0 * radii[i], 2.0 * radii[i]);
    // Qt angles are in sixteenths of a degree, counter-clockwise from 3 o'clock.
    p.drawArc(circle, -22 * 16, 44 * 16);
    p.drawArc(circle, 158 * 16, 44 * 16);
  }
}

void DrawSpeaker(QPainter& p, const QPointF& centre, double radius) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(26, 29, 40));
  p.drawEllipse(centre, radius, radius);
  QPainterPath clip;
  clip.addEllipse(centre, radius - 3, radius - 3);
  p.save();
  p.setClipPath(clip);
  p.setBrush(QColor(112, 122, 160));
  for (double y = centre.y() - radius; y <= centre.y() + radius; y += 6) {
    for (double x = centre.x() - radius; x <= centre.x() + radius; x += 6) {
      p.drawEllipse(QPointF(x, y), 1.5, 1.5);
    }
  }
  p.restore();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(195, 170, 69), 2.5));
  p.drawEllipse(centre, radius, radius);
}

// A rounded rectangle shaded from `top` to `bottom`, outlined with `edge`.
void DrawShadedBox(QPainter& p, const QRectF& box, double corner, QColor top, QColor bottom, const QPen& edge) {
  QLinearGradient shade(box.topLeft(), box.bottomLeft());
  shade.setColorAt(0, top);
  shade.setColorAt(1, bottom);
  p.setPen(edge);
  p.setBrush(shade);
  p.drawRoundedRect(box, corner, corner);
}

void DrawDial(QPainter& p, const QRectF& dial) {
  DrawShadedBox(p, dial, 4, QColor(250, 236, 170), QColor(214, 186, 100), QPen(QColor(40, 36, 24), 1.5));
  p.setPen(QPen(QColor(90, 74, 30), 1));
  for (int i = 0; i <= 10; ++i) {
    const double x = dial.left() + 6 + i * (dial.width() - 12) / 10.0;
    const double tick = i % 5 == 0 ? 9 : 5;
    p.drawLine(QPointF(x, dial.bottom() - 4), QPointF(x, dial.bottom() - 4 - tick));
  }
  p.setPen(QPen(QColor(200, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
  const double needle = dial.left() + dial.width() * 0.62;
  p.drawLine(QPointF(needle, dial.top() + 3), QPointF(needle, dial.bottom() - 3));
}

void DrawKnob(QPainter& p, const QPointF& centre, double radius, double angle_degrees) {
  QRadialGradient shade(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
  shade.setColorAt(0, QColor(235, 235, 245));
  shade.setColorAt(1, QColor(90, 96, 118));
  p.setPen(QPen(QColor(30, 33, 44), 1.5));
  p.setBrush(shade);
  p.drawEllipse(centre, radius, radius);
  p.save();
  p.translate(centre);
  p.rotate(angle_degrees);
  p.setPen(QPen(QColor(40, 44, 60), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(0, -radius * 0.3), QPointF(0, -radius * 0.8));
  p.restore();
}

}  // namespace

QImage DrawRadioPicture() {
  QImage picture(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);

  const QRectF body(30, 52, 140, 84);
  DrawWaves(p, body.center());

  // Antenna and carrying handle behind the body.
  p.setPen(QPen(QColor(160, 165, 185), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(148, 56), QPointF(176, 10));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(220, 220, 235));
  p.drawEllipse(QPointF(176, 10), 4, 4);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(70, 78, 104), 7, Qt::SolidLine, Qt::RoundCap));
  QPainterPath handle;
  handle.moveTo(56, 56);
  handle.cubicTo(60, 26, 140, 26, 144, 56);
  p.drawPath(handle);

  DrawShadedBox(p, body, 14, QColor(96, 110, 152), QColor(44, 49, 66), QPen(QColor(140, 150, 190), 2));

  DrawSpeaker(p, QPointF(72, 94), 29);
  DrawDial(p, QRectF(110, 64, 50, 26));
  DrawKnob(p, QPointF(121, 114), 9, -40);
  DrawKnob(p, QPointF(150, 114), 9, 35);
  return picture;
}

}  // namespace vidora
