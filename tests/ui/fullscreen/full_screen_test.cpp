// The full-screen switch and the motion sensor on a real main frame: how
// the presentation is entered and left, the display turns it asks for, and
// the frame tick driven by a fake sysfs accelerometer.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/image_button.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/fullscreen/fake_sysfs.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/info_strip.h"
#include "ui/shell/iio_motion_sensor.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/shell_test_support.h"

namespace vidora {
namespace {

using testing::FakeSysfs;

// Records every turn the frame asks for; answers whether the display
// "turned" as the test says.
class FakeOrientation : public DisplayOrientation {
 public:
  FakeOrientation(std::vector<int>* turns, const bool* answer) : turns_(turns), answer_(answer) {}
  bool SetDisplayOrientation(int value) override {
    turns_->push_back(value);
    return *answer_;
  }

 private:
  std::vector<int>* turns_;
  const bool* answer_;
};

void Press(QWidget* widget, QEvent::Type type) {
  const QPointF at(widget->width() / 2, widget->height() / 2);
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget) {
  Press(widget, QEvent::MouseButtonPress);
  Press(widget, QEvent::MouseButtonRelease);
}

class FullScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::LoadTestSkin();
    testing::InstallLanguages(dir_ / "Languages.lngp",
                              {testing::TestLanguage{u"English", u"en", {{"app_mvdra", u"Vidora"}}}}, u"en");
    // No update check may leave this machine.
    SetSetting(kAutoCatalogueUpdateSetting, false);
    SetSetting(kAutoUpdateSetting, false);
    SetSetting(kPublisherHostSetting, u"127.0.0.1:1");
    SetSetting(kLandscapeFullScreenSetting, true);
  }
  void TearDown() override {
    SetCurrentMotionSensor(nullptr);
    FreeCatalogue();
    FreeLanguagePack();
  }

  std::unique_ptr<MainFrame> MakeFrame() {
    MainFrameOptions options;
    options.view.backend = [this] { return std::make_unique<testing::FakePlayerBackend>(record_); };
    options.save_settings = [] { return true; };
    options.display_orientation = [this](QWidget*) { return std::make_unique<FakeOrientation>(&turns_, &turned_); };
    auto frame = std::make_unique<MainFrame>(std::move(options));
    frame->resize(320, 480);
    frame->show();
    QApplication::setActiveWindow(frame.get());
    return frame;
  }

  // Uses the accelerometer of `sysfs_` as the process's motion sensor.
  void UseSensor() {
    sensor_ = OpenMotionSensor(sysfs_.root.path());
    ASSERT_TRUE(sensor_->Available());
    SetCurrentMotionSensor(sensor_.get());
  }

  static void Ticks(MainFrame& frame, int count) {
    for (int i = 0; i < count; ++i) frame.Tick();
  }

  // The window system moves the frame after the switch has asked for it.
  static void ExpectFullScreen(MainFrame& frame) {
    MainView* view = frame.view();
    EXPECT_TRUE(view->full_screen_layout());
    EXPECT_TRUE(frame.isFullScreen());
    EXPECT_TRUE(testing::ProcessUntil([&] { return frame.geometry() == frame.screen()->geometry(); }));
    EXPECT_TRUE(frame.soft_keys()->isHidden());
    EXPECT_EQ(view->geometry(), QRect(QPoint(0, 0), frame.size()));
    EXPECT_EQ(view->playback()->PlayerRect(), QRect(QPoint(0, 0), view->size()));
    EXPECT_TRUE(view->playback()->strip()->isHidden());
    EXPECT_TRUE(view->playback()->panel()->isHidden());
  }

  static void ExpectNormal(MainFrame& frame, const QRect& geometry) {
    MainView* view = frame.view();
    EXPECT_FALSE(view->full_screen_layout());
    EXPECT_FALSE(frame.isFullScreen());
    EXPECT_TRUE(testing::ProcessUntil([&] { return frame.geometry() == geometry; })) << frame.geometry().x();
    EXPECT_FALSE(frame.soft_keys()->isHidden());
    EXPECT_EQ(view->height(), frame.height() - SoftKeyBar::BarHeight());
    EXPECT_FALSE(view->playback()->strip()->isHidden());
    EXPECT_FALSE(view->playback()->panel()->isHidden());
    EXPECT_LT(view->playback()->PlayerRect().height(), view->height());
  }

  testing::TempDir dir_;
  FakeSysfs sysfs_;
  std::unique_ptr<MotionSensor> sensor_;
  testing::FakePlayerBackend::Record record_;
  std::vector<int> turns_;
  bool turned_ = true;
};

