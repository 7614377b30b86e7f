#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "ui/fullscreen/fake_sysfs.h"
#include "ui/shell/accelerometer.h"
#include "ui/shell/iio_motion_sensor.h"
#include "ui/shell/key_press_watch.h"
#include "ui/shell/tilt_tracker.h"

namespace vidora {
namespace {

using testing::FakeSysfs;
using testing::TempDir;
using testing::WriteSysfsValue;

TEST(AccelerometerTest, FindsTheFirstAccelerometerAndScalesToMilliG) {
  FakeSysfs sysfs;
  auto sensor = Accelerometer::Find(sysfs.root.path());
  ASSERT_TRUE(sensor.has_value());
  EXPECT_EQ(sensor->device(), sysfs.accel);
  MotionSample sample;
  sysfs.Set(-250, 980, 40);
  ASSERT_TRUE(sensor->Read(sample));
  EXPECT_EQ(sample.x, -250);
  EXPECT_EQ(sample.y, 980);
  EXPECT_EQ(sample.z, 40);

  // A per-axis scale wins over the shared one.
  WriteSysfsValue(sysfs.accel / "in_accel_z_scale", "0.019613300");
  ASSERT_TRUE(sensor->Read(sample));
  EXPECT_EQ(sample.z, 80);

  // A device that goes away fails the read.
  std::filesystem::remove(sysfs.accel / "in_accel_y_raw");
  EXPECT_FALSE(sensor->Read(sample));
}

TEST(AccelerometerTest, NoDeviceMeansNoSensor) {
  TempDir empty;
  EXPECT_FALSE(Accelerometer::Find(empty.path()).has_value());
  EXPECT_FALSE(Accelerometer::Find(empty / "missing").has_value());
  TempDir broken;
  WriteSysfsValue(broken / "iio:device0" / "in_accel_x_raw", "not a number");
  EXPECT_FALSE(Accelerometer::Find(broken.path()).has_value());
}

TEST(IioMotionSensorTest, OpensTheAccelerometerOrRunsWithoutSensor) {
  FakeSysfs sysfs;
  std::unique_ptr<MotionSensor> sensor = OpenMotionSensor(sysfs.root.path());
  ASSERT_TRUE(sensor->Available());
  MotionSample sample;
  sysfs.Landscape();
  ASSERT_TRUE(sensor->Read(sample));
  EXPECT_EQ(sample.x, -1000);
  // Closed at shutdown: still the sensor that opened, but it reads nothing.
  sensor->Close();
  EXPECT_TRUE(sensor->Available());
  EXPECT_FALSE(sensor->Read(sample));

  TempDir empty;
  std::unique_ptr<MotionSensor> none = OpenMotionSensor(empty.path());
  EXPECT_FALSE(none->Available());
  EXPECT_FALSE(none->Read(sample));
  none->Close();
}

TEST(TiltTest, ClassifiesByTheThresholds) {
  EXPECT_EQ(ClassifyTilt(false, {0, 1000, 0}), Tilt::kNone);
  EXPECT_EQ(ClassifyTilt(true, {0, 1000, 0}), Tilt::kPortrait);
  EXPECT_EQ(ClassifyTilt(true, {399, 501, 0}), Tilt::kPortrait);
  EXPECT_EQ(ClassifyTilt(true, {400, 501, 0}), Tilt::kNone);
  EXPECT_EQ(ClassifyTilt(true, {-1000, 0, 0}), Tilt::kLandscape);
  EXPECT_EQ(ClassifyTilt(true, {599, 299, 0}), Tilt::kLandscape);
  EXPECT_EQ(ClassifyTilt(true, {600, 0, 0}), Tilt::kNone);
  EXPECT_EQ(ClassifyTilt(true, {-1000, 0, 700}), Tilt::kNone);
  EXPECT_EQ(ClassifyTilt(true, {0, 1000, -700}), Tilt::kNone);
  EXPECT_EQ(ClassifyTilt(true, {-1000, 0, 699}), Tilt::kLandscape);
}

TEST(TiltTest, EightAgreeingSamplesRotateAndAnOddOneRestartsTheCount) {
  TiltTracker tracker;
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(tracker.Feed(Tilt::kLandscape, true).has_value());
  EXPECT_FALSE(tracker.Feed(Tilt::kNone, true).has_value());  // restart
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(tracker.Feed(Tilt::kLandscape, true).has_value());
  EXPECT_EQ(tracker.Feed(Tilt::kLandscape, true), DMDO_270);
  EXPECT_TRUE(tracker.tilt_rotated());
  EXPECT_EQ(tracker.tilt_count(), 0);

  // Landscape samples no longer count; portrait ones turn it back, and a
  // sample taken while another application is in front counts as none.
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(tracker.Feed(Tilt::kLandscape, true).has_value());
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(tracker.Feed(Tilt::kPortrait, true).has_value());
  EXPECT_FALSE(tracker.Feed(Tilt::kPortrait, false).has_value());
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(tracker.Feed(Tilt::kPortrait, true).has_value());
  EXPECT_EQ(tracker.Feed(Tilt::kPortrait, true), DMDO_0);
  EXPECT_FALSE(tracker.tilt_rotated());
}

TEST(TiltTest, SamplesFromTheFakeSensorNeverRotateWhenFlat) {
  FakeSysfs sysfs;
  auto sensor = Accelerometer::Find(sysfs.root.path());
  ASSERT_TRUE(sensor.has_value());
  TiltTracker tracker;
  sysfs.Set(-1000, 0, 700);  // landscape by X and Y, but lying flat
  for (int i = 0; i < 20; ++i) {
    MotionSample sample;
    const bool ok = sensor->Read(sample);
    EXPECT_FALSE(tracker.Feed(ClassifyTilt(ok, sample), true).has_value());
  }
  sysfs.Set(-1000, 0, 0);
  std::optional<int> turned;
  for (int i = 0; i < 8; ++i) {
    MotionSample sample;
    const bool ok = sensor->Read(sample);
    turned = tracker.Feed(ClassifyTilt(ok, sample), true);
  }
  EXPECT_EQ(turned, DMDO_270);
}

TEST(KeyPressWatchTest, RemembersWatchedPressesUntilTaken) {
  KeyPressWatch watch;
  QWidget widget;
  EXPECT_FALSE(watch.TakePressed());

  QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(&widget, &letter);
  EXPECT_FALSE(watch.TakePressed());

  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right,
                  Qt::Key_Select, Qt::Key_Execute}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    EXPECT_TRUE(watch.TakePressed()) << key;
    EXPECT_FALSE(watch.TakePressed());
  }

  QMouseEvent right(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&widget, &right);
  EXPECT_FALSE(watch.TakePressed());
  QMouseEvent left(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&widget, &left);
  EXPECT_TRUE(watch.TakePressed());
}

}  // namespace
}  // namespace vidora
