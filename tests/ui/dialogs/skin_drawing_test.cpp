// Title strip, bar strip and control frame pixels.
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include "ui/dialogs/control_frame.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/skin/resource_pack.h"

namespace vidora {
namespace {

TEST(BarStripTest, EndsCopiedAndMiddleColumnStretched) {
  const QImage strip = testing::ColumnStrip(24);
  QImage target(100, 30, QImage::Format_RGB32);
  target.fill(Qt::black);
  {
    QPainter painter(&target);
    DrawBarStrip(painter, strip, QRect(0, 3, 100, 24));
  }
  for (int x = 0; x < 5; ++x) EXPECT_EQ(target.pixel(x, 10), strip.pixel(x, 10)) << x;
  for (int x = 5; x < 95; ++x) EXPECT_EQ(target.pixel(x, 10), strip.pixel(5, 10)) << x;
  for (int x = 95; x < 100; ++x) EXPECT_EQ(target.pixel(x, 10), strip.pixel(x - 90, 10)) << x;
  EXPECT_EQ(target.pixel(50, 2), qRgb(0, 0, 0));
  EXPECT_EQ(target.pixel(50, 27), qRgb(0, 0, 0));
}

TEST(TitleStripTest, StripUnderTitleAndLongTitleClippedAtRightEdge) {
  testing::LoadTestSkin();
  const int u = BarUnit();
  const QImage& strip = Skin().BarStrip();
  QWidget dialog;
  dialog.setWindowTitle(QString(200, QChar('W')));
  const int w = 200;
  QImage target(w, 2 * u, QImage::Format_RGB32);
  target.fill(Qt::black);
  {
    QPainter painter(&target);
    PaintTitleStrip(&dialog, painter, w);
  }
  // Frame corners and the rows below the text box are pure strip.
  EXPECT_EQ(target.pixel(0, 0), strip.pixel(0, 0));
  EXPECT_EQ(target.pixel(w - 1, u - 1), strip.pixel(9, u - 1));
  for (int x = 0; x < w; ++x) EXPECT_EQ(target.pixel(x, u - 1), strip.pixel(x < 5 ? x : (x >= w - 5 ? x - (w - 10) : 5), u - 1));
  // Nothing below the strip, and no text in the 3-pixel margins.
  EXPECT_EQ(target.pixel(w / 2, u), qRgb(0, 0, 0));
  for (int y = 0; y < u; ++y) {
    for (int x : {0, 1, 2, w - 3, w - 2, w - 1}) {
      const int column = x < 5 ? x : x - (w - 10);
      EXPECT_EQ(target.pixel(x, y), strip.pixel(column, y)) << x << "," << y;
    }
  }
  // The title itself is drawn in the near-white title colour.
  int title_pixels = 0;
  for (int y = 0; y < u * 5 / 6; ++y)
    for (int x = 3; x < w - 3; ++x) title_pixels += target.pixel(x, y) == kTitleTextRgb ? 1 : 0;
  EXPECT_GT(title_pixels, 20);
}

TEST(ControlFrameTest, OutlineOnePixelOutsideTheControl) {
  testing::LoadTestSkin();
  QWidget parent;
  parent.resize(100, 100);
  QWidget child(&parent);
  child.setGeometry(10, 20, 30, 40);
  QImage target(100, 100, QImage::Format_RGB32);
  target.fill(Qt::black);
  {
    QPainter painter(&target);
    DrawControlFrame(&child, painter);
  }
  const QRgb gold = qRgb(195, 170, 69);
  const QRgb black = qRgb(0, 0, 0);
  for (QPoint p : {QPoint(9, 19), QPoint(40, 19), QPoint(9, 60), QPoint(40, 60), QPoint(25, 19), QPoint(9, 40)})
    EXPECT_EQ(target.pixel(p), gold) << p.x() << "," << p.y();
  for (QPoint p : {QPoint(10, 20), QPoint(39, 59), QPoint(41, 19), QPoint(8, 19), QPoint(9, 61), QPoint(25, 40)})
    EXPECT_EQ(target.pixel(p), black) << p.x() << "," << p.y();
}

}  // namespace
}  // namespace vidora
