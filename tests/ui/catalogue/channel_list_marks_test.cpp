// The channel list on a desktop: marks for kind and favourite, the empty
// list's line, combos as wide as their longest entry, the Favourites tab
// on its first row and a single search result ready for Enter.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channel_row_delegate.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/catalogue/channels_test_support.h"
#include "ui/shell/shell_test_support.h"

namespace vidora {
namespace {

class ChannelListMarksTest : public testing::ChannelsDialogTest {
 protected:
  void SetUp() override {
    ChannelsDialogTest::SetUp();
    owner_.setGeometry(0, 0, 480, 640);
    owner_.show();
  }

  static QImage PaintOne(const Channel* channel) {
    const int h = ChannelRowDelegate::RowHeight();
    QImage image(200, h + 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ChannelRowDelegate::PaintRow(painter, QRect(0, 1, 200, h), channel, false);
    return image;
  }
  // Pixels that are neither row white nor frame/text black in the right
  // quarter of a row: the marks.
  static int MarkPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 2; y < image.height() - 2; ++y)
      for (int x = 150; x < 198; ++x) count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
  }

  QWidget owner_;
};

TEST_F(ChannelListMarksTest, RowsMarkTheKindAndTheFavourites) {
  Channel* tv = FindChannel("de_ard");
  Channel* radio = FindChannel("de_radio1");
  const QRgb tv_mark = qRgb(53, 66, 135);
  const QRgb radio_mark = qRgb(20, 110, 60);
  const QRgb star = qRgb(200, 140, 0);
  EXPECT_GT(MarkPixels(PaintOne(tv), tv_mark), 10);
  EXPECT_EQ(MarkPixels(PaintOne(tv), radio_mark), 0);
  EXPECT_GT(MarkPixels(PaintOne(radio), radio_mark), 10);
  EXPECT_EQ(MarkPixels(PaintOne(radio), tv_mark), 0);
  EXPECT_EQ(MarkPixels(PaintOne(tv), star), 0);
  tv->set_favourite(true);
  EXPECT_GT(MarkPixels(PaintOne(tv), star), 3);
}

TEST_F(ChannelListMarksTest, AnEmptyListSaysSoAndTheCombosKeepTheirEntries) {
  testing::InstallLanguages(dir_.path() / "Languages.lngp",
                            {testing::TestLanguage{u"English",
                                                   u"en",
                                                   {{"str_no_channels", u"No channels"},
                                                    {"cat_e", u"Entertainment"},
                                                    {"str_tv", u"TV"},
                                                    {"str_radio", u"Radio"}}}},
                            u"en");
  ChannelsDialog dialog(&owner_, catalogue_.get());
  dialog.open();
  const int countries = dialog.country_combo()->count();
  // Radio and the Entertainment category: nothing in the sample.
  dialog.kind_combo()->setCurrentIndex(kKindRadio);
  for (int i = 0; i < dialog.category_combo()->count(); ++i) {
    if (dialog.category_combo()->itemText(i) == QStringLiteral("Entertainment")) {
      dialog.category_combo()->setCurrentIndex(i);
    }
  }
  ASSERT_EQ(dialog.channel_list()->RowCount(), 0);
  EXPECT_EQ(dialog.country_combo()->count(), countries);
  // The line is painted in the list's text colour on its base.
  const QImage empty = dialog.channel_list()->viewport()->grab().toImage();
  const QRgb base = empty.pixel(empty.width() - 2, empty.height() - 2);
  int ink = 0;
  for (int y = 0; y < BarUnit() * 2; ++y)
    for (int x = 0; x < empty.width(); ++x) ink += empty.pixel(x, y) != base ? 1 : 0;
  EXPECT_GT(ink, 20);
  dialog.kind_combo()->setCurrentIndex(0);
  const QImage full = dialog.channel_list()->viewport()->grab().toImage();
  EXPECT_NE(full, empty);
}

TEST_F(ChannelListMarksTest, CombosAreWideEnoughForTheirLongestEntry) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  dialog.open();
  for (QComboBox* combo : {dialog.country_combo(), dialog.category_combo(), dialog.kind_combo()}) {
    const QFontMetrics metrics(combo->font());
    int longest = 0;
    for (int i = 0; i < combo->count(); ++i) longest = std::max(longest, metrics.horizontalAdvance(combo->itemText(i)));
    EXPECT_GT(combo->width(), longest) << combo->currentText().toStdString();
    EXPECT_LE(combo->geometry().right(), dialog.width());
  }
  EXPECT_FALSE(dialog.country_combo()->geometry().intersects(dialog.kind_combo()->geometry()));
}

TEST_F(ChannelListMarksTest, FavouritesOpenOnTheirFirstRowAndOneSearchHitIsSelected) {
  FindChannel("fr_tf1")->set_favourite(true);
  FindChannel("uk_bbc1")->set_favourite(true);
  {
    SetSetting(kSelectedTabSetting, kFavouritesTab);
    DialogSelection().tab = kFavouritesTab;
    ChannelsDialog dialog(&owner_, catalogue_.get());
    dialog.open();
    ASSERT_EQ(dialog.ShownTab(), kFavouritesTab);
    ASSERT_NE(dialog.favourites_list()->SelectedChannel(), nullptr);
    EXPECT_EQ(dialog.favourites_list()->SelectedChannel(), dialog.favourites_list()->ChannelAtShownRow(0));
    dialog.RunCommand(ID_PLAY);
    EXPECT_TRUE(dialog.play_requested());
  }
  SetSetting(kSelectedTabSetting, kChannelsTab);
  DialogSelection().tab = kChannelsTab;
  ChannelsDialog dialog(&owner_, catalogue_.get());
  dialog.open();
  ChannelListView* list = dialog.channel_list();
  list->selectionModel()->clear();
  for (const char* letter : {"z", "d"}) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString::fromLatin1(letter));
    QApplication::sendEvent(list, &key);
  }
  ASSERT_EQ(list->RowCount(), 1);
  ASSERT_NE(list->SelectedChannel(), nullptr);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(list, &enter);
  ASSERT_NE(dialog.chosen_channel(), nullptr);
  EXPECT_EQ(dialog.chosen_channel()->key(), "de_zdf");
}

}  // namespace
}  // namespace vidora
