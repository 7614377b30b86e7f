// Extra catalogue files (imported playlists) read in one pass: what their
// channels' hook sees, and that a file that cannot be read leaves the
// catalogue as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/catalogue/catalogue_builder.h"
#include "core/catalogue/catalogue_scrambler.h"
#include "core/catalogue/catalogue_test_support.h"

namespace vidora {
namespace {

using testing::AddChannel;
using testing::CatalogueTest;

class ExtraCatalogueTest : public CatalogueTest {
 protected:
  // The catalogue: one country with two channels.
  ChannelCatalogue& LoadMain() {
    DocNode root("2.5");
    DocNode* de = root.AddChild("de");
    AddChannel(*de, "ard", u"ARD", "n", {{3000, u"http://ard"}});
    AddChannel(*de, "zdf", u"ZDF", "e", {{3000, u"http://zdf"}});
    return LoadCatalogueFile(Write(root));
  }

  // An extra file of one country "pl1" named "List" with channels a and b.
  DocNode Extra() {
    DocNode root("playlist");
    DocNode* list = root.AddChild("pl1");
    list->SetWideString("n", u"List");
    DocNode* a = AddChannel(*list, "a", u"Alpha", "n", {{0, u"http://a"}});
    a->SetWideString("logo", u"http://logo/a.png");
    a->SetString("id", "alpha.tv");
    a->SetWideString("grp", u"News");
    a->SetInt("logo2", 7);
    DocNode* b = AddChannel(*list, "b", u"Beta", "sp", {{0, u"http://b"}, {0, u"http://b2"}});
    b->SetInt("logo", 1);  // of another type: absent
    b->SetWideString("ua", u"Agent/2");
    return root;
  }

  std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
};

struct Seen {
  std::u16string logo;
  std::string id;
  std::u16string agent;
  std::u16string missing;
};

TEST_F(ExtraCatalogueTest, HookSeesEachChannelsAttributesAsTheDocumentReaderGivesThem) {
  ChannelCatalogue& catalogue = LoadMain();
  std::map<std::string, Seen> seen;
  auto hook = [&seen](const Channel& channel, const NodeAttributes& attributes) {
    seen[std::string(channel.key())] = Seen{attributes.WideString("logo"), std::string(attributes.String("id")),
                               attributes.WideString("ua"), attributes.WideString("nope", u"fallback")};
  };
  ASSERT_TRUE(catalogue.AddExtraCatalogue(Write(Extra(), "extra.vdch"), nullptr, hook, nullptr));

  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen["pl1_a"].logo, u"http://logo/a.png");
  EXPECT_EQ(seen["pl1_a"].id, "alpha.tv");
  EXPECT_EQ(seen["pl1_a"].agent, u"");
  EXPECT_EQ(seen["pl1_a"].missing, u"fallback");
  EXPECT_EQ(seen["pl1_b"].logo, u"");
  EXPECT_EQ(seen["pl1_b"].agent, u"Agent/2");

