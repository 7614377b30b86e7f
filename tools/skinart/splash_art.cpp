#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "skin_art.h"

namespace vidora {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 320;
const QColor kTextColour(236, 236, 246);
const QColor kGold(195, 170, 69);

QFont SplashFont(int pixel_size, bool bold) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixel_size);
  font.setBold(bold);
  return font;
}

// A television with a play sign and a radio wave on its screen.
void DrawEmblem(QPainter& p, const QRectF& screen) {
  p.setPen(QPen(kTextColour, 5, Qt::SolidLine, Qt::RoundCap));
  const QPointF base(screen.center().x(), screen.top());
  p.drawLine(base, base + QPointF(-26, -32));
  p.drawLine(base, base + QPointF(26, -32));

  QLinearGradient glass(screen.topLeft(), screen.bottomLeft());
  glass.setColorAt(0, QColor(40, 46, 66));
  glass.setColorAt(1, QColor(16, 18, 26));
  p.setPen(QPen(kTextColour, 5));
  p.setBrush(glass);
  p.drawRoundedRect(screen, 16, 16);

  const QPointF c = screen.center() + QPointF(-12, 0);
  QPainterPath play;
  play.moveTo(c + QPointF(-16, -24));
  play.lineTo(c + QPointF(26, 0));
  play.lineTo(c + QPointF(-16, 24));
  play.closeSubpath();
  QLinearGradient fill(c + QPointF(0, -24), c + QPointF(0, 24));
  fill.setColorAt(0, QColor(236, 212, 120));
  fill.setColorAt(1, kGold);
  p.setPen(QPen(QColor(236, 212, 120), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(play);

  p.setBrush(Qt::NoBrush);
  const QPointF wave_centre = c + QPointF(26, 0);
  for (int i = 0; i < 2; ++i) {
    const double r = 14 + i * 10;
    QColor colour = kTextColour;
    colour.setAlpha(i == 0 ? 230 : 150);
    p.setPen(QPen(colour, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(wave_centre.x() - r, wave_centre.y() - r, 2 * r, 2 * r), -40 * 16, 80 * 16);
  }
}

}  // namespace

QImage DrawSplashPicture() {
  QImage picture(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  QLinearGradient sky(0, 0, 0, kHeight);
  sky.setColorAt(0, QColor(83, 96, 135));
  sky.setColorAt(1, QColor(20, 22, 32));
  p.fillRect(picture.rect(), sky);
  QRadialGradient glow(QPointF(kWidth / 2.0, 130), 130);
  glow.setColorAt(0, QColor(150, 160, 215, 110));
  glow.setColorAt(1, QColor(150, 160, 215, 0));
  p.fillRect(picture.rect(), glow);

  DrawEmblem(p, QRectF(55, 92, 130, 92));

  const QRectF title(0, 206, kWidth, 52);
  p.setFont(SplashFont(46, true));
  p.setPen(QColor(0, 0, 0, 110));
  p.drawText(title.translated(2, 2), Qt::AlignCenter, QStringLiteral("Vidora"));
  p.setPen(kTextColour);
  p.drawText(title, Qt::AlignCenter, QStringLiteral("Vidora"));

  p.setFont(SplashFont(15, true));
  p.setPen(kGold);
  p.drawText(QRectF(0, 258, kWidth, 22), Qt::AlignCenter, QStringLiteral("TV \u00b7 Radio"));

  p.setPen(QPen(kGold, 1));
  p.drawLine(QPointF(70, 292), QPointF(170, 292));
  return picture;
}

}  // namespace vidora
