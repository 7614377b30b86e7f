// The settings dialog: what it shows, that it stores only through its left
// soft key, and the restart notice on every language change.
#include <QCheckBox>
#include <QComboBox>

#include <gtest/gtest.h>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/shell/shell_test_support.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

using testing::InstallLanguages;
using testing::TestLanguage;

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::LoadTestSkin();
    InstallLanguages(dir_ / "Languages.lngp",
                     {TestLanguage{u"English", u"en",
                                   {{"menu_settings", u"Settings"},
                                    {"check_update", u"Check for new versions"},
                                    {"button_ok", u"OK"},
                                    {"button_cancel", u"Cancel"},
                                    {"msg_lang_restart", u"Restart to apply"}}},
                      TestLanguage{u"Deutsch", u"de", {}}, TestLanguage{u"Francais", u"fr", {}}},
                     u"en");
    SetSetting(kLanguageSetting, u"en");
    SetSetting(kAutoCatalogueUpdateSetting, true);
    SetSetting(kAutoUpdateSetting, true);
    SetSetting(kHideAdultSetting, false);
    SetSetting(kLandscapeFullScreenSetting, true);
  }
  void TearDown() override { FreeLanguagePack(); }

  void ExpectUnchanged() {
    EXPECT_EQ(FindSetting(kLanguageSetting).value_or(u""), u"en");
    EXPECT_TRUE(FindSetting(kAutoCatalogueUpdateSetting).value_or(false));
    EXPECT_TRUE(FindSetting(kAutoUpdateSetting).value_or(false));
    EXPECT_FALSE(FindSetting(kHideAdultSetting).value_or(true));
    EXPECT_TRUE(FindSetting(kLandscapeFullScreenSetting).value_or(false));
  }

  static void UncheckAllAndChooseGerman(SettingsDialog& dialog) {
    for (SettingsDialog::Box id : {SettingsDialog::Box::kAutoUpdate, SettingsDialog::Box::kAutoCatalogueUpdate,
                   SettingsDialog::Box::kHideAdult, SettingsDialog::Box::kLandscape}) {
      dialog.check(id)->setChecked(false);
    }
    dialog.combo()->setCurrentIndex(1);
  }

  testing::TempDir dir_;
};

TEST_F(SettingsDialogTest, OpensWithTranslatedTextsAndStoredValues) {
  SetSetting(kHideAdultSetting, true);
  SetSetting(kAutoUpdateSetting, false);
  SettingsDialog dialog(nullptr, FullScreenTurn::kBySetting);
  EXPECT_EQ(dialog.windowTitle(), "Settings");
  EXPECT_EQ(dialog.check(SettingsDialog::Box::kAutoUpdate)->text(), "Check for new versions");
  // A key without a text stays visible as the key.
  EXPECT_EQ(dialog.check(SettingsDialog::Box::kHideAdult)->text(), "check_hide_ad");
  EXPECT_EQ(dialog.combo()->count(), 3);
  EXPECT_EQ(dialog.combo()->itemText(2), "Francais");
  EXPECT_EQ(dialog.combo()->currentIndex(), 0);
  EXPECT_FALSE(dialog.check(SettingsDialog::Box::kAutoUpdate)->isChecked());
  EXPECT_TRUE(dialog.check(SettingsDialog::Box::kAutoCatalogueUpdate)->isChecked());
  EXPECT_TRUE(dialog.check(SettingsDialog::Box::kHideAdult)->isChecked());
  EXPECT_EQ(dialog.SoftKeys()->LeftCaption(), "OK");
  EXPECT_EQ(dialog.SoftKeys()->RightCaption(), "Cancel");
}

TEST_F(SettingsDialogTest, LandscapeBoxShownOnlyWithoutMotionSensor) {
  {
    SettingsDialog dialog(nullptr, FullScreenTurn::kBySetting);
    EXPECT_FALSE(dialog.check(SettingsDialog::Box::kLandscape)->isHidden());
  }
  SettingsDialog dialog(nullptr, FullScreenTurn::kBySensor);
  EXPECT_TRUE(dialog.check(SettingsDialog::Box::kLandscape)->isHidden());
  // An ordinary desktop's display is never turned: nothing to offer.
  SettingsDialog desktop(nullptr, FullScreenTurn::kNever);
  EXPECT_TRUE(desktop.check(SettingsDialog::Box::kLandscape)->isHidden());
  EXPECT_FALSE(desktop.check(SettingsDialog::Box::kHideAdult)->isHidden());
  // The hidden box leaves no empty row: the button below moves up to
  // where it stands under a box that is offered.
  {
    SettingsDialog offered(nullptr, FullScreenTurn::kBySetting);
    const auto* below_box = offered.findChild<QWidget*>(QStringLiteral("playlists"));
    const auto* below_hide_ad = desktop.findChild<QWidget*>(QStringLiteral("playlists"));
    ASSERT_NE(below_box, nullptr);
    ASSERT_NE(below_hide_ad, nullptr);
    EXPECT_EQ(below_hide_ad->geometry().top() - desktop.check(SettingsDialog::Box::kHideAdult)->geometry().top(),
              below_box->geometry().top() - offered.check(SettingsDialog::Box::kLandscape)->geometry().top());
  }
  // Still stored on confirm, with the value read at opening.
  SetSetting(kLandscapeFullScreenSetting, false);
  SettingsDialog again(nullptr, FullScreenTurn::kBySensor);
  SetSetting(kLandscapeFullScreenSetting, true);
  again.RunCommand(ID_SOFTKEY_LEFT);
  EXPECT_FALSE(GetSetting(kLandscapeFullScreenSetting));
}

TEST_F(SettingsDialogTest, EveryLanguageChangeShowsRestartNotice) {
  testing::ModalAnswerer answerer;
  SettingsDialog dialog(nullptr, FullScreenTurn::kBySetting);
  dialog.combo()->setCurrentIndex(1);
  dialog.combo()->setCurrentIndex(2);
  ASSERT_EQ(answerer.messages().size(), 2u);
  EXPECT_EQ(answerer.messages()[0], "Restart to apply");
  dialog.RunCommand(ID_SOFTKEY_RIGHT);
  EXPECT_EQ(dialog.result(), 2);
  ExpectUnchanged();  // not even the language
}

TEST_F(SettingsDialogTest, TitleOkStoresNothingButReturnsOne) {
  testing::ModalAnswerer answerer;
  SettingsDialog dialog(nullptr, FullScreenTurn::kBySetting);
  UncheckAllAndChooseGerman(dialog);
  dialog.RunCommand(kDoneCommand);
  EXPECT_EQ(dialog.result(), 1);
  ExpectUnchanged();
}

TEST_F(SettingsDialogTest, LeftSoftKeyStoresEverything) {
  testing::ModalAnswerer answerer;
  SettingsDialog dialog(nullptr, FullScreenTurn::kBySetting);
  UncheckAllAndChooseGerman(dialog);
  dialog.RunCommand(ID_SOFTKEY_LEFT);
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_EQ(FindSetting(kLanguageSetting).value_or(u""), u"de");
  EXPECT_FALSE(GetSetting(kAutoCatalogueUpdateSetting));
  EXPECT_FALSE(GetSetting(kAutoUpdateSetting));
  EXPECT_FALSE(FindSetting(kHideAdultSetting).value_or(true));
  EXPECT_FALSE(GetSetting(kLandscapeFullScreenSetting));
}

}  // namespace
}  // namespace vidora
