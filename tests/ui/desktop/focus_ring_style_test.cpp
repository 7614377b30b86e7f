// The keyboard focus shows as a ring in the skin's frame colour.
#include "ui/desktop/focus_ring_style.h"

#include <QCheckBox>
#include <QWidget>

#include <gtest/gtest.h>

#include "ui/dialogs/skin_test_support.h"

namespace vidora {
namespace {

int RingPixels(const QImage& image, QRgb ring) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == ring ? 1 : 0;
  return count;
}

TEST(FocusRingStyleTest, AFocusedControlWearsTheRingAndAnUnfocusedOneDoesNot) {
  const QColor ring(201, 170, 60);
  FocusRingStyle style(ring);
  QWidget window;
  window.resize(200, 80);
  auto* first = new QCheckBox(QStringLiteral("Hide adult channels"), &window);
  auto* second = new QCheckBox(QStringLiteral("Update automatically"), &window);
  for (QCheckBox* box : {first, second}) box->setStyle(&style);
  first->setGeometry(0, 0, 200, 30);
  second->setGeometry(0, 40, 200, 30);
  ASSERT_TRUE(testing::FocusWidget(first));
  EXPECT_GT(RingPixels(first->grab().toImage(), ring.rgb()), 40);
  EXPECT_EQ(RingPixels(second->grab().toImage(), ring.rgb()), 0);
  ASSERT_TRUE(testing::FocusWidget(second));
  EXPECT_EQ(RingPixels(first->grab().toImage(), ring.rgb()), 0);
  EXPECT_GT(RingPixels(second->grab().toImage(), ring.rgb()), 40);
}

}  // namespace
}  // namespace vidora
