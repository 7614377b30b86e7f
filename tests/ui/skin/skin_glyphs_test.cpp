#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "ui/skin/resource_pack.h"
#include "ui/skin/skin_painting.h"

namespace vidora {
namespace {

const QRgb kLight0 = qRgb(200, 200, 255);
const QRgb kMiddle0 = qRgb(150, 150, 200);
const QRgb kDark0 = qRgb(100, 100, 120);
const QRgb kFrame = qRgb(195, 170, 69);

// The computed skin of a pack loaded for one screen density, without
// picture files.
class SkinGlyphsTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    SetBarUnitForDpi(GetParam());
    unit_ = BarUnit();
    pack_.Load("/nonexistent/Resources.qdoc", "/nonexistent/cbuild.qdoc");
  }
  void TearDown() override {
    pack_.Free();
    ResetBarUnit();
  }

  // The glyph background at row y: the tall strip's middle rows.
  QRgb Background(int side, int y) const {
    return pack_.TallBarStrip().pixel(1, (2 * unit_ - side) / 2 + y);
  }

  int unit_ = 0;
  ResourcePack pack_;
};

// The control glyphs are 40 pixels at 96 dpi and twice that at 192 dpi.
TEST_P(SkinGlyphsTest, GlyphsGrowWithTheScreenDensity) {
  const int scale = GetParam() == 96 ? 1 : 2;
  EXPECT_EQ(pack_.BarStrip().height(), 24 * scale);
  EXPECT_EQ(pack_.TallBarStrip().height(), 48 * scale);
  for (const GlyphSet* set : {&pack_.PlayGlyphs(), &pack_.StopGlyphs(), &pack_.FrameGlyphs(),
                              &pack_.NextGlyphs(), &pack_.PreviousGlyphs()}) {
    for (const QImage& glyph : *set) EXPECT_EQ(glyph.size(), QSize(40, 40) * scale);
  }
  for (const QImage& thumb : pack_.ThumbGlyphs()) EXPECT_EQ(thumb.size(), QSize(6, 12) * scale);
  EXPECT_EQ(pack_.DotGlyph().size(), QSize(20, 20) * scale);
}

TEST_P(SkinGlyphsTest, StripsHaveGradientsAndFrame) {
  for (const QImage* strip : {&pack_.BarStrip(), &pack_.TallBarStrip()}) {
    const int h = strip->height();
    for (int y = 0; y < h; ++y) {
      EXPECT_EQ(strip->pixel(0, y), kFrame);
      EXPECT_EQ(strip->pixel(9, y), kFrame);
    }
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(strip->pixel(x, 0), kFrame);
      EXPECT_EQ(strip->pixel(x, h - 1), kFrame);
    }
    // Row 1 is one interpolation step below the top colour.
    const QColor first = strip->pixelColor(1, 1);
    EXPECT_NEAR(first.red(), 83, 2);
    EXPECT_NEAR(first.green(), 96, 3);
    EXPECT_NEAR(first.blue(), 135, 6);
    EXPECT_EQ(strip->pixel(1, h / 2 - 1), qRgb(57, 62, 77));
    EXPECT_EQ(strip->pixel(5, h / 2), qRgb(15, 15, 15));
    const QColor last = strip->pixelColor(1, h - 2);
    EXPECT_NEAR(last.red(), 17, 1);
    EXPECT_NEAR(last.blue(), 32, 3);
    // Darker going down within the upper half.
    EXPECT_GT(strip->pixelColor(1, 2).blue(), strip->pixelColor(1, h / 2 - 2).blue());
  }
}

TEST_P(SkinGlyphsTest, PlayIsAShadedTriangle) {
  const int u = unit_;
  const int a = 5 * u / 3, l = u / 2, e = a - l;
  const QImage& play = pack_.PlayGlyphs()[0];
  for (int y = l; y <= e; ++y) EXPECT_EQ(play.pixel(l, y), kDark0) << y;  // left edge
  EXPECT_EQ(play.pixel(e, a / 2), kDark0);                               // tip
  const int x = (l + e) / 2;
  const int top = l + (a / 2 - l) * (x - l) / (e - l);                  // outline row at x
  EXPECT_EQ(play.pixel(x, top), kDark0);
  EXPECT_EQ(play.pixel(x, top - 1), Background(a, top - 1));
  EXPECT_EQ(play.pixel(x, a / 2 - 1), kLight0);
  EXPECT_EQ(play.pixel(x, top + 1), kLight0);
  EXPECT_EQ(play.pixel(x, a / 2), kMiddle0);
  EXPECT_EQ(play.pixel(x, a - top - 2), kMiddle0);
  EXPECT_EQ(play.pixel(x, a - top), kDark0);
  EXPECT_EQ(play.pixel(x, a - top + 1), Background(a, a - top + 1));
  EXPECT_EQ(play.pixel(e + 1, a / 2), Background(a, a / 2));
  EXPECT_EQ(play.pixel(2, 2), Background(a, 2));
  // Other variants use their own colours.
  EXPECT_EQ(pack_.PlayGlyphs()[1].pixel(l, l), qRgb(120, 120, 140));
  EXPECT_EQ(pack_.PlayGlyphs()[2].pixel(x, a / 2), qRgb(130, 130, 170));
}

