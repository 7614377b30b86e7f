// ImageButton image choice and SkinnedTrackbar painting.
#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include "ui/dialogs/image_button.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/skinned_trackbar.h"

namespace vidora {
namespace {

constexpr QRgb kNormal = qRgb(10, 200, 10);
constexpr QRgb kFocused = qRgb(10, 10, 200);
constexpr QRgb kPressed = qRgb(200, 10, 10);

GlyphSet ThreeColours(int w, int h) {
  return {testing::SolidImage(w, h, kNormal), testing::SolidImage(w, h, kFocused), testing::SolidImage(w, h, kPressed)};
}

TEST(ImageButtonTest, PressedWinsOverFocusedWhichWinsOverNormal) {
  EXPECT_EQ(ImageButton::ChooseVariant(false, false), kGlyphNormal);
  EXPECT_EQ(ImageButton::ChooseVariant(true, false), kGlyphFocused);
  EXPECT_EQ(ImageButton::ChooseVariant(false, true), kGlyphPressed);
  EXPECT_EQ(ImageButton::ChooseVariant(true, true), kGlyphPressed);
}

TEST(ImageButtonTest, ShowsTheImageOfItsStateAndTakesItsSize) {
  const GlyphSet glyphs = ThreeColours(16, 12);
  QWidget window;
  window.resize(100, 100);
  ImageButton button(&window);
  button.resize(50, 50);
  button.SetImages(glyphs);
  EXPECT_EQ(button.size(), QSize(16, 12));
  EXPECT_EQ(button.grab().toImage().pixel(5, 5), kNormal);

  button.setDown(true);
  EXPECT_EQ(button.CurrentImage(), &glyphs[kGlyphPressed]);
  EXPECT_EQ(button.grab().toImage().pixel(5, 5), kPressed);
  button.setDown(false);

  ASSERT_TRUE(testing::FocusWidget(&button));
  EXPECT_EQ(button.grab().toImage().pixel(5, 5), kFocused);
  button.setDown(true);
  EXPECT_EQ(button.grab().toImage().pixel(5, 5), kPressed);
}

TEST(ImageButtonTest, KeepSizeAndMissingImagesDrawNothing) {
  QWidget window;
  window.resize(60, 60);
  window.setAutoFillBackground(true);
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, QColor(1, 2, 3));
  window.setPalette(palette);
  ImageButton button(&window);
  button.setText(QStringLiteral("text that must not show"));
  button.set_keep_size(true);
  button.setGeometry(0, 0, 40, 40);
  const GlyphSet none{};
  button.SetImages(none);
  EXPECT_EQ(button.size(), QSize(40, 40));
  EXPECT_EQ(button.CurrentImage(), nullptr);
  const QImage shot = window.grab().toImage();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(shot.pixel(x, y), qRgb(1, 2, 3)) << x << "," << y;
}

TEST(SkinnedTrackbarTest, ChannelStretchedAndThumbCentredOnTheHandle) {
  QImage dot(20, 20, QImage::Format_RGB32);
  for (int x = 0; x < 20; ++x)
    for (int y = 0; y < 20; ++y) dot.setPixel(x, y, qRgb(x * 10, y * 10, 77));
  const GlyphSet thumbs = ThreeColours(6, 12);
  QWidget window;
  window.resize(240, 40);
  SkinnedTrackbar bar(&window);
  bar.SetGlyphs(&dot, &thumbs);
  bar.setGeometry(0, 0, 200, 20);
  bar.setRange(0, 100);
  bar.setSingleStep(5);
  bar.setPageStep(20);
  bar.setValue(50);
  bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(bar.value(), 55);
  bar.triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(bar.value(), 35);

  const QImage shot = bar.grab().toImage();
  const QRect thumb = bar.ThumbRect();
  const QPoint thumb_centre(thumb.left() + (thumb.width() - 6) / 2 + 3, thumb.top() + (thumb.height() - 12) / 2 + 6);
  EXPECT_EQ(shot.pixel(thumb_centre), kNormal);
  // Channel: left half of the dot, its middle column stretched, right half.
  const int y = 2;
  for (int x = 0; x < 10; ++x) EXPECT_EQ(shot.pixel(x, y), dot.pixel(x, y)) << x;
  for (int x = 190; x < 200; ++x) EXPECT_EQ(shot.pixel(x, y), dot.pixel(x - 180, y)) << x;
  const int away = thumb.center().x() < 100 ? 150 : 50;
  EXPECT_EQ(shot.pixel(away, y), dot.pixel(10, y));

  // A different value moves the thumb.
  bar.setValue(90);
  EXPECT_GT(bar.ThumbRect().left(), thumb.left());

  ASSERT_TRUE(testing::FocusWidget(&bar));
  const QRect r = bar.ThumbRect();
  const QImage focused = bar.grab().toImage();
  EXPECT_EQ(focused.pixel(r.left() + (r.width() - 6) / 2 + 3, r.top() + (r.height() - 12) / 2 + 6), kFocused);
  // Losing the focus brings the normal thumb back.
  bar.clearFocus();
  EXPECT_EQ(bar.grab().toImage().pixel(r.left() + (r.width() - 6) / 2 + 3, r.top() + (r.height() - 12) / 2 + 6),
            kNormal);
}

}  // namespace
}  // namespace vidora
