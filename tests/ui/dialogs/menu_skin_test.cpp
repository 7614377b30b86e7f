// Pop-up menus wear the skin: its background, text colour and gold frame.
#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include "ui/dialogs/dialog_colours.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/stores/resource_pack.h"

namespace vidora {
namespace {

TEST(MenuSkinTest, PopUpMenusAreDrawnWithTheSkin) {
  testing::LoadTestSkin();
  ApplyMenuSkin();
  QMenu menu;
  menu.addAction(QStringLiteral("Full screen"));
  menu.addSeparator();
  menu.addAction(QStringLiteral("Exit"));
  menu.ensurePolished();
  const QImage image = menu.grab().toImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(QColor(image.pixel(0, 0)), Skin().FramePen().color());
  // Inside the frame, away from the items' texts.
  EXPECT_EQ(QColor(image.pixel(image.width() - 3, image.height() - 3)), Skin().BackgroundColour());
  qApp->setStyleSheet(QString());
}

}  // namespace
}  // namespace vidora
