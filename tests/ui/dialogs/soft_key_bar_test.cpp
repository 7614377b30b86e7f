// Soft-key bar commands and pop-up, and the standard dialog frame.
#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

#include <vector>

#include <gtest/gtest.h>

#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/skinned_dialog.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

struct Recorder {
  std::vector<int> commands;
  void Attach(SoftKeyBar* bar) {
    QObject::connect(bar, &SoftKeyBar::CommandTriggered, [this](int c) { commands.push_back(c); });
  }
};

void Tap(QWidget* widget, QPoint down, QPoint up) {
  QMouseEvent press(QEvent::MouseButtonPress, down, widget->mapToGlobal(down), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, up, widget->mapToGlobal(up), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

TEST(SoftKeyBarTest, KeysRunTheirCommandsAndEmptyKeysNothing) {
  testing::LoadTestSkin();
  SoftKeyBar bar;
  bar.resize(240, SoftKeyBar::BarHeight());
  Recorder recorder;
  recorder.Attach(&bar);
  bar.PressLeft();
  bar.PressRight();
  EXPECT_TRUE(recorder.commands.empty());

  bar.SetLeftKey(QStringLiteral("Play"), 59283);
  bar.SetRightKey(QStringLiteral("Cancel"), ID_SOFTKEY_RIGHT);
  Tap(&bar, QPoint(10, 5), QPoint(20, 5));
  Tap(&bar, QPoint(200, 5), QPoint(230, 5));
  // Sliding off the key that went down cancels it.
  Tap(&bar, QPoint(10, 5), QPoint(200, 5));
  EXPECT_EQ(recorder.commands, (std::vector<int>{59283, ID_SOFTKEY_RIGHT}));

  bar.Clear();
  bar.PressLeft();
  EXPECT_EQ(recorder.commands.size(), 2u);

  // A language pack without the captions' texts leaves the keys working.
  bar.SetLeftKey(QString(), 59283);
  bar.SetRightKey(QString(), ID_SOFTKEY_RIGHT);
  Tap(&bar, QPoint(10, 5), QPoint(20, 5));
  Tap(&bar, QPoint(200, 5), QPoint(230, 5));
  EXPECT_EQ(recorder.commands, (std::vector<int>{59283, ID_SOFTKEY_RIGHT, 59283, ID_SOFTKEY_RIGHT}));
}

TEST(SoftKeyBarTest, RightKeyPopsItsMenuAndItemsReportTheirIds) {
  testing::LoadTestSkin();
  QWidget window;
  window.resize(240, 320);
  SoftKeyBar bar(&window);
  bar.setGeometry(0, 320 - SoftKeyBar::BarHeight(), 240, SoftKeyBar::BarHeight());
  window.show();
  QMenu menu;
  AddMenuCommand(&menu, QStringLiteral("Full screen"), 103);
  menu.addSeparator();
  QMenu* updates = menu.addMenu(QStringLiteral("Updates"));
  QAction* update = AddMenuCommand(updates, QStringLiteral("Update"), 107);
  bar.SetLeftKey(QStringLiteral("Channels"), 59283);
  bar.SetRightMenu(QStringLiteral("Menu"), &menu);
  Recorder recorder;
  recorder.Attach(&bar);

  bar.PressRight();
  EXPECT_TRUE(menu.isVisible());
  EXPECT_TRUE(recorder.commands.empty());
  // The menu opens above the bar, its right edge at the bar's right end.
  EXPECT_LE(menu.geometry().bottom(), bar.mapToGlobal(QPoint(0, 0)).y());
  menu.actions()[0]->trigger();
  update->trigger();
  menu.hide();
  EXPECT_EQ(recorder.commands, (std::vector<int>{103, 107}));

  // Items changed after the bar got the menu report as well; a detached
  // menu no longer does.
  menu.clear();
  AddMenuCommand(&menu, QStringLiteral("Close"), 102)->trigger();
  bar.SetRightMenu(QStringLiteral("Menu"), nullptr);
  menu.actions()[0]->trigger();
  EXPECT_EQ(recorder.commands, (std::vector<int>{103, 107, 102}));
  EXPECT_EQ(MenuCommandOf(nullptr), 0);
}

class RecordingDialog : public SkinnedDialog {
 public:
  using SkinnedDialog::SkinnedDialog;
  std::vector<int> seen;
  bool keep_open = false;
  QSize client;

 protected:
  bool HandleCommand(int command) override {
    seen.push_back(command);
    return keep_open;
  }
  void LayoutClient(int width, int height) override { client = QSize(width, height); }
};

TEST(SkinnedDialogTest, FullScreenOverOwnerWithDoneAndSoftKeys) {
  testing::LoadTestSkin();
  QWidget owner;
  owner.setGeometry(50, 60, 240, 320);
  owner.show();
  RecordingDialog dialog(&owner);
  dialog.setWindowTitle(QStringLiteral("Settings"));
  SoftKeyBar* keys = dialog.SoftKeys();
  keys->SetLeftKey(QStringLiteral("OK"), ID_SOFTKEY_LEFT);
  keys->SetRightKey(QStringLiteral("Cancel"), ID_SOFTKEY_RIGHT);
  dialog.open();
  EXPECT_EQ(dialog.geometry(), owner.geometry());
  EXPECT_EQ(dialog.ClientRect(), QRect(0, 0, 240, 320 - SoftKeyBar::BarHeight()));
  EXPECT_EQ(dialog.client, dialog.ClientRect().size());
  ASSERT_NE(dialog.DoneButton(), nullptr);
  const QRect done = dialog.DoneButton()->geometry();
  EXPECT_LE(done.bottom(), BarUnit());
  EXPECT_GT(done.left(), 240 / 2);
  EXPECT_LE(done.right(), 239);

  // The dialog sees each command first and may keep itself open.
  dialog.keep_open = true;
  dialog.DoneButton()->click();
  keys->PressRight();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.seen, (std::vector<int>{kDoneCommand, ID_SOFTKEY_RIGHT}));

  dialog.keep_open = false;
  keys->PressRight();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 2);

  dialog.open();
  dialog.DoneButton()->click();
  EXPECT_EQ(dialog.result(), 1);
  dialog.open();
  dialog.close();
  EXPECT_EQ(dialog.result(), 2);
}

TEST(SkinnedDialogTest, OwnSizeDialogKeepsItsSizeAndHasNoDoneButton) {
  testing::LoadTestSkin();
  QWidget owner;
  owner.setGeometry(0, 0, 400, 400);
  owner.show();
  SkinnedDialog dialog(&owner, SkinnedDialog::Size::kOwn);
  dialog.resize(150, 80);
  dialog.open();
  EXPECT_EQ(dialog.size(), QSize(150, 80));
  EXPECT_EQ(dialog.DoneButton(), nullptr);
  EXPECT_FALSE(dialog.HasSoftKeys());
  EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(61, 68, 86));
  EXPECT_EQ(dialog.palette().color(QPalette::WindowText), QColor(220, 220, 235));
  dialog.RunCommand(ID_SOFTKEY_LEFT);
  EXPECT_EQ(dialog.result(), 1);
}

}  // namespace
}  // namespace vidora
