#include "core/stores/language_pack.h"

#include <gtest/gtest.h>

#include <string>

#include "core/document/document_format.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

// Builds language packs in a temporary folder.
class LanguagePackTest : public ::testing::Test {
 protected:
  DocNode* AddLanguage(int number, std::u16string name, std::u16string code) {
    DocNode* language = root_.AddChild("lang_" + std::to_string(number));
    language->SetWideString("language", std::move(name));
    language->SetWideString("ext", std::move(code));
    return language;
  }

  static void AddText(DocNode* language, const std::string& key, std::u16string text) {
    language->AddChild(key)->SetWideString("text", std::move(text));
  }

  // Saves the pack and loads it with `code` as the Language setting.
  void Load(std::u16string_view code) {
    const auto path = dir_ / "Languages.lngp";
    ASSERT_TRUE(SaveDocumentFile(root_, path));
    pack_.Load(path, code);
  }

  testing::TempDir dir_;
  DocNode root_{kLanguagePackRootName};
  LanguagePack pack_;
};

TEST_F(LanguagePackTest, ReadsLanguagesInOrderAndChoosesTheSetting) {
  AddText(AddLanguage(0, u"English", u"en"), "menu_exit", u"Exit");
  AddText(AddLanguage(1, u"Deutsch", u"de"), "menu_exit", u"Beenden");
  Load(u"de");
  ASSERT_EQ(pack_.Count(), 2);
  EXPECT_EQ(pack_.Name(0), u"English");
  EXPECT_EQ(pack_.Code(1), u"de");
  EXPECT_EQ(pack_.CurrentIndex(), 1);
  EXPECT_EQ(pack_.GetText("menu_exit"), u"Beenden");
  EXPECT_EQ(pack_.FindIndex(u"en"), 0);
  EXPECT_EQ(pack_.FindIndex(u"xx"), -1);

  pack_.Select(0);
  EXPECT_EQ(pack_.GetText("menu_exit"), u"Exit");
}

TEST_F(LanguagePackTest, GapInNumberingEndsTheList) {
  AddLanguage(0, u"English", u"en");
  AddLanguage(2, u"Deutsch", u"de");
  Load(u"de");
  EXPECT_EQ(pack_.Count(), 1);
  EXPECT_EQ(pack_.CurrentIndex(), -1);
}

TEST_F(LanguagePackTest, EmptyCodeOrNameEndsTheList) {
  AddText(AddLanguage(0, u"English", u"en"), "menu_exit", u"Exit");
  AddLanguage(1, u"Deutsch", u"");
  AddLanguage(2, u"Français", u"fr");
  Load(u"en");
  EXPECT_EQ(pack_.Count(), 1);
  EXPECT_EQ(pack_.GetText("menu_exit"), u"Exit");

  root_.Clear();
  AddLanguage(0, u"English", u"en");
  AddLanguage(1, u"", u"de");
  Load(u"de");
  EXPECT_EQ(pack_.Count(), 1);
}

TEST_F(LanguagePackTest, NoLanguageForTheSettingGivesEmptyTexts) {
  AddText(AddLanguage(0, u"English", u"en"), "menu_exit", u"Exit");
  Load(u"de");
  EXPECT_EQ(pack_.Count(), 1);
  EXPECT_EQ(pack_.CurrentIndex(), -1);
  EXPECT_TRUE(pack_.GetText("menu_exit").empty());
}

TEST_F(LanguagePackTest, CodeComparisonIsCaseSensitive) {
  AddText(AddLanguage(0, u"English", u"en"), "menu_exit", u"Exit");
  Load(u"EN");
  EXPECT_EQ(pack_.CurrentIndex(), -1);
  EXPECT_EQ(pack_.FindIndex(u"En"), -1);
}

TEST_F(LanguagePackTest, MissingKeyOrTextGivesEmptyText) {
  DocNode* english = AddLanguage(0, u"English", u"en");
  english->AddChild("menu_play")->SetWideString("tooltip", u"Starts playback");
  Load(u"en");
  EXPECT_TRUE(pack_.GetText("menu_exit").empty());
  EXPECT_TRUE(pack_.GetText("menu_play").empty());
  EXPECT_TRUE(pack_.GetText("").empty());
}

TEST_F(LanguagePackTest, AttributesOfOtherTypesAreIgnored) {
  DocNode* english = AddLanguage(0, u"English", u"en");
  english->AddChild("str_kb")->SetString("text", "kbit/s");
  english->AddChild("str_tv")->SetInt("text", 5);
  Load(u"en");
  EXPECT_TRUE(pack_.GetText("str_kb").empty());
  EXPECT_TRUE(pack_.GetText("str_tv").empty());
}

TEST_F(LanguagePackTest, LanguageAttributesMustBeWideStrings) {
  DocNode* english = root_.AddChild("lang_0");
  english->SetString("language", "English");
  english->SetString("ext", "en");
  Load(u"en");
  EXPECT_EQ(pack_.Count(), 0);
}

TEST_F(LanguagePackTest, WrongRootNameOrMissingFileLeavesThePackEmpty) {
  root_.set_name("lang_doc_1.1");
  AddText(AddLanguage(0, u"English", u"en"), "menu_exit", u"Exit");
  Load(u"en");
  EXPECT_EQ(pack_.Count(), 0);
  EXPECT_TRUE(pack_.GetText("menu_exit").empty());

  pack_.Load(dir_ / "missing.lngp", u"en");
  EXPECT_EQ(pack_.Count(), 0);
}

TEST_F(LanguagePackTest, TheLanguageSettingIsReadOnlyOnceAPackWasRead) {
  SettingsStore settings;
  EXPECT_FALSE(LoadLanguagePack(pack_, dir_ / "missing.lngp", settings));
  EXPECT_FALSE(settings.Find(kLanguageSetting).has_value());

  AddText(AddLanguage(0, u"English", u"en"), "menu_exit", u"Exit");
  AddText(AddLanguage(1, u"Deutsch", u"de"), "menu_exit", u"Beenden");
  ASSERT_TRUE(SaveDocumentFile(root_, dir_ / "Languages.lngp"));
  EXPECT_TRUE(LoadLanguagePack(pack_, dir_ / "Languages.lngp", settings));
  EXPECT_EQ(settings.Find(kLanguageSetting), u"en");
  EXPECT_EQ(pack_.GetText("menu_exit"), u"Exit");

  settings.Set(kLanguageSetting, u"de");
  EXPECT_TRUE(LoadLanguagePack(pack_, dir_ / "Languages.lngp", settings));
  EXPECT_EQ(pack_.GetText("menu_exit"), u"Beenden");
}

TEST_F(LanguagePackTest, FreeAndReloadStartOver) {
  AddText(AddLanguage(0, u"English", u"en"), "menu_exit", u"Exit");
  Load(u"en");
  pack_.Free();
  EXPECT_EQ(pack_.Count(), 0);
  EXPECT_TRUE(pack_.GetText("menu_exit").empty());
  pack_.Free();
  Load(u"en");
  Load(u"en");
  EXPECT_EQ(pack_.Count(), 1);
  EXPECT_EQ(pack_.GetText("menu_exit"), u"Exit");
}

TEST_F(LanguagePackTest, OutOfRangeIndexesAreHarmless) {
  AddLanguage(0, u"English", u"en");
  Load(u"en");
  EXPECT_TRUE(pack_.Name(1).empty());
  EXPECT_TRUE(pack_.Code(-1).empty());
  pack_.Select(3);
  EXPECT_EQ(pack_.CurrentIndex(), -1);
}

}  // namespace
}  // namespace vidora
