// The first-run dialog: live re-labelling, confirming only by the left
// soft key, cancelling, and its layout.
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <cstdlib>

#include <gtest/gtest.h>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/language_dialog.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/shell/app_startup.h"
#include "ui/shell/shell_test_support.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

using testing::InstallLanguages;
using testing::TestLanguage;

class LanguageDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::LoadTestSkin();
    // German first: the list keeps the pack's order.
    InstallLanguages(dir_ / "Languages.lngp",
                     {TestLanguage{u"Deutsch", u"de",
                                   {{"str_attention", u"Achtung"},
                                    {"static_attentionx", u"Hinweis"},
                                    {"static_language", u"Sprache"},
                                    {"button_continue", u"Weiter"},
                                    {"button_cancel", u"Abbrechen"}}},
                      TestLanguage{u"English", u"en",
                                   {{"str_attention", u"Attention"},
                                    {"static_attentionx", u"Notice"},
                                    {"static_language", u"Language"},
                                    {"button_continue", u"Continue"},
                                    {"button_cancel", u"Cancel"}}}},
                     u"en");
    SetSetting(kLanguageSetting, u"en");
  }
  void TearDown() override { FreeLanguagePack(); }

  testing::TempDir dir_;
};

TEST_F(LanguageDialogTest, ListsPackOrderAndRelabelsAtOnceWithoutClosing) {
  LanguageDialog dialog(nullptr);
  ASSERT_EQ(dialog.combo()->count(), 2);
  EXPECT_EQ(dialog.combo()->itemText(0), "Deutsch");
  EXPECT_EQ(dialog.combo()->itemText(1), "English");
  EXPECT_EQ(dialog.combo()->currentIndex(), 1);
  EXPECT_EQ(dialog.windowTitle(), "Attention");
  EXPECT_EQ(dialog.notice()->text(), "Notice");
  EXPECT_EQ(dialog.SoftKeys()->LeftCaption(), "Continue");

  dialog.show();
  dialog.combo()->setCurrentIndex(0);
  EXPECT_EQ(dialog.windowTitle(), "Achtung");
  EXPECT_EQ(dialog.notice()->text(), "Hinweis");
  EXPECT_EQ(dialog.label()->text(), "Sprache");
  EXPECT_EQ(dialog.SoftKeys()->LeftCaption(), "Weiter");
  EXPECT_EQ(dialog.SoftKeys()->RightCaption(), "Abbrechen");
  EXPECT_EQ(Languages().CurrentIndex(), 0);  // later texts use it too
  EXPECT_TRUE(dialog.isVisible());
  // Only the left soft key stores the choice.
  EXPECT_EQ(FindSetting(kLanguageSetting).value_or(u""), u"en");
}

TEST_F(LanguageDialogTest, LeftSoftKeyStoresAndConfirms) {
  LanguageDialog dialog(nullptr);
  dialog.combo()->setCurrentIndex(0);
  dialog.RunCommand(ID_SOFTKEY_LEFT);
  EXPECT_TRUE(dialog.confirmed());
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_EQ(FindSetting(kLanguageSetting).value_or(u""), u"de");
}

TEST_F(LanguageDialogTest, CancelAndTitleOkNeitherStoreNorConfirm) {
  for (int command : {ID_SOFTKEY_RIGHT, kDoneCommand}) {
    LanguageDialog dialog(nullptr);
    dialog.combo()->setCurrentIndex(0);
    dialog.RunCommand(command);
    EXPECT_FALSE(dialog.confirmed());
    EXPECT_EQ(FindSetting(kLanguageSetting).value_or(u""), u"en");
  }
}

TEST_F(LanguageDialogTest, UnknownLanguageLeavesNoSelectionAndKeepsSetting) {
  SetSetting(kLanguageSetting, u"xx");
  LanguageDialog dialog(nullptr);
  EXPECT_EQ(dialog.combo()->currentIndex(), -1);
  dialog.RunCommand(ID_SOFTKEY_LEFT);
  EXPECT_TRUE(dialog.confirmed());
  EXPECT_EQ(FindSetting(kLanguageSetting).value_or(u""), u"xx");
}

TEST_F(LanguageDialogTest, LaysOutNoticeLabelAndCombo) {
  LanguageDialog dialog(nullptr);
  dialog.show();
  dialog.resize(240, 300);
  ASSERT_TRUE(testing::ProcessUntil([&] { return dialog.notice()->width() == 234; }));
  const int h = dialog.ClientRect().height();
  EXPECT_EQ(dialog.notice()->geometry(), QRect(3, 27, 234, h - 54));
  EXPECT_EQ(dialog.label()->geometry(), QRect(3, h + 3 - 24, 96, 24));
  EXPECT_EQ(dialog.combo()->geometry().topLeft(), QPoint(96, h - 24));
}

TEST_F(LanguageDialogTest, OpensSizedToItsWholeNoticeAndCentredOnTheScreen) {
  LanguageDialog dialog(nullptr);
  dialog.show();
  ASSERT_TRUE(testing::ProcessUntil([&] { return dialog.isVisible(); }));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(std::abs(dialog.geometry().center().x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(dialog.geometry().center().y() - screen.center().y()), 1);
  // All of the notice shows, with no more than a line to spare.
  const QLabel* notice = dialog.notice();
  const int needed = notice->heightForWidth(notice->width());
  EXPECT_GE(notice->height(), needed);
  EXPECT_LE(notice->height(), needed + notice->fontMetrics().lineSpacing());
  EXPECT_LT(dialog.height(), SkinnedDialog::kOwnerlessSize.height());
}

TEST_F(LanguageDialogTest, FirstRunStepKeepsFlagOnCancelAndClearsItOnConfirm) {
  SetSetting(kFirstRunSetting, true);
  {
    testing::ModalAnswerer cancel([](QWidget* dialog) {
      if (auto* language = qobject_cast<LanguageDialog*>(dialog)) language->RunCommand(ID_SOFTKEY_RIGHT);
    });
    EXPECT_FALSE(RunFirstRunDialog());
  }
  EXPECT_TRUE(FindSetting(kFirstRunSetting).value_or(false));
  {
    testing::ModalAnswerer confirm([](QWidget* dialog) {
      if (auto* language = qobject_cast<LanguageDialog*>(dialog)) language->RunCommand(ID_SOFTKEY_LEFT);
    });
    EXPECT_TRUE(RunFirstRunDialog());
  }
  EXPECT_FALSE(GetSetting(kFirstRunSetting));
  EXPECT_TRUE(RunFirstRunDialog());  // no dialog once the flag is cleared
}

}  // namespace
}  // namespace vidora
