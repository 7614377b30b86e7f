// The interface language from the system locale, Qt's own texts in the
// interface language, and message boxes in the skin.
#include "ui/texts/system_language.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/language_dialog.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/shell/shell_test_support.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

using testing::InstallLanguages;
using testing::TestLanguage;

// Sets the locale variables for one test and puts them back after.
class LocaleEnvironment {
 public:
  LocaleEnvironment() {
    for (int i = 0; i < 3; ++i) {
      const char* value = std::getenv(kNames[i]);
      if (value != nullptr) saved_[i] = value;
      unsetenv(kNames[i]);
    }
  }
  ~LocaleEnvironment() {
    for (int i = 0; i < 3; ++i) {
      if (saved_[i]) {
        setenv(kNames[i], saved_[i]->c_str(), 1);
      } else {
        unsetenv(kNames[i]);
      }
    }
  }

 private:
  static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::optional<std::string> saved_[3];
};

class SystemLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::LoadTestSkin();
    InstallLanguages(dir_ / "Languages.lngp",
                     {TestLanguage{u"English", u"en", {{"str_attention", u"Attention"}}},
                      TestLanguage{u"Deutsch", u"de", {{"str_attention", u"Achtung"}}},
                      TestLanguage{u"Русский", u"ru", {{"str_attention", u"Внимание"}}}},
                     u"en");
    SetSetting(kLanguageSetting, u"en");
  }
  void TearDown() override {
    InstallQtTranslations(QStringLiteral("en"));
    FreeLanguagePack();
  }

  LocaleEnvironment environment_;
  testing::TempDir dir_;
};

TEST_F(SystemLanguageTest, LocaleNamesGiveTheirLanguage) {
  EXPECT_EQ(LanguageOfLocaleName(QStringLiteral("de_DE.UTF-8")), QStringLiteral("de"));
  EXPECT_EQ(LanguageOfLocaleName(QStringLiteral("de_AT@euro")), QStringLiteral("de"));
  EXPECT_EQ(LanguageOfLocaleName(QStringLiteral("ru")), QStringLiteral("ru"));
  EXPECT_EQ(LanguageOfLocaleName(QStringLiteral("C.UTF-8")), QString());
  EXPECT_EQ(LanguageOfLocaleName(QStringLiteral("POSIX")), QString());
  setenv("LANG", "fr_FR.UTF-8", 1);
  setenv("LC_MESSAGES", "es_ES.UTF-8", 1);
  EXPECT_EQ(SystemLanguageCode(), QStringLiteral("es"));
  setenv("LC_ALL", "ru_RU.UTF-8", 1);
  EXPECT_EQ(SystemLanguageCode(), QStringLiteral("ru"));
}

TEST_F(SystemLanguageTest, FirstRunPreselectsTheLanguageOfLang) {
  setenv("LANG", "de_DE.UTF-8", 1);
  {
    LanguageDialog dialog(nullptr);
    EXPECT_EQ(dialog.combo()->currentText(), QStringLiteral("Deutsch"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Achtung"));
  }
  setenv("LANG", "ru_RU.UTF-8", 1);
  {
    LanguageDialog dialog(nullptr);
    EXPECT_EQ(dialog.combo()->currentText(), QStringLiteral("Русский"));
  }
  // A language without a pack leaves English.
  setenv("LANG", "ja_JP.UTF-8", 1);
  {
    LanguageDialog dialog(nullptr);
    EXPECT_EQ(dialog.combo()->currentText(), QStringLiteral("English"));
  }
}

TEST_F(SystemLanguageTest, QtButtonsSpeakTheInterfaceLanguageAndBoxesWearTheSkin) {
  if (!InstallQtTranslations(QStringLiteral("de"))) GTEST_SKIP() << "Qt's German translations are not installed";
  QMessageBox probe;
  probe.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(probe.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Ja"));
  EXPECT_EQ(probe.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Nein"));

  Qt::WindowFlags flags;
  QString sheet;
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    flags = box->windowFlags();
    sheet = box->styleSheet();
    box->done(QMessageBox::Yes);
  });
  EXPECT_EQ(ShowMessageByKey(nullptr, "str_attention", MessageButtons::kYesNo), MessageAnswer::kYes);
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(sheet.contains(Skin().BackgroundColour().name()));

  InstallQtTranslations(QStringLiteral("en"));
  QMessageBox english;
  english.setStandardButtons(QMessageBox::Yes);
  EXPECT_EQ(english.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Yes"));
}

}  // namespace
}  // namespace vidora
