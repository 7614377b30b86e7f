// What the channels dialog and its rows look like, pixel by pixel.
#include <QDir>
#include <QPainter>

#include <cstdlib>

#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channel_row_delegate.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/catalogue/channels_test_support.h"

namespace vidora {
namespace {

constexpr QRgb kGold = qRgb(195, 170, 69);
constexpr QRgb kBackground = qRgb(61, 68, 86);

// Saves `image` under VIDORA_SCREENSHOT_DIR when that is set, for people
// to look at.
void MaybeSave(const QImage& image, const char* name) {
  const char* dir = std::getenv("VIDORA_SCREENSHOT_DIR");
  if (dir != nullptr) image.save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
}

class ChannelsLookTest : public testing::ChannelsDialogTest {};

TEST_F(ChannelsLookTest, RowsFramedFilledFlaggedAndLabelled) {
  const int h = ChannelRowDelegate::RowHeight();
  ASSERT_EQ(h, 36);
  QImage image(200, 2 * h + 2, QImage::Format_RGB32);
  image.fill(Qt::red);
  Channel* german = FindChannel("de_ard");
  {
    QPainter painter(&image);
    ChannelRowDelegate::PaintRow(painter, QRect(0, 1, 200, h), german, false);
    ChannelRowDelegate::PaintRow(painter, QRect(0, 1 + h, 200, h), FindChannel("fr_tf1"), true);
  }
  MaybeSave(image, "channel_rows.png");
  // Frame: one black line above each row (shared with the row before) and
  // at the left and right edges.
  for (int x : {0, 100, 199}) EXPECT_EQ(image.pixel(x, 0), qRgb(0, 0, 0)) << x;
  EXPECT_EQ(image.pixel(0, 20), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(199, 20), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(100, h), qRgb(0, 0, 0));
  // White fill, light grey for the selected row.
  EXPECT_EQ(image.pixel(190, 5), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(190, h + 5), qRgb(192, 192, 192));
  // The German flag at (2, (36 - 11) / 2) size 16 x 11; France has none.
  const int flag_top = 1 + (h - 11) / 2;
  EXPECT_EQ(image.pixel(2, flag_top), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(17, flag_top + 10), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(18, flag_top), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(10, h + flag_top), qRgb(192, 192, 192));
  // Name in the upper half and info line in the lower half, both dark,
  // both starting 24 pixels in.
  auto dark_in = [&](int top, int bottom) {
    int dark = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 24; x < 198; ++x) dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    return dark;
  };
  EXPECT_GT(dark_in(2, 1 + h / 2), 10);
  EXPECT_GT(dark_in(1 + h / 2, h - 4), 10);
  for (int y = 2; y < h - 1; ++y)
    for (int x = 19; x < 23; ++x) EXPECT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST_F(ChannelsLookTest, BothTabsDarkWithGoldFramesAndTheStrip) {
  FindChannel("de_zdf")->set_favourite(true);
  FindChannel("uk_bbc1")->set_favourite(true);
  ChannelsDialog dialog(nullptr, catalogue_.get());
  dialog.resize(480, 640);
  const int u = BarUnit();
  const int g = u / 8;
  const QImage channels = dialog.grab().toImage();
  MaybeSave(channels, "channels_tab.png");
  // The client background, the gold frame around the list and the combos.
  EXPECT_EQ(channels.pixel(240, 3 * u), kBackground);
  EXPECT_EQ(channels.pixel(g - 1, 3 * u + g + 10), kGold);
  EXPECT_EQ(channels.pixel(g - 1, u + g + 5), kGold);
  EXPECT_EQ(channels.pixel(6 * u + 2 * g - 1, u + g + 5), kGold);
  // The strip is the skin's bar strip, gold-framed, gradient inside.
  EXPECT_EQ(channels.pixel(0, 0), kGold);
  EXPECT_EQ(channels.pixel(100, 1), Skin().BarStrip().pixel(5, 1));
  EXPECT_EQ(channels.pixel(100, u - 2), Skin().BarStrip().pixel(5, u - 2));
  // The shown tab's label is bright, the other one grey.
  auto count = [&](const QImage& image, int left, int right, QRgb colour) {
    int n = 0;
    for (int y = 0; y < u; ++y)
      for (int x = left; x < right; ++x) n += image.pixel(x, y) == colour ? 1 : 0;
    return n;
  };
  EXPECT_GT(count(channels, 0, 240, qRgb(250, 250, 255)), 20);
  EXPECT_GT(count(channels, 240, 400, qRgb(150, 150, 155)), 20);

  dialog.ShowTab(kFavouritesTab);
  const QImage favourites = dialog.grab().toImage();
  MaybeSave(favourites, "favourites_tab.png");
  EXPECT_GT(count(favourites, 240, 400, qRgb(250, 250, 255)), 20);
  EXPECT_GT(count(favourites, 0, 240, qRgb(150, 150, 155)), 20);
  EXPECT_EQ(favourites.pixel(g - 1, u + g + 10), kGold);
  // The remembered first row is selected (light grey), the next white.
  const int h = ChannelRowDelegate::RowHeight();
  EXPECT_EQ(favourites.pixel(240, u + g + 1 + 4), qRgb(192, 192, 192));
  EXPECT_EQ(favourites.pixel(240, u + g + 1 + h + 4), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace vidora
