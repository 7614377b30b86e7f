// Pop-up menus wear the skin: its background, text colour and gold frame,
// without taking the skin's colours away from the dialogs' texts.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "ui/dialogs/dialog_colours.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/skin/resource_pack.h"

namespace vidora {
namespace {

void ExpectSkinned(QMenu& menu) {
  menu.ensurePolished();
  const QImage image = menu.grab().toImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(QColor(image.pixel(0, 0)), Skin().FramePen().color());
  // Inside the frame, away from the items' texts.
  EXPECT_EQ(QColor(image.pixel(image.width() - 3, image.height() - 3)), Skin().BackgroundColour());
}

int CountPixelsOf(const QImage& image, const QColor& colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (QColor(image.pixel(x, y)) == colour) ++count;
  return count;
}

TEST(MenuSkinTest, MenusAndTheirSubMenusAreDrawnWithTheSkin) {
  testing::LoadTestSkin();
  QMenu menu;
  menu.addAction(QStringLiteral("Full screen"));
  QMenu* updates = menu.addMenu(QStringLiteral("Updates"));
  updates->addAction(QStringLiteral("Check now"));
  menu.addSeparator();
  menu.addAction(QStringLiteral("Exit"));
  ApplyMenuSkin(&menu);
  ExpectSkinned(menu);
  ExpectSkinned(*updates);
}

TEST(MenuSkinTest, TheSoftKeyBarSkinsTheMenuItOpens) {
  testing::LoadTestSkin();
  SoftKeyBar bar;
  QMenu menu;
  menu.addAction(QStringLiteral("Settings"));
  bar.SetRightMenu(QStringLiteral("Menu"), &menu);
  ExpectSkinned(menu);
}

TEST(MenuSkinTest, ASkinnedMenuLeavesTheDialogTextsInTheSkinColour) {
  testing::LoadTestSkin();
  QMenu menu;
  menu.addAction(QStringLiteral("Play"));
  ApplyMenuSkin(&menu);
  menu.ensurePolished();

  QDialog dialog;
  ApplyDialogColours(&dialog);
  auto* label = new QLabel(QStringLiteral("MMMM WWWW"), &dialog);
  QFont font = label->font();
  font.setPixelSize(28);
  font.setBold(true);
  label->setFont(font);
  (new QVBoxLayout(&dialog))->addWidget(label);
  dialog.resize(300, 80);
  const QImage image = dialog.grab().toImage();
  EXPECT_GT(CountPixelsOf(image, Skin().TextColour()), 50);
  EXPECT_EQ(CountPixelsOf(image, QColor(Qt::black)), 0);
}

}  // namespace
}  // namespace vidora