TEST_P(SkinGlyphsTest, StopIsAFramedSquare) {
  const int u = unit_;
  const int a = 5 * u / 3, l = u / 2, e = a - l;
  const QImage& stop = pack_.StopGlyphs()[0];
  EXPECT_EQ(stop.pixel(l, l), kDark0);
  EXPECT_EQ(stop.pixel(e - 1, e - 1), kDark0);
  EXPECT_EQ(stop.pixel(e - 1, l + 3), kDark0);
  EXPECT_EQ(stop.pixel(e, e), Background(a, e));
  EXPECT_EQ(stop.pixel(l - 1, a / 2), Background(a, a / 2));
  EXPECT_EQ(stop.pixel(a / 2, l + 1), kLight0);
  EXPECT_EQ(stop.pixel(a / 2, a / 2 - 1), kLight0);
  EXPECT_EQ(stop.pixel(a / 2, a / 2), kMiddle0);
  EXPECT_EQ(stop.pixel(a / 2, e - 2), kMiddle0);
  EXPECT_EQ(pack_.StopGlyphs()[1].pixel(a / 2, l + 1), qRgb(230, 230, 255));
}

TEST_P(SkinGlyphsTest, FrameIsARingShowingTheBackground) {
  const int u = unit_;
  const int a = 5 * u / 3, l = u / 2, e = a - l, q = (e - l) / 4;
  const QImage& frame = pack_.FrameGlyphs()[0];
  const int c = a / 2;
  EXPECT_EQ(frame.pixel(c, l), kDark0);
  EXPECT_EQ(frame.pixel(c, l + 1), kLight0);
  EXPECT_EQ(frame.pixel(c, l + q - 1), kLight0);
  EXPECT_EQ(frame.pixel(c, l + q), Background(a, l + q));
  EXPECT_EQ(frame.pixel(c, c), Background(a, c));
  EXPECT_EQ(frame.pixel(c, e - q - 1), Background(a, e - q - 1));
  EXPECT_EQ(frame.pixel(c, e - q), kMiddle0);
  EXPECT_EQ(frame.pixel(c, e - 1), kDark0);
  // Side bars: full columns like Stop's.
  EXPECT_EQ(frame.pixel(l + 1, c - 1), kLight0);
  EXPECT_EQ(frame.pixel(l + q - 1, c), kMiddle0);
  EXPECT_EQ(frame.pixel(e - q, c), kMiddle0);
  EXPECT_EQ(frame.pixel(e - q - 1, c), Background(a, c));
}

TEST_P(SkinGlyphsTest, NextAndPreviousAreCutFromPlay) {
  const int u = unit_;
  const int a = 5 * u / 3;
  for (int v = 0; v < 3; ++v) {
    const QImage& play = pack_.PlayGlyphs()[v];
    const QImage& next = pack_.NextGlyphs()[v];
    const QImage& previous = pack_.PreviousGlyphs()[v];
    for (int y = 0; y < a; ++y) {
      EXPECT_EQ(next.pixel(a / 2 - 1, y), play.pixel(a / 2 - 1 + u / 8, y));
      EXPECT_EQ(next.pixel(0, y), play.pixel(u / 8, y));
      EXPECT_EQ(next.pixel(a / 2, y), play.pixel(u / 2, y));
      EXPECT_EQ(next.pixel(a - 1, y), play.pixel(a - 1 - a / 2 + u / 2, y));
      for (int x = 0; x < a; ++x) ASSERT_EQ(previous.pixel(x, y), next.pixel(a - 1 - x, y));
    }
  }
  // The second triangle's flat side sits right of the middle.
  EXPECT_EQ(pack_.NextGlyphs()[0].pixel(a / 2, a / 2), kDark0);
  EXPECT_EQ(pack_.PreviousGlyphs()[0].pixel(a - 1 - a / 2, a / 2), kDark0);
}

