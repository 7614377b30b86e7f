// Which catalogue file an installed player reads (a downloaded one before
// the shipped one) and the temporary channel of a command-line address.
#include <fstream>

#include "core/catalogue/catalogue_test_support.h"
#include "core/stores/app_paths.h"

namespace vidora::testing {
namespace {

class CatalogueLocationTest : public CatalogueTest {
 protected:
  void TearDown() override {
    SetAppPaths(PortableAppPaths(AppFolderPath()));
    CatalogueTest::TearDown();
  }

  // A one-channel catalogue of `version` at `path` (folders made).
  static void WriteCatalogue(const std::filesystem::path& path, const std::string& version,
                             const std::string& channel) {
    std::filesystem::create_directories(path.parent_path());
    DocNode root(version);
    AddChannel(*root.AddChild("de"), channel, u"Name", "n", {{1, u"http://127.0.0.1/x"}});
    ASSERT_TRUE(SaveDocumentFile(root, path));
  }

  // The installed layout under the test folder: shipped data in share/,
  // the user's folders in config/ and data/.
  void InstallLayout() {
    AppPaths paths = ResolveAppPaths(dir_ / "bin", {dir_ / "share"}, dir_ / "config", dir_ / "data");
    ASSERT_FALSE(paths.portable);
    SetAppPaths(paths);
    WriteCatalogue(dir_ / "share" / kCatalogueFileName, "shipped", "shipped");
  }

  std::filesystem::path Downloaded() const { return dir_ / "data" / "vidora" / kCatalogueFileName; }
};

TEST_F(CatalogueLocationTest, InstalledPlayerReadsTheShippedCatalogueAndDownloadsBesideTheUsersData) {
  InstallLayout();
  ChannelCatalogue& catalogue = LoadCatalogue(kCatalogueFileName);
  EXPECT_EQ(catalogue.Version(), "shipped");
  EXPECT_EQ(catalogue.Path(), dir_ / "share" / kCatalogueFileName);
  EXPECT_EQ(catalogue.DownloadPath(), Downloaded());
}

TEST_F(CatalogueLocationTest, ADownloadedCatalogueIsReadInsteadOfTheShippedOne) {
  InstallLayout();
  WriteCatalogue(Downloaded(), "downloaded", "fresh");
  ChannelCatalogue& catalogue = LoadCatalogue(kCatalogueFileName);
  EXPECT_EQ(catalogue.Version(), "downloaded");
  EXPECT_NE(catalogue.FindChannelByKey("de_fresh"), nullptr);
  EXPECT_EQ(catalogue.Path(), Downloaded());
}

TEST_F(CatalogueLocationTest, ADamagedOrEmptyDownloadFallsBackToTheShippedCatalogue) {
  InstallLayout();
  std::filesystem::create_directories(Downloaded().parent_path());
  for (const std::string& bytes : {std::string("QDOC but damaged"), std::string()}) {
    std::ofstream(Downloaded(), std::ios::binary | std::ios::trunc) << bytes;
    ChannelCatalogue& catalogue = LoadCatalogue(kCatalogueFileName);
    EXPECT_EQ(catalogue.Version(), "shipped") << "download of " << bytes.size() << " bytes";
    EXPECT_NE(catalogue.FindChannelByKey("de_shipped"), nullptr);
    // The next download still replaces the damaged file.
    EXPECT_EQ(catalogue.DownloadPath(), Downloaded());
  }
}

TEST_F(CatalogueLocationTest, AnAddressChannelPlaysItsAddressAndIsNeverRemembered) {
  const std::filesystem::path file = dir_ / kCatalogueFileName;
  WriteCatalogue(file, "1", "one");
  SetSetting(kCurrentChannelKeySetting, u"de_one");
  ChannelCatalogue& catalogue = LoadCatalogueFile(file);
  ASSERT_NE(catalogue.CurrentChannel(), nullptr);

  Channel* channel = catalogue.MakeAddressChannel(u"http://127.0.0.1:8080/x.ts");
  ASSERT_NE(channel, nullptr);
  EXPECT_EQ(channel->name(), u"http://127.0.0.1:8080/x.ts");
  EXPECT_TRUE(channel->playable());
  EXPECT_TRUE(channel->provider().empty());
  ASSERT_NE(ChannelCatalogue::CurrentSource(*channel), nullptr);
  EXPECT_EQ(ChannelCatalogue::CurrentSource(*channel)->address, "http://127.0.0.1:8080/x.ts");
  EXPECT_EQ(catalogue.AllChannels().size(), 1u);

  catalogue.SetCurrentChannel(channel);
  EXPECT_EQ(catalogue.CurrentChannel(), channel);
  EXPECT_EQ(GetSetting(kCurrentChannelKeySetting), u"de_one");
  DocNode saved("channels");
  std::vector<ChannelStateEntry> entries;
  catalogue.SaveChannelState([&entries](const ChannelStateEntry& entry) { entries.push_back(entry); });
  AddChannelStateNodes(entries, saved);
  EXPECT_EQ(saved.children().size(), 1u);

  // A second address replaces the first, which stops being current.
  Channel* next = catalogue.MakeAddressChannel(u"http://127.0.0.1:8080/y.ts");
  EXPECT_EQ(catalogue.CurrentChannel(), nullptr);
  EXPECT_EQ(next->name(), u"http://127.0.0.1:8080/y.ts");
}

}  // namespace
}  // namespace vidora::testing
