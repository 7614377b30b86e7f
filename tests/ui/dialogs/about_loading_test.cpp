// The about dialog's texts, the loading screen's splash scaling and growth,
// its coming up before start-up goes on, and the update wait dialog run by
// its worker.
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLabel>
#include <QWindow>

#include <atomic>

#include <gtest/gtest.h>

#include "core/stores/language_pack.h"
#include "support/temp_dir.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/loading_screen.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/wait_dialog.h"
#include "ui/shell/shell_test_support.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

using testing::InstallLanguages;
using testing::TestLanguage;

class AboutDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::LoadTestSkin(); }
  void TearDown() override { FreeLanguagePack(); }
  void Install(std::map<std::string, std::u16string> texts) {
    texts["app_mvdra"] = u"Vidora";
    InstallLanguages(dir_ / "Languages.lngp", {TestLanguage{u"English", u"en", std::move(texts)}}, u"en");
  }
  testing::TempDir dir_;
};

TEST_F(AboutDialogTest, ShowsTitleVersionAndCopyright) {
  Install({{"menu_about", u"About"}, {"str_version", u"Version %s"}, {"static_copyright", u"(c) Vidora"}});
  AboutDialog dialog(nullptr);
  EXPECT_EQ(dialog.windowTitle(), "About Vidora");
  EXPECT_EQ(dialog.title_label()->text(), "Vidora\nVersion 3.2.0");
  EXPECT_EQ(dialog.copyright_label()->text(), "(c) Vidora");
  EXPECT_FALSE(dialog.address_label()->text().isEmpty());
}

TEST_F(AboutDialogTest, MissingVersionTextLeavesEmptySecondLine) {
  Install({{"menu_about", u"About"}});
  AboutDialog dialog(nullptr);
  EXPECT_EQ(dialog.title_label()->text(), "Vidora\n");
}

TEST_F(AboutDialogTest, LaysOutItsThreeTexts) {
  Install({});
  AboutDialog dialog(nullptr);
  dialog.show();
  dialog.resize(240, 320);
  ASSERT_TRUE(testing::ProcessUntil([&] { return dialog.copyright_label()->width() == 234; }));
  const int h = dialog.ClientRect().height();
  EXPECT_EQ(dialog.title_label()->geometry(), QRect(48, 30, 144, 30));
  EXPECT_EQ(dialog.address_label()->geometry(), QRect(32, 120, 176, 30));
  EXPECT_EQ(dialog.copyright_label()->geometry(), QRect(3, h - 32, 234, 32));
}

TEST(LoadingScreenTest, SplashScalesByPowersOfTwo) {
  EXPECT_EQ(ScaleSplash(QSize(480, 320), 240), QSize(240, 160));
  EXPECT_EQ(ScaleSplash(QSize(100, 60), 240), QSize(200, 120));
  EXPECT_EQ(ScaleSplash(QSize(1000, 400), 240), QSize(125, 50));
  EXPECT_EQ(ScaleSplash(QSize(130, 50), 240), QSize(130, 50));  // already at least half
  EXPECT_EQ(ScaleSplash(QSize(240, 90), 240), QSize(240, 90));
}

TEST(LoadingScreenTest, GrowsAroundTheSplashAndStaysCentred) {
  testing::LoadTestSkin();
  LoadingScreen plain(nullptr);
  const QRect small = plain.geometry();
  EXPECT_TRUE(plain.image_rect().isNull());

  const SkinImage splash(testing::SolidImage(60, 30, qRgb(200, 10, 10)));
  LoadingScreen screen(&splash);
  const QSize drawn = ScaleSplash(QSize(60, 30), small.width());
  EXPECT_EQ(screen.image_rect(), QRect((small.width() - drawn.width()) / 2, small.height(), drawn.width(), drawn.height()));
  EXPECT_EQ(screen.geometry(), QRect(small.x(), small.y() - 2 * drawn.height() / 3, small.width(),
                                     small.height() + 4 * drawn.height() / 3));
}

TEST(LoadingScreenTest, CloseEndsTheShownScreen) {
  testing::LoadTestSkin();
  ShowLoadingScreen();
  ASSERT_NE(CurrentLoadingScreen(), nullptr);
  EXPECT_TRUE(CurrentLoadingScreen()->isVisible());
  CloseLoadingScreen();
  EXPECT_EQ(CurrentLoadingScreen(), nullptr);
  CloseLoadingScreen();  // nothing left to close
}

