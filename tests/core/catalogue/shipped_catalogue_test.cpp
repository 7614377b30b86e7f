#include <set>

#include "core/catalogue/catalogue_test_support.h"
#include "core/document/memory_stream.h"
#include "core/document/text_codec.h"

namespace vidora::testing {
namespace {

using ShippedCatalogueTest = CatalogueTest;

// The catalogue built into the executable's folder from data/channels.json.
TEST_F(ShippedCatalogueTest, LoadsCleanlyWithEveryCountryAndPlayableChannels) {
  ChannelCatalogue& catalogue = LoadCatalogue(kCatalogueFileName);
  EXPECT_TRUE(messages_.empty()) << "first warning: " << (messages_.empty() ? "" : Utf16ToUtf8(messages_[0]));
  EXPECT_EQ(catalogue.Version(), "1.0.0");
  std::set<std::string> countries;
  for (const auto& [key, country] : catalogue.countries()) countries.insert(key);
  EXPECT_EQ(countries, (std::set<std::string>{"at", "ch", "de", "es", "fr", "gb", "it", "nl", "se", "us"}));

  ASSERT_GE(catalogue.AllChannels().size(), 40u);
  std::set<std::string> categories;
  bool radio = false;
  bool tv = false;
  bool several_sources = false;
  for (const Channel* channel : catalogue.AllChannels()) {
    EXPECT_TRUE(channel->playable()) << channel->key();
    EXPECT_NE(channel->category(), nullptr) << channel->key();
    EXPECT_NE(channel->category(), catalogue.FindCategory(kHiddenCategoryKey)) << channel->key();
    EXPECT_FALSE(channel->name().empty()) << channel->key();
    EXPECT_TRUE(channel->provider().empty()) << channel->key();
    for (const StreamSource& source : channel->sources()) {
      EXPECT_EQ(source.address.rfind("https://", 0), 0u) << channel->key();
    }
    if (channel->category() != nullptr) categories.insert(channel->category()->key());
    (channel->radio() ? radio : tv) = true;
    several_sources = several_sources || channel->sources().size() > 1;
  }
  EXPECT_TRUE(radio && tv && several_sources);
  EXPECT_GE(categories.size(), 5u);

  // One "channels" child per channel is what lifts a saved settings file
  // over the size under which it would be ignored at the next start.
  DocNode root;
  Settings().BuildDocument(root);
  root.FindChild("options")->Clear();
  MemoryStream bytes;
  ASSERT_TRUE(WriteDocument(root, bytes));
  EXPECT_GE(bytes.Size(), kMinSettingsFileSize);
}

}  // namespace
}  // namespace vidora::testing
