#ifndef VIDORA_TESTS_CORE_CATALOGUE_CATALOGUE_TEST_SUPPORT_H_
#define VIDORA_TESTS_CORE_CATALOGUE_CATALOGUE_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "support/test_texts.h"

namespace vidora::testing {

struct SourceSpec {
  int32_t bitrate;
  std::u16string address;
};

// Adds a channel node with the usual attributes and numbered sources.
inline DocNode* AddChannel(DocNode& country, const std::string& name, const std::u16string& display,
                           const std::string& category, const std::vector<SourceSpec>& sources,
                           bool radio = false, const std::string& provider = {}) {
  DocNode* channel = country.AddChild(name);
  channel->SetWideString("n", display);
  channel->SetString("p", "p-" + name);
  channel->SetString("c", category);
  if (radio) channel->SetBool("r", true);
  if (!provider.empty()) channel->SetString("g", provider);
  for (size_t i = 0; i < sources.size(); ++i) {
    DocNode* source = channel->AddChild(std::to_string(i));
    source->SetInt("b", sources[i].bitrate);
    source->SetWideString("u", sources[i].address);
  }
  return channel;
}

// Collects the loader's messages and gives each test a clean slate of the
// process-wide settings the catalogue reads.
class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageSink([this](const std::u16string& text, const std::u16string& caption) {
      messages_.push_back(text);
      captions_.push_back(caption);
    });
    SetSetting(kCurrentChannelKeySetting, u"");
    SetSetting(kHideAdultSetting, false);
  }
  void TearDown() override {
    FreeCatalogue();
    FreeLanguagePack();
    SetMessageSink({});
  }

  std::filesystem::path Write(const DocNode& root, const std::string& name = kCatalogueFileName) {
    const std::filesystem::path path = dir_ / name;
    EXPECT_TRUE(SaveDocumentFile(root, path));
    return path;
  }

  // Makes the settings store's loaded "channels" node `channels` (copied
  // through a file, as at start-up). The file is padded past the size
  // under which the store ignores it.
  void LoadSettingsWithChannels(const DocNode& channels) {
    DocNode root("set");
    DocNode* options = root.AddChild("options");
    options->SetWideString("padding", std::u16string(600, u'x'));
    DocNode* copy = root.AddChild("channels");
    for (const auto& child : channels.children()) {
      DocNode* entry = copy->AddChild(child->name());
      for (const auto& attribute : child->attributes()) {
        if (attribute->type() == AttributeType::Bool) entry->SetBool(attribute->name(), (attribute->word() & 0xFF) != 0);
        if (attribute->type() == AttributeType::Int) {
          entry->SetInt(attribute->name(), static_cast<int32_t>(attribute->word()));
        }
      }
    }
    const std::filesystem::path path = dir_ / "Settings.cfg";
    ASSERT_TRUE(SaveDocumentFile(root, path));
    Settings().Load(path);
    ASSERT_NE(SettingsChannelsNode(), nullptr);
  }

  // Loads a language pack with one language holding `texts`.
  void LoadTexts(const std::vector<std::pair<std::string, std::u16string>>& texts) { LoadTestTexts(dir_.path(), texts); }

  TempDir dir_;
  std::vector<std::u16string> messages_;
  std::vector<std::u16string> captions_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_CORE_CATALOGUE_CATALOGUE_TEST_SUPPORT_H_