  // The country's shown name, the channels complete, the group in the
  // info line, the catalogue's own channels and version untouched.
  const Country* list = catalogue.countries().at("pl1").get();
  EXPECT_EQ(list->display_name(), u"List");
  const Channel* b = catalogue.FindChannelByKey("pl1_b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->sources().size(), 2u);
  EXPECT_EQ(b->category()->key(), "sp");
  EXPECT_EQ(catalogue.FindChannelByKey("pl1_a")->info_line(), u"List \u00B7 News");
  EXPECT_EQ(b->info_line(), u"List");
  EXPECT_EQ(catalogue.Version(), "2.5");
  EXPECT_EQ(catalogue.AllChannels().size(), 4u);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ExtraCatalogueTest, AnUnreadableExtraFileChangesNothingAndAScrambledOneIsRead) {
  ChannelCatalogue& catalogue = LoadMain();
  Channel* ard = catalogue.FindChannelByKey("de_ard");
  catalogue.SetCurrentChannel(ard);
  const std::filesystem::path path = Write(Extra(), "extra.vdch");
  ASSERT_TRUE(catalogue.AddExtraCatalogue(path, nullptr, {}, nullptr));
  catalogue.FindChannelByKey("pl1_a")->set_favourite(true);
  const std::string good = ReadBytes(path);
  const uint64_t version = catalogue.ListVersion();

  // Cut short, then no document at all: neither may take the catalogue's
  // channels or the playlist built before with it.
  for (const std::string& bad : {good.substr(0, good.size() - 9), std::string("<html>502</html>")}) {
    WriteBytes(path, bad);
    EXPECT_FALSE(catalogue.AddExtraCatalogue(path, nullptr, {}, nullptr));
    EXPECT_EQ(catalogue.Version(), "2.5");
    EXPECT_EQ(catalogue.AllChannels().size(), 4u);
    EXPECT_EQ(catalogue.CurrentChannel(), ard);
    ASSERT_NE(catalogue.FindChannelByKey("pl1_a"), nullptr);
    EXPECT_TRUE(catalogue.FindChannelByKey("pl1_a")->favourite());
    EXPECT_EQ(catalogue.ListVersion(), version);  // views keep what they made of the list
  }

  // Scrambled like a published catalogue: read as well, the favourite
  // carried over.
  std::string scrambled = good;
  UnscrambleCatalogue(reinterpret_cast<uint8_t*>(scrambled.data()), static_cast<uint32_t>(scrambled.size()));
  WriteBytes(path, scrambled);
  ASSERT_TRUE(catalogue.AddExtraCatalogue(path, nullptr, {}, nullptr));
  ASSERT_NE(catalogue.FindChannelByKey("pl1_b"), nullptr);
  EXPECT_TRUE(catalogue.FindChannelByKey("pl1_a")->favourite());
  EXPECT_EQ(catalogue.AllChannels().size(), 4u);
  EXPECT_NE(catalogue.ListVersion(), version);
  const uint64_t rebuilt = catalogue.ListVersion();
  catalogue.RemoveExtraCatalogue(path);
  EXPECT_NE(catalogue.ListVersion(), rebuilt);
}

TEST_F(ExtraCatalogueTest, ARebuiltCountryKeepsTheStateOfItsRemainingChannelsOnly) {
  ChannelCatalogue& catalogue = LoadMain();
  const std::filesystem::path path = Write(Extra(), "extra.vdch");
  DocNode saved("channels");
  saved.AddChild("pl1_a")->SetBool("f", true);
  saved.AddChild("pl1_c")->SetBool("f", true);
  ASSERT_TRUE(catalogue.AddExtraCatalogue(path, nullptr, {}, &saved));
  Channel* a = catalogue.FindChannelByKey("pl1_a");
  Channel* b = catalogue.FindChannelByKey("pl1_b");
  EXPECT_TRUE(a->favourite());
  EXPECT_FALSE(b->favourite());
  a->set_favourite(false);  // this run's changes win over the settings
  b->set_favourite(true);
  catalogue.SetCurrentChannel(b);

  // The file again with b gone, c new: b's state goes with it; c, never
  // built this run, starts afresh although the settings name it.
  DocNode replaced("playlist");
  DocNode* copy = replaced.AddChild("pl1");
  copy->SetWideString("n", u"List");
  AddChannel(*copy, "a", u"Alpha", "n", {{0, u"http://a"}});
  AddChannel(*copy, "c", u"Gamma", "n", {{0, u"http://c"}});
  Write(replaced, "extra.vdch");
  ASSERT_TRUE(catalogue.AddExtraCatalogue(path, nullptr, {}, &saved));
  EXPECT_FALSE(catalogue.FindChannelByKey("pl1_a")->favourite());
  EXPECT_FALSE(catalogue.FindChannelByKey("pl1_c")->favourite());
  EXPECT_EQ(catalogue.FindChannelByKey("pl1_b"), nullptr);
  EXPECT_EQ(catalogue.CurrentChannel(), nullptr);

  // With b back and current, a rebuild keeps it current.
  Write(Extra(), "extra.vdch");
  ASSERT_TRUE(catalogue.AddExtraCatalogue(path, nullptr, {}, &saved));
  catalogue.SetCurrentChannel(catalogue.FindChannelByKey("pl1_b"));
  ASSERT_TRUE(catalogue.AddExtraCatalogue(path, nullptr, {}, &saved));
  ASSERT_NE(catalogue.CurrentChannel(), nullptr);
  EXPECT_EQ(catalogue.CurrentChannel()->key(), "pl1_b");
  EXPECT_EQ(catalogue.AllChannels().size(), 4u);
}

}  // namespace
}  // namespace vidora
