// The seek bar over a live channel's picture: it shows once the engine
// holds a buffer, says how far behind live the picture is, and its keys
// and clicks move inside the buffer and back to live.
#include "ui/timeshift/timeshift_bar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include "ui/playback/fake_player_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/player_video_widget.h"

namespace vidora {
namespace {

using testing::FakePlayerBackend;

// A key press as the window's shortcut map gets it.
void Press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent override_event(QEvent::ShortcutOverride, key, modifiers);
  QApplication::sendEvent(window, &override_event);
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(window, &press);
}

TEST(TimeshiftBarTest, PausesStepsAndReturnsToLiveInsideTheBuffer) {
  QWidget view;
  view.resize(400, 300);
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 400, 240), std::make_unique<FakePlayerBackend>(record), {});
  TimeshiftBar bar(&view, &view, &host, TimeshiftLimits{60, 2048});
  bar.Follow(host.window());
  view.show();
  QApplication::setActiveWindow(&view);
  host.Play(u"http://127.0.0.1/live.m3u8");
  EXPECT_FALSE(bar.isVisible());

  record.position = {1000.0, 400.0, 1000.5};
  record.observer->OnBackendPositionChange();
  ASSERT_TRUE(bar.isVisible());
  EXPECT_EQ(bar.geometry().bottom(), host.window()->geometry().bottom());
  EXPECT_EQ(LiveLabel(bar.at()), u"LIVE");

  bar.TogglePause();
  EXPECT_EQ(record.pauses, std::vector<bool>{true});
  Press(&view, Qt::Key_Left);
  Press(&view, Qt::Key_Left, Qt::ShiftModifier);
  Press(&view, Qt::Key_Right);
  EXPECT_EQ(record.seeks, (std::vector<double>{990.0, 940.0, 1000.5}));

  // While paused the live edge moves on: the picture falls behind it.
  record.position = {940.0, 400.0, 1694.0};
  record.observer->OnBackendPositionChange();
  EXPECT_EQ(LiveLabel(bar.at()), u"\u221212:34");
  // A click on the label is the way back: resumed, at the live edge.
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() - 20, bar.height() / 2));
  EXPECT_EQ(record.pauses, (std::vector<bool>{true, false}));
  EXPECT_EQ(record.seeks.back(), 1694.0);
  Press(&view, Qt::Key_End);
  EXPECT_EQ(record.seeks.back(), 1694.0);

  // Without a buffer the bar goes and its keys do nothing.
  record.position = {};
  record.observer->OnBackendPositionChange();
  EXPECT_FALSE(bar.isVisible());
  const size_t seeks = record.seeks.size();
  Press(&view, Qt::Key_Left);
  EXPECT_EQ(record.seeks.size(), seeks);
}

}  // namespace
}  // namespace vidora