TEST_P(SkinGlyphsTest, ThumbAndDot) {
  const int u = unit_;
  const QImage& thumb = pack_.ThumbGlyphs()[0];
  const int w = u / 4, h = u / 2;
  EXPECT_EQ(thumb.pixel(0, 0), kDark0);
  EXPECT_EQ(thumb.pixel(w - 1, h - 1), kDark0);
  EXPECT_EQ(thumb.pixel(w / 2, h / 2 - 1), kLight0);
  EXPECT_EQ(thumb.pixel(w / 2, 1), kLight0);
  EXPECT_EQ(thumb.pixel(w / 2, h / 2), kMiddle0);
  EXPECT_EQ(thumb.pixel(w / 2, h - 2), kMiddle0);
  EXPECT_EQ(pack_.ThumbGlyphs()[2].pixel(0, 0), qRgb(90, 90, 100));

  const QImage& dot = pack_.DotGlyph();
  const int m = 5 * u / 6;
  const int inset = (5 * u / 3 / 2 - 1) / 2;
  const int reach = u / 20;
  EXPECT_EQ(dot.pixel(inset, m / 2 - reach), kLight0);
  EXPECT_EQ(dot.pixel(m - inset - 1, m / 2 - 1), kLight0);
  EXPECT_EQ(dot.pixel(inset, m / 2), kMiddle0);
  EXPECT_EQ(dot.pixel(m - inset - 1, m / 2 + reach), kMiddle0);
  EXPECT_EQ(dot.pixel(m - inset, m / 2), Background(m, m / 2));
  EXPECT_EQ(dot.pixel(inset - 1, m / 2), Background(m, m / 2));
  EXPECT_EQ(dot.pixel(inset, m / 2 - reach - 1), Background(m, m / 2 - reach - 1));
  EXPECT_EQ(dot.pixel(inset, m / 2 + reach + 1), Background(m, m / 2 + reach + 1));
}

TEST_P(SkinGlyphsTest, ColoursPenAndFonts) {
  EXPECT_EQ(pack_.TextColour(), QColor(220, 220, 235));
  EXPECT_EQ(pack_.BackgroundColour(), QColor(61, 68, 86));
  EXPECT_EQ(pack_.BackgroundBrush().color(), QColor(61, 68, 86));
  EXPECT_EQ(pack_.FramePen().color(), QColor(195, 170, 69));
  EXPECT_EQ(pack_.FramePen().width(), 1);
  EXPECT_TRUE(pack_.TitleFont().bold());
  EXPECT_TRUE(pack_.SmallBoldFont().bold());
  EXPECT_FALSE(pack_.SmallFont().bold());
  EXPECT_GT(pack_.TitleFont().pixelSize(), 0);
  EXPECT_EQ(pack_.SmallBoldFont().pixelSize(), pack_.TitleFont().pixelSize() * 3 / 4);
  EXPECT_EQ(pack_.SmallFont().pixelSize(), pack_.SmallBoldFont().pixelSize());
}

INSTANTIATE_TEST_SUITE_P(Densities, SkinGlyphsTest, ::testing::Values(96, 192));

TEST(SkinPaintingTest, LinesLeaveOutTheirEndPoint) {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::black);
  const QRgb white = qRgb(255, 255, 255);
  DrawSkinLine(image, 1, 1, 5, 1, Qt::white);
  EXPECT_EQ(image.pixel(1, 1), white);
  EXPECT_EQ(image.pixel(4, 1), white);
  EXPECT_NE(image.pixel(5, 1), white);
  DrawSkinLine(image, 6, 6, 6, 2, Qt::white);  // upwards
  EXPECT_EQ(image.pixel(6, 6), white);
  EXPECT_EQ(image.pixel(6, 3), white);
  EXPECT_NE(image.pixel(6, 2), white);
  DrawSkinLine(image, 0, 7, 3, 4, Qt::white);  // diagonal
  EXPECT_EQ(image.pixel(1, 6), white);
  EXPECT_EQ(image.pixel(2, 5), white);
  EXPECT_NE(image.pixel(3, 4), white);
  // Off the image is skipped, not written.
  DrawSkinLine(image, -5, 0, 20, 0, Qt::white);
  EXPECT_EQ(image.pixel(7, 0), white);
}

TEST(BarUnitTest, FormulaAndCache) {
  EXPECT_EQ(BarUnitForDpi(96), 24);
  EXPECT_EQ(BarUnitForDpi(192), 48);
  EXPECT_EQ(BarUnitForDpi(120), 30);
  EXPECT_EQ(BarUnitForDpi(131), 33);
  SetBarUnitForDpi(192);
  EXPECT_EQ(BarUnit(), 48);
  EXPECT_EQ(BarGap(), 6);
  ResetBarUnit();
  EXPECT_EQ(BarUnit(), 24);  // the offscreen screen reports 96 dpi
}

}  // namespace
}  // namespace vidora
