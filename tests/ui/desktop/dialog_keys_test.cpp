// Every dialog used with the keyboard alone: Tab and Shift+Tab walk the
// controls in reading order, Space works checks and buttons, arrows the
// combo boxes, Enter confirms, Escape closes without storing, F1 and F2
// press the soft keys.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/desktop/keyboard_support.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/language_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/dialogs/wait_dialog.h"
#include "ui/playlists/playlist_dialogs.h"
#include "ui/shell/shell_test_support.h"
#include "ui/texts/ui_texts.h"

namespace vidora::testing {
namespace {

class DialogKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    InstallLanguages(dir_ / "Languages.lngp",
                     {TestLanguage{u"English", u"en",
                                   {{"button_ok", u"OK"},
                                    {"button_cancel", u"Cancel"},
                                    {"button_continue", u"Continue"},
                                    {"static_language", u"Language:"},
                                    {"msg_lang_restart", u"Restart to apply"}}},
                      TestLanguage{u"Deutsch", u"de",
                                   {{"button_continue", u"Weiter"},
                                    {"button_cancel", u"Abbrechen"},
                                    {"static_language", u"Sprache:"}}}},
                     u"en");
    SetSetting(kLanguageSetting, u"en");
    SetSetting(kAutoCatalogueUpdateSetting, true);
    SetSetting(kAutoUpdateSetting, true);
    SetSetting(kHideAdultSetting, false);
    SetSetting(kLandscapeFullScreenSetting, true);
  }
  void TearDown() override { FreeLanguagePack(); }

  // The dialog's shown focusable controls in the order Tab walks them,
  // starting at the focus.
  static std::vector<QWidget*> TabWalk(QWidget* dialog, bool forward) {
    std::vector<QWidget*> walked{QApplication::focusWidget()};
    for (int i = 0; i < 20; ++i) {
      Type(forward ? Qt::Key_Tab : Qt::Key_Backtab, forward ? Qt::NoModifier : Qt::ShiftModifier);
      QWidget* focus = QApplication::focusWidget();
      if (focus == walked.front() || focus == nullptr || focus->window() != dialog) break;
      walked.push_back(focus);
    }
    return walked;
  }

  TempDir dir_;
};

TEST_F(DialogKeysTest, SettingsAreWalkedInReadingOrderToggledBySpaceAndStoredByF1) {
  int playlists_opened = 0;
  int parental_opened = 0;
  SettingsDialog dialog(nullptr, FullScreenTurn::kBySetting, [&playlists_opened](QWidget*) { ++playlists_opened; },
                        [&parental_opened](QWidget*) { ++parental_opened; });
  ASSERT_TRUE(ShowActive(&dialog));
  auto* playlists = dialog.findChild<QPushButton*>(QStringLiteral("playlists"));
  ASSERT_NE(playlists, nullptr);
  auto* parental = dialog.findChild<QPushButton*>(QStringLiteral("parental_lock"));
  ASSERT_NE(parental, nullptr);
  EXPECT_EQ(QApplication::focusWidget(), dialog.combo());

  std::vector<QWidget*> expected{dialog.combo()};
  for (SettingsDialog::Box id : {SettingsDialog::Box::kAutoUpdate, SettingsDialog::Box::kAutoCatalogueUpdate, SettingsDialog::Box::kHideAdult,
                 SettingsDialog::Box::kLandscape}) {
    if (!dialog.check(id)->isHidden()) expected.push_back(dialog.check(id));
  }
  expected.push_back(playlists);
  expected.push_back(parental);
  EXPECT_EQ(TabWalk(&dialog, true), expected);
  EXPECT_EQ(QApplication::focusWidget(), dialog.combo());  // round again
  std::vector<QWidget*> backwards = TabWalk(&dialog, false);
  ASSERT_EQ(backwards.size(), expected.size());
  EXPECT_EQ(backwards[1], parental);
  EXPECT_EQ(backwards[2], playlists);
  EXPECT_EQ(backwards.back(), expected[1]);

  parental->setFocus();
  Type(Qt::Key_Space);
  EXPECT_EQ(parental_opened, 1);
  playlists->setFocus();
  Type(Qt::Key_Space);
  EXPECT_EQ(playlists_opened, 1);
  Type(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), dialog.check(SettingsDialog::Box::kLandscape));
  Type(Qt::Key_Space);
  Type(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), dialog.check(SettingsDialog::Box::kHideAdult));
  Type(Qt::Key_Space);
  EXPECT_TRUE(dialog.check(SettingsDialog::Box::kHideAdult)->isChecked());
  EXPECT_FALSE(GetSetting(kHideAdultSetting));  // nothing stored yet
  Type(Qt::Key_F1);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_TRUE(GetSetting(kHideAdultSetting));
  EXPECT_FALSE(GetSetting(kLandscapeFullScreenSetting));
}

TEST_F(DialogKeysTest, SettingsArrowsChangeTheLanguageEscapeStoresNothingEnterStores) {
  ModalAnswerer answerer;
  {
    SettingsDialog dialog(nullptr, FullScreenTurn::kNever);
    ASSERT_TRUE(ShowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog.combo());
    Type(Qt::Key_Down);
    EXPECT_EQ(dialog.combo()->currentIndex(), 1);
    ASSERT_TRUE(ProcessUntil([&] { return !answerer.messages().empty(); }));
    EXPECT_EQ(answerer.messages()[0], "Restart to apply");
    ASSERT_TRUE(ShowActive(&dialog));
    dialog.check(SettingsDialog::Box::kHideAdult)->setFocus();
    Type(Qt::Key_Space);
    Type(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 2);
    EXPECT_EQ(GetSetting(kLanguageSetting), u"en");
    EXPECT_FALSE(GetSetting(kHideAdultSetting));
  }
  SettingsDialog dialog(nullptr, FullScreenTurn::kNever);
  ASSERT_TRUE(ShowActive(&dialog));
  dialog.check(SettingsDialog::Box::kHideAdult)->setFocus();
  Type(Qt::Key_Space);
  Type(Qt::Key_Return);  // the left soft key, OK
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_TRUE(GetSetting(kHideAdultSetting));
}

