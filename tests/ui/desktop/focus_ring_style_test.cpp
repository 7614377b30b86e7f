// The keyboard focus shows as a ring in the skin's frame colour.
#include "ui/desktop/focus_ring_style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <initializer_list>

#include "ui/dialogs/image_button.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/skinned_trackbar.h"

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

// Whether every side of `widget`'s grab has ring pixels near its edge.
bool RingedAllRound(QWidget* widget, QRgb ring) {
  const QImage image = widget->grab().toImage();
  const int w = image.width();
  const int h = image.height();
  auto any = [&](int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (image.pixel(x, y) == ring) return true;
    return false;
  };
  return any(0, 0, w, 4) && any(0, h - 4, w, h) && any(0, 0, 4, h) && any(w - 4, 0, w, h);
}

TEST(FocusRingStyleTest, CombosButtonsEditsListsAndSkinControlsAreRingedWhileFocused) {
  testing::LoadTestSkin();
  const QColor ring = Skin().HighlightColour();
  EXPECT_EQ(ring, Skin().FramePen().color());
  FocusRingStyle style(ring);
  QWidget window;
  window.setStyle(&style);
  window.resize(240, 400);
  auto* combo = new QComboBox(&window);
  combo->addItems({QStringLiteral("All countries"), QStringLiteral("France")});
  auto* button = new QPushButton(QStringLiteral("Playlists"), &window);
  auto* edit = new QLineEdit(QStringLiteral("http://127.0.0.1/a.m3u"), &window);
  auto* list = new QListWidget(&window);
  list->addItems({QStringLiteral("One"), QStringLiteral("Two")});
  auto* image_button = new ImageButton(&window);
  const QImage glyph = testing::SolidImage(40, 40, qRgb(10, 10, 200));
  image_button->SetImages(&glyph, &glyph, &glyph);
  auto* trackbar = new SkinnedTrackbar(&window);
  trackbar->setFocusPolicy(Qt::StrongFocus);
  int y = 0;
  for (QWidget* control : std::initializer_list<QWidget*>{combo, button, edit, list, image_button, trackbar}) {
    control->setStyle(&style);
    control->setGeometry(10, y, control == image_button ? 40 : 200, control == list ? 100 : 40);
    y += control == list ? 110 : 50;
  }
  for (QWidget* control : std::initializer_list<QWidget*>{combo, button, edit, list, image_button, trackbar}) {
    ASSERT_TRUE(testing::FocusWidget(control)) << control->metaObject()->className();
    EXPECT_TRUE(RingedAllRound(control, ring.rgb())) << control->metaObject()->className();
    for (QWidget* other : std::initializer_list<QWidget*>{combo, button, edit, list, image_button, trackbar}) {
      if (other == control) continue;
      EXPECT_EQ(RingPixels(other->grab().toImage(), ring.rgb()), 0) << other->metaObject()->className();
    }
  }
}

}  // namespace
}  // namespace vidora
