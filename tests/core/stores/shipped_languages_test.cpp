// Checks the shipped language pack (compiled into the build's bin folder)
// against every key the player uses: the keys named in the sources and the
// keys the sources build at run time ("c_" + country, "cat_" + category).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "core/document/text_codec.h"
#include "core/stores/language_pack.h"

namespace vidora {
namespace {

// Keys of the menus, messages, dialogs and lists.
const char* const kFixedKeys[] = {
    "app_mvdra",
    "menu_channels", "menu_menu", "menu_fullscreen", "menu_settings", "menu_updates", "menu_update",
    "menu_channel_update", "menu_about", "menu_exit", "menu_play", "menu_close", "menu_add_favorites",
    "menu_remove_favorites",
    "msg_noupdates", "msg_cupdated", "msg_error_connection", "msg_update_available", "msg_lang_restart",
    "str_wait", "str_check_updates", "str_down_channels", "str_attention", "str_version", "str_kb",
    "str_all_channels", "str_all_countries", "str_tvradio", "str_tv", "str_radio",
    "tab_channels", "tab_favorites",
    "static_language", "static_attention", "static_attentionx", "static_loading", "static_copyright",
    "check_update", "check_cupdate", "check_hide_ad", "check_landscape_fs",
    "button_ok", "button_cancel", "button_continue",
};
// Categories of the catalogue and countries of the shipped catalogue.
const char* const kCategories[] = {"l", "mu", "n", "r", "sp", "e", "mo", "k", "wc", "ad"};
const char* const kCountries[] = {"de", "at", "ch", "fr", "gb", "us", "es", "it", "nl", "se"};
const char* const kShippedCodes[] = {"en", "de", "fr", "es", "ru"};

std::filesystem::path BinFolder() { return std::filesystem::path(VIDORA_QDOC_PATH).parent_path(); }

// This file lives in tests/core/stores below the source root.
std::filesystem::path SourceRoot() {
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
}

// Language keys written as literals in the sources: GetText("k"),
// Text("k") and the ...ByKey(..., "k", ...) helpers.
std::set<std::string> KeysInSources() {
  static const std::regex lookup(R"re(\b(?:GetText|Text)\(\s*"([A-Za-z0-9_]+)")re");
  static const std::regex by_key(
      R"re(\b(?:ShowMessageByKey|SetCaptionByKey)\([^;"\n]*"([A-Za-z][A-Za-z0-9_]*)")re");
  std::set<std::string> keys;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(SourceRoot() / "src")) {
    const auto extension = entry.path().extension();
    if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    std::ifstream in(entry.path());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const std::regex* pattern : {&lookup, &by_key}) {
      for (std::sregex_iterator it(text.begin(), text.end(), *pattern), end; it != end; ++it) {
        keys.insert((*it)[1].str());
      }
    }
  }
  return keys;
}

std::set<std::string> RequiredKeys() {
  std::set<std::string> keys(std::begin(kFixedKeys), std::end(kFixedKeys));
  for (const char* category : kCategories) keys.insert(std::string("cat_") + category);
  for (const char* country : kCountries) keys.insert(std::string("c_") + country);
  const std::set<std::string> in_sources = KeysInSources();
  keys.insert(in_sources.begin(), in_sources.end());
  return keys;
}

TEST(ShippedLanguagesTest, SourcesAreFound) {
  ASSERT_TRUE(std::filesystem::is_directory(SourceRoot() / "src")) << SourceRoot();
  // The lookup helpers themselves must not be taken for keys.
  const std::set<std::string> keys = KeysInSources();
  EXPECT_EQ(keys.count("key"), 0u);
}

TEST(ShippedLanguagesTest, EveryLanguageHasEveryKey) {
  const auto path = BinFolder() / kLanguagePackFileName;
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  LanguagePack pack;
  pack.Load(path, u"en");
  ASSERT_EQ(pack.Count(), static_cast<int>(std::size(kShippedCodes)));
  const std::set<std::string> keys = RequiredKeys();
  for (int i = 0; i < pack.Count(); ++i) {
    EXPECT_EQ(Utf16ToUtf8(pack.Code(i)), kShippedCodes[i]);
    EXPECT_FALSE(pack.Name(i).empty());
    pack.Select(i);
    for (const std::string& key : keys) {
      EXPECT_FALSE(pack.GetText(key).empty()) << "language " << kShippedCodes[i] << " lacks \"" << key << "\"";
    }
    EXPECT_EQ(pack.GetText("app_mvdra"), u"Vidora");
    // The version line is a format with exactly one "%s".
    const std::string version = Utf16ToUtf8(pack.GetText("str_version"));
    EXPECT_NE(version.find("%s"), std::string::npos) << kShippedCodes[i];
    EXPECT_EQ(std::count(version.begin(), version.end(), '%'), 1) << kShippedCodes[i];
  }
}

}  // namespace
}  // namespace vidora