TEST_F(DialogKeysTest, FirstRunLanguageIsChosenByArrowsAndConfirmedByEnterOrF1) {
  for (const Qt::Key confirm : {Qt::Key_Return, Qt::Key_F1}) {
    SetSetting(kLanguageSetting, u"en");
    Languages().Select(0);
    LanguageDialog dialog(nullptr);
    ASSERT_TRUE(ShowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog.combo());
    dialog.combo()->setCurrentIndex(0);
    Type(Qt::Key_Down);
    EXPECT_EQ(dialog.SoftKeys()->LeftCaption(), "Weiter");  // re-labelled at once
    EXPECT_EQ(dialog.combo()->accessibleName(), "Sprache");
    Type(Qt::Key_Tab);  // the only control keeps the focus
    EXPECT_EQ(QApplication::focusWidget(), dialog.combo());
    Type(confirm);
    EXPECT_TRUE(dialog.confirmed());
    EXPECT_EQ(GetSetting(kLanguageSetting), u"de");
  }
  SetSetting(kLanguageSetting, u"en");
  for (const Qt::Key leave : {Qt::Key_Escape, Qt::Key_F2}) {
    LanguageDialog dialog(nullptr);
    ASSERT_TRUE(ShowActive(&dialog));
    Type(leave);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.confirmed());
    EXPECT_EQ(GetSetting(kLanguageSetting), u"en");
  }
}

TEST_F(DialogKeysTest, AboutClosesOnEscapeAndEnter) {
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    AboutDialog dialog(nullptr);
    ASSERT_TRUE(ShowActive(&dialog));
    Type(key);
    EXPECT_FALSE(dialog.isVisible()) << key;
  }
}

TEST_F(DialogKeysTest, WaitDialogIsCancelledByEscapeAndF2) {
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_F2}) {
    std::atomic<bool> cancel{false};
    UpdateWaitDialog dialog(
        nullptr, "str_check_updates",
        [&cancel](UpdateWaitDialog& wait) {
          for (int i = 0; i < 2000 && !cancel; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
          wait.EndFromWorker(1);
        },
        &cancel);
    QTimer::singleShot(30, &dialog, [&dialog, key] {
      if (ShowActive(&dialog)) Type(key);
    });
    dialog.Run();
    EXPECT_TRUE(dialog.cancelled()) << key;
  }
}

TEST_F(DialogKeysTest, AddPlaylistTakesATypedAddressOnEnterAndNothingOnEscapeOrClose) {
  {
    AddPlaylistDialog dialog(nullptr);
    ASSERT_TRUE(ShowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog.edit());
    QTest::keyClicks(dialog.edit(), QStringLiteral("http://127.0.0.1/a.m3u"));
    Type(Qt::Key_Tab);
    auto* browse = qobject_cast<QPushButton*>(QApplication::focusWidget());
    ASSERT_NE(browse, nullptr);  // the file chooser's button
    Type(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), dialog.edit());
    Type(Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.source(), "http://127.0.0.1/a.m3u");
  }
  {
    AddPlaylistDialog dialog(nullptr);
    ASSERT_TRUE(ShowActive(&dialog));
    QTest::keyClicks(dialog.edit(), QStringLiteral("http://127.0.0.1/b.m3u"));
    Type(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 2);
  }
  // The title strip's close control ("Close without saving") adds nothing.
  AddPlaylistDialog dialog(nullptr);
  ASSERT_TRUE(ShowActive(&dialog));
  dialog.edit()->setText(QStringLiteral("http://127.0.0.1/c.m3u"));
  ASSERT_NE(dialog.DoneButton(), nullptr);
  dialog.DoneButton()->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 2);
}

TEST_F(DialogKeysTest, MessageBoxButtonsAreWalkedByTabAndPressedBySpace) {
  MessageAnswer answer = MessageAnswer::kOk;
  QTimer::singleShot(0, [] {
    ASSERT_TRUE(ProcessUntil([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; }));
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ShowActive(box);
    // Yes has the focus first; Tab takes it to No, Space presses No.
    EXPECT_EQ(QApplication::focusWidget(), box->button(QMessageBox::Yes));
    Type(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), box->button(QMessageBox::No));
    Type(Qt::Key_Space);
  });
  answer = ShowMessageByKey(nullptr, "msg_update_available", MessageButtons::kYesNo);
  EXPECT_EQ(answer, MessageAnswer::kNo);
  QTimer::singleShot(0, [] {
    ASSERT_TRUE(ProcessUntil([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; }));
    ShowActive(QApplication::activeModalWidget());
    Type(Qt::Key_Escape);
  });
  EXPECT_EQ(ShowMessageByKey(nullptr, "msg_update_available", MessageButtons::kYesNo), MessageAnswer::kNo);
  QTimer::singleShot(0, [] {
    ASSERT_TRUE(ProcessUntil([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; }));
    ShowActive(QApplication::activeModalWidget());
    Type(Qt::Key_Return);
  });
  EXPECT_EQ(ShowMessageByKey(nullptr, "msg_update_available", MessageButtons::kYesNo), MessageAnswer::kYes);
}

}  // namespace
}  // namespace vidora::testing
