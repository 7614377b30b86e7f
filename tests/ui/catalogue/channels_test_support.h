#ifndef VIDORA_TESTS_UI_CATALOGUE_CHANNELS_TEST_SUPPORT_H_
#define VIDORA_TESTS_UI_CATALOGUE_CHANNELS_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "ui/catalogue/channels_dialog_state.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/stores/image_lookup.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/system_sound.h"
#include "ui/skin/resource_pack.h"

namespace vidora::testing {

struct ChannelEntry {
  std::string country;
  std::string node;
  std::u16string name;
  std::string category;
  bool radio;
};

// Twelve channels in three countries. "nocat" names a category that does
// not exist; two channels are in "ad".
inline std::vector<ChannelEntry> SampleChannels() {
  return {
      {"de", "ard", u"Das Erste", "n", false},    {"de", "zdf", u"ZDF", "n", false},
      {"de", "radio1", u"Radio Eins", "mu", true}, {"de", "adtv", u"Werbung TV", "ad", false},
      {"de", "nocat", u"Ohne Kategorie", "zz", false}, {"fr", "tf1", u"TF1", "e", false},
      {"fr", "rfi", u"RFI", "n", true},            {"fr", "fip", u"FIP", "mu", true},
      {"fr", "adfr", u"Pub France", "ad", false},  {"uk", "bbc1", u"BBC One", "n", false},
      {"uk", "bbc2", u"BBC Two", "e", false},      {"uk", "r4", u"Radio 4", "n", true},
  };
}

// Writes a catalogue file of `channels`, one 128 kb source each.
inline bool WriteCatalogueFile(const std::filesystem::path& path, const std::vector<ChannelEntry>& channels) {
  DocNode root("v_test");
  for (const ChannelEntry& entry : channels) {
    DocNode* country = root.FindChild(entry.country);
    if (country == nullptr) country = root.AddChild(entry.country);
    DocNode* channel = country->AddChild(entry.node);
    channel->SetWideString("n", entry.name);
    channel->SetString("p", "p");
    channel->SetString("c", entry.category);
    if (entry.radio) channel->SetBool("r", true);
    DocNode* source = channel->AddChild("0");
    source->SetInt("b", 128);
    source->SetWideString("u", u"http://127.0.0.1/" + std::u16string(entry.node.begin(), entry.node.end()));
  }
  return SaveDocumentFile(root, path);
}

// A clean process-wide state for every channels dialog test: the skin at
// 96 dpi, English texts, a sample catalogue with a German flag, default
// selections, and the sounds counted instead of played.
class ChannelsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
    SetSystemSoundPlayer([this](const std::string& id) { sounds_.push_back(id); });
    LoadTexts();
    flag_ = std::make_unique<SkinImage>(SolidImage(16, 11, qRgb(0, 0, 255)));
    SetImageLookup([this](std::string_view name) { return name == "f_de" ? flag_.get() : nullptr; });
    SetSetting(kHideAdultSetting, false);
    for (const IntSettingKey& setting :
         {kSelectedTabSetting, kSelectedCountrySetting, kSelectedCategorySetting, kSelectedKindSetting}) {
      SetSetting(setting, 0);
    }
    SetSetting(kSelectedCountryKeySetting, u"");
    SetSetting(kSelectedCategoryKeySetting, u"");
    DialogSelection() = ChannelsDialogState{};
    LoadCatalogue(SampleChannels());
  }

  void TearDown() override {
    catalogue_.reset();
    SetImageLookup({});
    SetSystemSoundPlayer({});
    SetMessageSink({});
    FreeLanguagePack();
  }

  void LoadCatalogue(const std::vector<ChannelEntry>& channels) {
    const std::filesystem::path path = dir_.path() / "Channels.vdch";
    ASSERT_TRUE(WriteCatalogueFile(path, channels));
    catalogue_ = std::make_unique<ChannelCatalogue>();
    ASSERT_TRUE(catalogue_->Load(path, nullptr));
  }

  void LoadTexts() {
    const std::vector<std::pair<std::string, std::u16string>> texts = {
        {"tab_channels", u"Channels"},     {"tab_favorites", u"Favorites"},
        {"menu_play", u"Play"},            {"menu_menu", u"Menu"},
        {"menu_close", u"Close"},          {"menu_add_favorites", u"Add to favorites"},
        {"menu_remove_favorites", u"Remove from favorites"},
        {"str_all_channels", u"All categories"}, {"str_all_countries", u"All countries"},
        {"str_tvradio", u"TV & radio"},    {"str_tv", u"TV"},
        {"str_radio", u"Radio"},           {"str_kb", u" kb/s"},
        {"c_de", u"Germany"},              {"c_fr", u"France"},
        {"c_uk", u"United Kingdom"},       {"cat_n", u"News"},
        {"cat_mu", u"Music"},              {"cat_ad", u"Adult"},
        {"cat_e", u"Entertainment"},       {"cat_sp", u"Sport"},
    };
    DocNode root(kLanguagePackRootName);
    DocNode* language = root.AddChild("lang_0");
    language->SetWideString("language", u"English");
    language->SetWideString("ext", u"en");
    for (const auto& [key, text] : texts) language->AddChild(key)->SetWideString("text", text);
    const std::filesystem::path path = dir_.path() / "Languages.lngp";
    ASSERT_TRUE(SaveDocumentFile(root, path));
    Languages().Load(path, u"en");
  }

  Channel* FindChannel(const std::string& key) const { return catalogue_->FindChannelByKey(key); }

  TempDir dir_;
  std::unique_ptr<ChannelCatalogue> catalogue_;
  std::unique_ptr<SkinImage> flag_;
  std::vector<std::string> sounds_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_CATALOGUE_CHANNELS_TEST_SUPPORT_H_
