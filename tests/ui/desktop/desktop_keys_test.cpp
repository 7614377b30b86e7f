// The desktop's keys and mouse on the real main window: play/stop, full
// screen, volume, favourites, the wheel and double-click over the picture,
// the trackbar's click, and the tooltips that name them.
#include "ui/desktop/desktop_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/image_button.h"
#include "ui/dialogs/skin_test_support.h"
#include "e2e/wait_for.h"
#include "ui/dialogs/skinned_trackbar.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/playback_test_support.h"
#include "ui/playback/volume_trackbar.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/shell_test_support.h"

namespace vidora::testing {
namespace {

void PressKey(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent override_event(QEvent::ShortcutOverride, key, modifiers);
  QApplication::sendEvent(window, &override_event);
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(window, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(window, &release);
}

void Mouse(QWidget* widget, QEvent::Type type, QPointF at = {-1, -1}) {
  if (at.x() < 0) at = QPointF(widget->width() / 2, widget->height() / 2);
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

void Wheel(QWidget* widget, int delta) {
  const QPointF at(widget->width() / 2, widget->height() / 2);
  QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

class DesktopKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    InstallLanguages(dir_.path() / "Languages.lngp", {TestLanguage{u"English", u"en", {{"app_mvdra", u"Vidora"}}}},
                     u"en");
    SetSetting(kAutoCatalogueUpdateSetting, false);
    SetSetting(kAutoUpdateSetting, false);
    SetSetting(kPublisherHostSetting, u"127.0.0.1:1");
    SetSetting(kVolumeSetting, 50);
    SetSetting(kHideAdultSetting, false);
    DocNode root("1.0");
    DocNode* de = root.AddChild("de");
    AddTestChannel(*de, "tv", u"http://127.0.0.1:9/tv.y4m");
    AddTestChannel(*de, "tv2", u"http://127.0.0.1:9/tv2.y4m");
    SaveDocumentFile(root, dir_.path() / "channels.vdch");

    MainFrameOptions options;
    options.view.backend = [this] { return std::make_unique<FakePlayerBackend>(record_); };
    options.view.catalogue_file = dir_.path() / "channels.vdch";
    options.save_settings = [] { return true; };
    frame_ = std::make_unique<MainFrame>(std::move(options));
    frame_->resize(480, 640);
    frame_->show();
    QApplication::setActiveWindow(frame_.get());
    catalogue_ = Catalogue();
    catalogue_->FindChannelByKey("de_tv")->set_favourite(true);
    catalogue_->FindChannelByKey("de_tv2")->set_favourite(true);
    catalogue_->SetCurrentChannel(catalogue_->FindChannelByKey("de_tv"));
  }
  void TearDown() override {
    frame_.reset();
    FreeCatalogue();
    FreeLanguagePack();
  }

  PlaybackControl* playback() { return frame_->view()->playback(); }
  QWidget* picture() { return playback()->player()->window(); }
  int volume() { return playback()->panel()->volume()->value(); }

  TempDir dir_;
  FakePlayerBackend::Record record_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<MainFrame> frame_;
};

TEST_F(DesktopKeysTest, SpacePlaysAndPausesAndPageKeysStepTheFavourites) {
  PressKey(frame_.get(), Qt::Key_Space);
  ASSERT_TRUE(playback()->playing());
  ASSERT_FALSE(record_.loads.empty());
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/tv.y4m");
  PressKey(frame_.get(), Qt::Key_PageDown);
  EXPECT_EQ(catalogue_->CurrentChannel(), catalogue_->FindChannelByKey("de_tv2"));
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/tv2.y4m");
  PressKey(frame_.get(), Qt::Key_PageUp);
  EXPECT_EQ(catalogue_->CurrentChannel(), catalogue_->FindChannelByKey("de_tv"));
  // Space now pauses; Stop stays on its button.
  PressKey(frame_.get(), Qt::Key_Space);
  EXPECT_TRUE(playback()->playing());
  ASSERT_FALSE(record_.pauses.empty());
  EXPECT_TRUE(record_.pauses.back());
}

TEST_F(DesktopKeysTest, FAndF11ToggleFullScreenAndEscapeOnlyLeavesIt) {
  PressKey(frame_.get(), Qt::Key_Escape);
  EXPECT_FALSE(frame_->view()->full_screen_layout());
  PressKey(frame_.get(), Qt::Key_F);
  EXPECT_TRUE(frame_->view()->full_screen_layout());
  PressKey(frame_.get(), Qt::Key_Escape);
  EXPECT_FALSE(frame_->view()->full_screen_layout());
  PressKey(frame_.get(), Qt::Key_F11);
  EXPECT_TRUE(frame_->view()->full_screen_layout());
  // Ctrl+Up sets the volume in full screen; it is no navigation key.
  PressKey(frame_.get(), Qt::Key_Up, Qt::ControlModifier);
  frame_->Tick();
  EXPECT_TRUE(frame_->view()->full_screen_layout());
  PressKey(frame_.get(), Qt::Key_F11);
  EXPECT_FALSE(frame_->view()->full_screen_layout());
}

TEST_F(DesktopKeysTest, VolumeKeysMuteAndTheWheelMoveTheTrackbarAndTheSetting) {
  ASSERT_EQ(volume(), 50);
  PressKey(frame_.get(), Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(volume(), 55);
  PressKey(frame_.get(), Qt::Key_Down, Qt::ControlModifier);
  PressKey(frame_.get(), Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(volume(), 45);
  // Mute is a state of its own: the level stays where it was.
  PressKey(frame_.get(), Qt::Key_M);
  EXPECT_TRUE(playback()->muted());
  EXPECT_TRUE(record_.muted);
  EXPECT_EQ(volume(), 45);
  EXPECT_EQ(GetSetting(kVolumeSetting), 45);
  PressKey(frame_.get(), Qt::Key_M);
  EXPECT_FALSE(record_.muted);
  EXPECT_EQ(volume(), 45);
  Wheel(picture(), 120);
  EXPECT_EQ(volume(), 50);
  // A touchpad's small steps add up to one notch.
  Wheel(picture(), -60);
  EXPECT_EQ(volume(), 50);
  Wheel(picture(), -60);
  EXPECT_EQ(volume(), 45);
  Wheel(picture(), -240);
  EXPECT_EQ(volume(), 35);
  EXPECT_EQ(GetSetting(kVolumeSetting), 35);
  EXPECT_EQ(playback()->volume_level(), 35);
}

TEST_F(DesktopKeysTest, AWheelTurnIsSavedWithinSecondsWithoutClosing) {
  const std::filesystem::path file = dir_.path() / "Settings.cfg";
  Settings().Load(file);
  Wheel(picture(), -240);
  ASSERT_EQ(volume(), 40);
  const auto saved_volume = [&] {
    SettingsStore saved;
    saved.Load(file);
    return saved.FindInt(kVolumeSetting.key).value_or(-1);
  };
  EXPECT_TRUE(WaitFor([&] { return saved_volume() == 40; }, 5000));
  Settings().Load({});
}

TEST_F(DesktopKeysTest, DoubleClickOnThePictureEntersFullScreenAndOneInFullScreenOnlyLeaves) {
  Mouse(picture(), QEvent::MouseButtonPress);
  Mouse(picture(), QEvent::MouseButtonRelease);
  Mouse(picture(), QEvent::MouseButtonDblClick);
  Mouse(picture(), QEvent::MouseButtonRelease);
  ASSERT_TRUE(frame_->view()->full_screen_layout());
  frame_->Tick();
  EXPECT_TRUE(frame_->view()->full_screen_layout());  // the gesture itself does not end it

  // In full screen the first press leaves at the next tick; the second
  // half of the double-click must not enter again.
  Mouse(picture(), QEvent::MouseButtonPress);
  frame_->Tick();
  EXPECT_FALSE(frame_->view()->full_screen_layout());
  Mouse(picture(), QEvent::MouseButtonRelease);
  Mouse(picture(), QEvent::MouseButtonDblClick);
  EXPECT_FALSE(frame_->view()->full_screen_layout());
}

TEST_F(DesktopKeysTest, AClickOnTheTrackMovesTheThumbThereAndTheThumbIsWide) {
  SkinnedTrackbar* bar = playback()->panel()->volume();
  const QRect thumb = bar->ThumbRect();
  const int span = bar->width() - thumb.width();
  Mouse(bar, QEvent::MouseButtonPress, QPointF(thumb.width() / 2 + span * 0.8, bar->height() / 2));
  Mouse(bar, QEvent::MouseButtonRelease, QPointF(thumb.width() / 2 + span * 0.8, bar->height() / 2));
  EXPECT_NEAR(bar->value(), 80, 1);
  EXPECT_NEAR(GetSetting(kVolumeSetting), 80, 1);
  Mouse(bar, QEvent::MouseButtonPress, QPointF(1, bar->height() / 2));
  Mouse(bar, QEvent::MouseButtonRelease, QPointF(1, bar->height() / 2));
  EXPECT_EQ(bar->value(), 0);

  // The thumb is drawn twice as wide as its glyph: the glyph's middle
  // colour spans its whole width.
  const QImage& glyph = Skin().ThumbGlyphs()[bar->hasFocus() ? kGlyphFocused : kGlyphNormal];
  const QImage shot = bar->grab().toImage();
  const QRect now = bar->ThumbRect();
  const int left = now.left() + (now.width() - 2 * glyph.width()) / 2;
  const int y = now.top() + (now.height() - glyph.height()) / 2 + glyph.height() / 4;
  const QRgb inside = glyph.pixel(glyph.width() / 2, glyph.height() / 4);
  for (int x = left + 2; x < left + 2 * glyph.width() - 2; ++x) EXPECT_EQ(shot.pixel(x, y), inside) << x;
}

TEST_F(DesktopKeysTest, ControlsAndSoftKeysCarryTranslatedTooltipsAndNames) {
  ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"de"));
  MainFrameOptions options;
  options.view.backend = [this] { return std::make_unique<FakePlayerBackend>(record_); };
  options.view.catalogue_file = dir_.path() / "channels.vdch";
  options.save_settings = [] { return true; };
  frame_.reset();
  frame_ = std::make_unique<MainFrame>(std::move(options));
  ControlPanel* panel = playback()->panel();
  EXPECT_EQ(panel->play_button()->toolTip(), QStringLiteral("Wiedergabe / Stopp (Leertaste)"));
  EXPECT_EQ(panel->play_button()->accessibleName(), QStringLiteral("Wiedergabe"));
  EXPECT_TRUE(panel->full_screen_button()->toolTip().contains(QStringLiteral("F11")));
  EXPECT_TRUE(panel->previous_button()->toolTip().contains(QStringLiteral("Bild auf")));
  EXPECT_TRUE(panel->next_button()->toolTip().contains(QStringLiteral("Bild ab")));
  EXPECT_TRUE(panel->volume()->toolTip().startsWith(QStringLiteral("Lautstärke")));
  EXPECT_EQ(panel->volume()->accessibleName(), QStringLiteral("Lautstärke"));
  panel->SetPlaying(true);
  EXPECT_EQ(panel->play_button()->accessibleName(), QStringLiteral("Stopp"));
  SoftKeyBar* keys = frame_->soft_keys();
  EXPECT_EQ(keys->KeyTip(true), keys->LeftCaption() + QStringLiteral(" (F1)"));
  EXPECT_EQ(keys->KeyTip(false), keys->RightCaption() + QStringLiteral(" (F2)"));
  EXPECT_EQ(keys->accessibleName(), QStringLiteral("Softkeys"));
  EXPECT_TRUE(keys->accessibleDescription().contains(QStringLiteral("(F2)")));
}

}  // namespace
}  // namespace vidora::testing