// Counts the paint events the loading screen gets.
class ScreenPaints : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Paint && qobject_cast<LoadingScreen*>(object) != nullptr) ++count;
    return false;
  }
};

TEST(LoadingScreenTest, ShowReturnsAsSoonAsTheScreenIsExposedAndPainted) {
  testing::LoadTestSkin();
  ScreenPaints paints;
  qApp->installEventFilter(&paints);
  QElapsedTimer clock;
  clock.start();
  // A bound far beyond any start: returning at it would be an idle wait.
  constexpr int kBoundMs = 60000;
  ShowLoadingScreen(kBoundMs);
  const qint64 took = clock.elapsed();
  qApp->removeEventFilter(&paints);
  LoadingScreen* screen = CurrentLoadingScreen();
  ASSERT_NE(screen, nullptr);
  ASSERT_NE(screen->windowHandle(), nullptr);
  EXPECT_TRUE(screen->windowHandle()->isExposed());
  EXPECT_GE(paints.count, 1);
  EXPECT_TRUE(screen->shown_on_screen());
  EXPECT_LT(took, kBoundMs / 2);
  CloseLoadingScreen();
}

TEST(UpdateWaitDialogTest, WorkerRetitlesAndEndsAfterWritingItsResult) {
  testing::LoadTestSkin();
  std::atomic<int> result{0};
  UpdateWaitDialog dialog(nullptr, "str_check_updates", [&result](UpdateWaitDialog& wait) {
    wait.SetTitleByKeyFromWorker("str_down_channels");
    result = 1;
    wait.EndFromWorker(1);
  });
  EXPECT_EQ(dialog.Run(), 1);
  EXPECT_EQ(result.load(), 1);
}

TEST(UpdateWaitDialogTest, EscapeDoesNotEndIt) {
  testing::LoadTestSkin();
  std::atomic<bool> release{false};
  UpdateWaitDialog dialog(nullptr, "str_check_updates", [&release](UpdateWaitDialog& wait) {
    while (!release) std::this_thread::yield();
    wait.EndFromWorker(1);
  });
  QTimer::singleShot(20, &dialog, [&dialog, &release] {
    dialog.RunCommand(kCancelCommand);
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    release = true;
  });
  EXPECT_EQ(dialog.Run(), 1);
}

// The fixed-height texts (the about title with its version line, the one
// line of the loading screen, the wait dialog and the settings label) stay
// whole under a desktop whose font is larger than the dialogs' 8 points.
TEST(DialogFontTest, FixedHeightTextsFitUnderALargeDesktopFont) {
  testing::LoadTestSkin();
  testing::TempDir dir;
  InstallLanguages(dir / "Languages.lngp",
                   {TestLanguage{u"English", u"en",
                                 {{"app_mvdra", u"Vidora"},
                                  {"str_version", u"Version %s"},
                                  {"static_loading", u"Loading, please wait"},
                                  {"str_wait", u"Please wait"},
                                  {"static_language", u"Language:"}}}},
                   u"en");
  const QFont desktop = QApplication::font();
  QFont large = desktop;
  large.setPointSize(11);
  QApplication::setFont(large);
  auto lines_fit = [](const QLabel* label, int lines) {
    return QFontMetrics(label->font()).lineSpacing() * lines <= label->height();
  };
  {
    AboutDialog about(nullptr);
    about.resize(240, 320);
    EXPECT_TRUE(lines_fit(about.title_label(), 2)) << "the version line is cut off";
    LoadingScreen loading(nullptr);
    EXPECT_TRUE(lines_fit(loading.text_label(), 1));
    UpdateWaitDialog wait(nullptr, "str_check_updates", {});
    EXPECT_TRUE(lines_fit(wait.text_label(), 1));
    SettingsDialog settings(nullptr, FullScreenTurn::kBySetting);
    auto* label = settings.findChild<QLabel*>(QStringLiteral("language_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(lines_fit(label, 1));
  }
  QApplication::setFont(desktop);
  FreeLanguagePack();
}

}  // namespace
}  // namespace vidora