TEST_F(FullScreenTest, CommandEntersLandscapeAndLeavesBackToTheWindowInPortrait) {
  auto frame = MakeFrame();
  const QRect before = frame->geometry();
  frame->Trigger(MainCommand::kFullScreen);
  ExpectFullScreen(*frame);
  EXPECT_EQ(turns_, std::vector<int>{DMDO_270});

  frame->Trigger(MainCommand::kFullScreen);
  ExpectNormal(*frame, before);
  EXPECT_EQ(turns_, (std::vector<int>{DMDO_270, DMDO_0}));
}

TEST_F(FullScreenTest, OnlyATurnThatEnteringMadeIsUndone) {
  // A screen that is already wide does not turn on entering, so leaving
  // must not stand it on its side.
  turned_ = false;
  auto frame = MakeFrame();
  frame->Trigger(MainCommand::kFullScreen);
  frame->Trigger(MainCommand::kFullScreen);
  EXPECT_EQ(turns_, std::vector<int>{DMDO_270});

  // Closing while full screen turns the display back.
  turned_ = true;
  turns_.clear();
  frame->Trigger(MainCommand::kFullScreen);
  frame->close();
  EXPECT_EQ(turns_, (std::vector<int>{DMDO_270, DMDO_0}));
}

TEST_F(FullScreenTest, LandscapeFsOffNeverTurns) {
  SetSetting(kLandscapeFullScreenSetting, false);
  auto frame = MakeFrame();
  const QRect before = frame->geometry();
  frame->Trigger(MainCommand::kFullScreen);
  ExpectFullScreen(*frame);
  frame->Trigger(MainCommand::kFullScreen);
  ExpectNormal(*frame, before);
  EXPECT_TRUE(turns_.empty());
}

TEST_F(FullScreenTest, WithASensorLandscapeFsHasNoEffect) {
  UseSensor();
  auto frame = MakeFrame();
  frame->Trigger(MainCommand::kFullScreen);
  ExpectFullScreen(*frame);
  frame->Trigger(MainCommand::kFullScreen);
  EXPECT_TRUE(turns_.empty());
}

TEST_F(FullScreenTest, MaximisedWindowComesBackMaximised) {
  auto frame = MakeFrame();
  const QRect normal = frame->geometry();
  frame->showMaximized();
  ASSERT_TRUE(testing::ProcessUntil([&] { return frame->geometry() != normal; }));
  const QRect maximised = frame->geometry();
  frame->Trigger(MainCommand::kFullScreen);
  ExpectFullScreen(*frame);
  frame->Trigger(MainCommand::kFullScreen);
  EXPECT_TRUE(frame->isMaximized());
  EXPECT_TRUE(testing::ProcessUntil([&] { return frame->geometry() == maximised; }));
}

TEST_F(FullScreenTest, PanelButtonEntersAndATapOrAKeyLeavesAtTheNextTick) {
  auto frame = MakeFrame();
  const QRect before = frame->geometry();
  MainView* view = frame->view();

  Click(view->playback()->panel()->full_screen_button());
  ExpectFullScreen(*frame);
  // The click that chose full screen does not end it.
  frame->Tick();
  EXPECT_TRUE(view->full_screen_layout());

  // A tap on the picture.
  Press(view, QEvent::MouseButtonPress);
  EXPECT_TRUE(view->full_screen_layout());  // only the tick acts
  frame->Tick();
  ExpectNormal(*frame, before);
  EXPECT_EQ(turns_, (std::vector<int>{DMDO_270, DMDO_0}));

  // A navigation key; another key does nothing.
  frame->Trigger(MainCommand::kFullScreen);
  QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(view, &letter);
  frame->Tick();
  EXPECT_TRUE(view->full_screen_layout());
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(view, &enter);
  frame->Tick();
  ExpectNormal(*frame, before);
}

TEST_F(FullScreenTest, FocusElsewhereAndClicksInADialogKeepFullScreen) {
  auto frame = MakeFrame();
  frame->Trigger(MainCommand::kFullScreen);
  // A dialog of the player's own, clicked and typed in.
  QWidget own(frame.get(), Qt::Dialog);
  own.show();
  QApplication::setActiveWindow(&own);
  Press(&own, QEvent::MouseButtonPress);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&own, &enter);
  frame->Tick();
  EXPECT_TRUE(frame->view()->full_screen_layout());

  // Another window (another monitor's) in front.
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  Press(&other, QEvent::MouseButtonPress);
  frame->Tick();
  EXPECT_TRUE(frame->view()->full_screen_layout());
  EXPECT_TRUE(frame->isFullScreen());
  EXPECT_TRUE(frame->soft_keys()->isHidden());
}

