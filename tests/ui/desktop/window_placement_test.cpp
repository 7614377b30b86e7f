// The main window's default size, minimum and remembered place.
#include "ui/desktop/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include "core/stores/settings_store.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

// Strip, panel, soft keys and gaps at 96 dpi.
constexpr int kChrome = 3 * 24 + 2 * 3 + 32;
constexpr int kSide = 2 * 3;

TEST(WindowPlacementTest, PlaceTextRoundTripsAndRejectsNonsense) {
  const WindowPlace place{QRect(-20, 30, 800, 600), true};
  const auto back = ParseWindowPlace(FormatWindowPlace(place));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->normal, place.normal);
  EXPECT_TRUE(back->maximised);
  EXPECT_EQ(FormatWindowPlace({QRect(1, 2, 3, 4), false}), QStringLiteral("1,2,3,4"));
  for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "a,2,3,4", "1,2,0,4", "1,2,3,-4", "1,2,3,4,min"}) {
    EXPECT_FALSE(ParseWindowPlace(QString::fromLatin1(bad)).has_value()) << bad;
  }
}

TEST(WindowPlacementTest, DefaultSizeFitsTheScreenWithANearly16To9PictureOnWideScreens) {
  for (const QRect screen : {QRect(0, 0, 1920, 1200), QRect(0, 0, 1366, 738), QRect(0, 0, 3840, 2100),
                             QRect(0, 0, 800, 600)}) {
    const QSize size = DefaultWindowSize(screen, kChrome, kSide);
    EXPECT_LE(size.width(), screen.width());
    EXPECT_LE(size.height(), screen.height());
    EXPECT_GT(size.width(), size.height()) << screen.width();
    const double ratio = static_cast<double>(size.width() - kSide) / (size.height() - kChrome);
    EXPECT_NEAR(ratio, 16.0 / 9.0, 0.05) << screen.width() << "x" << screen.height();
    EXPECT_GE(size.width(), MinimumWindowSize(kChrome).width());
  }
  // A tall screen keeps the handheld's portrait frame.
  const QSize tall = DefaultWindowSize(QRect(0, 0, 1080, 1900), kChrome, kSide);
  EXPECT_LT(tall.width(), tall.height());
  EXPECT_LE(tall.height(), 1900);
  // A tiny screen is never exceeded, even below the minimum.
  const QSize tiny = DefaultWindowSize(QRect(0, 0, 300, 200), kChrome, kSide);
  EXPECT_LE(tiny.width(), 300);
  EXPECT_LE(tiny.height(), 200);
}

TEST(WindowPlacementTest, RememberedPlaceIsUsedOnlyOnAScreenThatStillExists) {
  const QList<QRect> two{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
  const QList<QRect> one{QRect(0, 0, 1920, 1080)};
  const QSize fallback(1000, 660);
  const WindowPlace on_second{QRect(2100, 100, 900, 700), false};
  EXPECT_EQ(ChooseWindowRect(on_second, two, fallback), on_second.normal);
  // The second monitor is gone: centred on the first with the default size.
  const QRect alone = ChooseWindowRect(on_second, one, fallback);
  EXPECT_EQ(alone.size(), fallback);
  EXPECT_EQ(alone.center(), one.first().center());
  // Mostly on a screen but poking out: pulled in, size kept.
  const QRect pulled = ChooseWindowRect(WindowPlace{QRect(1400, 750, 600, 400), false}, one, fallback);
  EXPECT_EQ(pulled, QRect(1320, 680, 600, 400));
  // Larger than the screen now: shrunk to it.
  const QRect shrunk = ChooseWindowRect(WindowPlace{QRect(0, 0, 2500, 1500), false}, one, fallback);
  EXPECT_EQ(shrunk, one.first());
  EXPECT_EQ(ChooseWindowRect(std::nullopt, one, fallback).size(), fallback);
}

TEST(WindowPlacementTest, AWindowComesBackWhereItWasClosed) {
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QRect area = screen->availableGeometry();
  SetSetting(kWindowGeometrySetting, u"");
  QRect closed_at;
  {
    QWidget first;
    PlaceMainWindow(&first);
    EXPECT_TRUE(area.contains(first.geometry())) << first.width() << "x" << first.height();
    EXPECT_GT(first.minimumWidth(), 0);
    first.show();
    first.setGeometry(area.left() + 10, area.top() + 20, first.minimumWidth() + 40, first.minimumHeight() + 30);
    closed_at = first.geometry();
    RememberMainWindow(&first);
  }
  EXPECT_EQ(ToQString(GetSetting(kWindowGeometrySetting)), FormatWindowPlace({closed_at, false}));
  QWidget second;
  PlaceMainWindow(&second);
  EXPECT_EQ(second.geometry(), closed_at);
  // Smaller than the minimum cannot be asked for.
  second.resize(50, 40);
  EXPECT_GE(second.width(), second.minimumWidth());
  EXPECT_GE(second.height(), second.minimumHeight());
  SetSetting(kWindowGeometrySetting, u"");
}

}  // namespace
}  // namespace vidora