TEST_F(FullScreenTest, EightLandscapeSamplesTurnTheDisplayAndEightPortraitOnesTurnItBack) {
  UseSensor();
  auto frame = MakeFrame();
  sysfs_.Landscape();
  Ticks(*frame, 7);
  EXPECT_TRUE(turns_.empty());
  EXPECT_EQ(frame->tilt().tilt_count(), 7);
  frame->Tick();
  EXPECT_EQ(turns_, std::vector<int>{DMDO_270});
  EXPECT_TRUE(frame->tilt().tilt_rotated());

  // Held on its side it stays turned; upright for 0.8 s it turns back.
  Ticks(*frame, 20);
  sysfs_.Portrait();
  Ticks(*frame, 7);
  EXPECT_EQ(turns_.size(), 1u);
  frame->Tick();
  EXPECT_EQ(turns_, (std::vector<int>{DMDO_270, DMDO_0}));
  EXPECT_FALSE(frame->tilt().tilt_rotated());
  // The sensor turns the display, never the presentation.
  EXPECT_FALSE(frame->view()->full_screen_layout());
}

TEST_F(FullScreenTest, AnOddSampleOrAFailedReadStartsTheCountAgain) {
  UseSensor();
  auto frame = MakeFrame();
  sysfs_.Landscape();
  Ticks(*frame, 6);
  sysfs_.Portrait();
  frame->Tick();
  sysfs_.Landscape();
  Ticks(*frame, 6);
  // The device goes away for one sample.
  std::filesystem::rename(sysfs_.accel / "in_accel_z_raw", sysfs_.accel / "gone");
  frame->Tick();
  std::filesystem::rename(sysfs_.accel / "gone", sysfs_.accel / "in_accel_z_raw");
  Ticks(*frame, 7);
  EXPECT_TRUE(turns_.empty());
  frame->Tick();
  EXPECT_EQ(turns_, std::vector<int>{DMDO_270});
}

TEST_F(FullScreenTest, FlatSamplesNeverCount) {
  UseSensor();
  auto frame = MakeFrame();
  for (int z : {700, -700, 1000}) {
    sysfs_.Set(-1000, 0, z);  // on its side by X and Y, but lying flat
    Ticks(*frame, 20);
  }
  EXPECT_TRUE(turns_.empty());
  EXPECT_EQ(frame->tilt().tilt_count(), 0);
}

TEST_F(FullScreenTest, SamplesDoNotCountWhileAnotherWindowIsActive) {
  UseSensor();
  auto frame = MakeFrame();
  sysfs_.Landscape();
  Ticks(*frame, 7);
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  Ticks(*frame, 20);
  EXPECT_TRUE(turns_.empty());
  EXPECT_EQ(frame->tilt().tilt_count(), 0);

  // A dialog of the frame's own counts as the application in front.
  QWidget own(frame.get(), Qt::Dialog);
  own.show();
  QApplication::setActiveWindow(&own);
  Ticks(*frame, 8);
  EXPECT_EQ(turns_, std::vector<int>{DMDO_270});
}

TEST_F(FullScreenTest, SettingsDialogShowsTheLandscapeBoxOnlyWithoutSensor) {
  testing::TempDir no_devices;
  std::unique_ptr<MotionSensor> none = OpenMotionSensor(no_devices.path());
  SetCurrentMotionSensor(none.get());
  auto frame = MakeFrame();
  {
    SettingsDialog dialog(nullptr, frame->full_screen_turn());
    EXPECT_FALSE(dialog.check(SettingsDialog::Box::kLandscape)->isHidden());
  }
  UseSensor();
  SettingsDialog dialog(nullptr, frame->full_screen_turn());
  EXPECT_TRUE(dialog.check(SettingsDialog::Box::kLandscape)->isHidden());
}

TEST_F(FullScreenTest, WithoutAPanelToTurnTheLandscapeBoxIsNotOffered) {
  testing::TempDir no_devices;
  std::unique_ptr<MotionSensor> none = OpenMotionSensor(no_devices.path());
  SetCurrentMotionSensor(none.get());
  MainFrameOptions options;
  options.view.backend = [this] { return std::make_unique<testing::FakePlayerBackend>(record_); };
  options.save_settings = [] { return true; };
  MainFrame frame(std::move(options));  // an ordinary desktop: no back end to turn the display
  frame.resize(320, 480);
  frame.show();
  EXPECT_EQ(frame.full_screen_turn(), FullScreenTurn::kNever);
  SettingsDialog dialog(&frame, frame.full_screen_turn());
  EXPECT_TRUE(dialog.check(SettingsDialog::Box::kLandscape)->isHidden());
  // The settings dialog the frame opens itself hides the box too.
  int opened = 0;
  testing::ModalAnswerer answerer([&opened](QWidget* modal) {
    if (auto* settings = qobject_cast<SettingsDialog*>(modal)) {
      ++opened;
      EXPECT_TRUE(settings->check(SettingsDialog::Box::kLandscape)->isHidden());
      EXPECT_FALSE(settings->check(SettingsDialog::Box::kHideAdult)->isHidden());
      settings->RunCommand(ID_SOFTKEY_RIGHT);
    }
  });
  frame.Trigger(MainCommand::kSettings);
  EXPECT_EQ(opened, 1);
}

}  // namespace
}  // namespace vidora
