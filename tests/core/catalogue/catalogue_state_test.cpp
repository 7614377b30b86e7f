#include "core/catalogue/catalogue_test_support.h"

namespace vidora::testing {
namespace {

using CatalogueStateTest = CatalogueTest;

// de_one "de Eins", de_two "de Zwei", fr_three "fr Trois".
DocNode& ThreeChannels(DocNode& root) {
  root.set_name("1.0.0");
  DocNode* de = root.AddChild("de");
  AddChannel(*de, "two", u"Zwei", "n", {{1, u"u2a"}, {2, u"u2b"}});
  AddChannel(*de, "one", u"Eins", "n", {{1, u"u1"}});
  AddChannel(*root.AddChild("fr"), "three", u"Trois", "n", {{1, u"u3"}});
  return root;
}

std::vector<std::string> SavedChildren(const DocNode& channels) {
  std::vector<std::string> out;
  for (const auto& child : channels.children()) {
    std::string line = child->name();
    for (const auto& attribute : child->attributes()) {
      if (attribute->name() == "f" && attribute->type() == AttributeType::Bool) {
        line += child->GetBool("f", false) ? " f=1" : " f=0";
      } else {
        line += " " + attribute->name();
      }
    }
    out.push_back(line);
  }
  return out;
}

std::vector<std::string> SettingsChannels() {
  DocNode root;
  Settings().BuildDocument(root);
  const DocNode* channels = root.FindChild("channels");
  return channels == nullptr ? std::vector<std::string>{"(none)"} : SavedChildren(*channels);
}

TEST_F(CatalogueStateTest, CurrentChannelIsRestoredFromTheSettingAndClearedByReload) {
  DocNode root;
  const auto path = Write(ThreeChannels(root));
  SetSetting(kCurrentChannelKeySetting, u"de_two");
  ChannelCatalogue& catalogue = LoadCatalogueFile(path);
  ASSERT_EQ(Catalogue(), &catalogue);
  ASSERT_NE(catalogue.CurrentChannel(), nullptr);
  EXPECT_EQ(catalogue.CurrentChannel()->key(), "de_two");

  const Category* news = catalogue.FindCategory("n");
  root.set_name("1.0.1");
  Write(root);
  EXPECT_TRUE(ReloadCatalogue());
  EXPECT_EQ(catalogue.CurrentChannel(), nullptr);
  EXPECT_EQ(catalogue.FindCategory("n"), news);
  EXPECT_EQ(catalogue.Version(), "1.0.1");
  EXPECT_EQ(GetSetting(kCurrentChannelKeySetting), u"de_two");

  Channel* three = catalogue.FindChannelByKey("fr_three");
  catalogue.SetCurrentChannel(three);
  EXPECT_EQ(catalogue.CurrentChannel(), three);
  EXPECT_EQ(GetSetting(kCurrentChannelKeySetting), u"fr_three");

  // A vanished key leaves no channel current and the setting as it was.
  SetSetting(kCurrentChannelKeySetting, u"de_gone");
  LoadCatalogueFile(path);
  EXPECT_EQ(Catalogue()->CurrentChannel(), nullptr);
  EXPECT_EQ(GetSetting(kCurrentChannelKeySetting), u"de_gone");

  // A reload that finds no file keeps the categories and the version.
  std::filesystem::remove(path);
  EXPECT_FALSE(ReloadCatalogue());
  EXPECT_EQ(Catalogue()->categories().size(), 10u);
  EXPECT_EQ(Catalogue()->Version(), "1.0.1");
  EXPECT_TRUE(Catalogue()->countries().empty());
  EXPECT_TRUE(Catalogue()->AllChannels().empty());
}

TEST_F(CatalogueStateTest, SaveWritesEveryChannelWithFavouritesOnlyAndNoSourceIndex) {
  DocNode saved("channels");
  saved.AddChild("de_two")->SetInt("cu", 1);
  saved.AddChild("fr_three")->SetBool("f", true);
  saved.AddChild("xx_gone")->SetBool("f", true);
  LoadSettingsWithChannels(saved);
  DocNode root;
  ChannelCatalogue& catalogue = LoadCatalogueFile(Write(ThreeChannels(root)));
  EXPECT_EQ(catalogue.FindChannelByKey("de_two")->current_source(), 1);

  EXPECT_EQ(SettingsChannels(), (std::vector<std::string>{"de_one", "de_two", "fr_three f=1"}));
  catalogue.FindChannelByKey("de_one")->set_favourite(true);
  catalogue.FindChannelByKey("fr_three")->set_favourite(false);
  EXPECT_EQ(SettingsChannels(), (std::vector<std::string>{"de_one f=1", "de_two", "fr_three"}));
}

TEST_F(CatalogueStateTest, FavouritesAndSourcesSurviveAReloadAndTheNextSave) {
  DocNode saved("channels");
  saved.AddChild("de_two")->SetBool("f", true);
  saved.FindChild("de_two")->SetInt("cu", 1);
  saved.AddChild("de_one")->SetBool("f", true);
  LoadSettingsWithChannels(saved);
  DocNode root;
  ChannelCatalogue& catalogue = LoadCatalogueFile(Write(ThreeChannels(root)));
  catalogue.FindChannelByKey("fr_three")->set_favourite(true);

  // The update drops de_one and gives fr_three a single source.
  DocNode update("1.0.1");
  DocNode* de = update.AddChild("de");
  AddChannel(*de, "two", u"Zwei", "n", {{1, u"u2a"}, {2, u"u2b"}});
  AddChannel(*de, "new", u"Neu", "n", {{1, u"un"}});
  AddChannel(*update.AddChild("fr"), "three", u"Trois", "n", {{1, u"u3"}});
  Write(update);
  ASSERT_TRUE(ReloadCatalogue());

  const Channel* two = catalogue.FindChannelByKey("de_two");
  ASSERT_NE(two, nullptr);
  EXPECT_TRUE(two->favourite());
  EXPECT_EQ(two->current_source(), 1);
  EXPECT_EQ(two->info_line(), u"de (2)");
  EXPECT_TRUE(catalogue.FindChannelByKey("fr_three")->favourite());
  EXPECT_FALSE(catalogue.FindChannelByKey("de_new")->favourite());
  EXPECT_EQ(SettingsChannels(), (std::vector<std::string>{"de_new", "de_two f=1", "fr_three f=1"}));
}

TEST_F(CatalogueStateTest, SaveWithoutAReadableCatalogueKeepsTheLoadedFavourites) {
  DocNode saved("channels");
  saved.AddChild("de_two")->SetBool("f", true);
  saved.AddChild("de_one");
  LoadSettingsWithChannels(saved);
  LoadCatalogueFile(dir_ / "missing.vdch");
  // A channel without a state is not held from the file: it reads as none
  // and comes back with the catalogue's next readable run.
  EXPECT_EQ(SettingsChannels(), (std::vector<std::string>{"de_two f=1"}));
  FreeCatalogue();
  EXPECT_EQ(SettingsChannels(), (std::vector<std::string>{"de_two f=1"}));
}

TEST_F(CatalogueStateTest, ReloadAfterAMissingFirstFileBuildsCategoriesAndUsesTheSavedState) {
  DocNode saved("channels");
  saved.AddChild("de_one")->SetBool("f", true);
  LoadSettingsWithChannels(saved);
  ChannelCatalogue& catalogue = LoadCatalogueFile(dir_ / kCatalogueFileName);
  EXPECT_TRUE(catalogue.categories().empty());

  DocNode root;
  Write(ThreeChannels(root));  // the update's download
  ASSERT_TRUE(ReloadCatalogue());
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(catalogue.categories().size(), 10u);
  EXPECT_EQ(catalogue.FindChannelByKey("de_two")->category(), catalogue.FindCategory("n"));
  EXPECT_TRUE(catalogue.FindChannelByKey("de_one")->favourite());
  EXPECT_EQ(SettingsChannels(), (std::vector<std::string>{"de_one f=1", "de_two", "fr_three"}));
}

// List order: "at Ad", "de A", "de B", "de C", "de D", "fr NoCat", "fr NoUrl".
class StepFavouriteTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    DocNode root("1");
    AddChannel(*root.AddChild("at"), "ad", u"Ad", "ad", {{1, u"u"}});
    DocNode* de = root.AddChild("de");
    for (const char* name : {"A", "B", "C", "D"}) AddChannel(*de, name, std::u16string(1, name[0]), "n", {{1, u"u"}});
    DocNode* fr = root.AddChild("fr");
    AddChannel(*fr, "nocat", u"NoCat", "bogus", {{1, u"u"}});
    AddChannel(*fr, "nourl", u"NoUrl", "n", {});
    ASSERT_TRUE(catalogue_.Load(Write(root), nullptr));
  }

  Channel* Get(const char* key) { return catalogue_.FindChannelByKey(key); }
  std::string Step(bool forward) {
    const Channel* channel = catalogue_.StepFavourite(forward);
    return channel == nullptr ? "none" : std::string(channel->key());
  }

  ChannelCatalogue catalogue_;
};

TEST_F(StepFavouriteTest, WalksTheListWrappingAndSkippingTheHiddenCategory) {
  EXPECT_EQ(Step(true), "none");  // no favourites at all
  for (const char* key : {"at_ad", "de_B", "de_D", "fr_nocat", "fr_nourl"}) Get(key)->set_favourite(true);

  // Nothing current: forward starts at the top, backward at the bottom;
  // with HideAD off the channel without a category is skipped.
  EXPECT_EQ(Step(true), "at_ad");
  EXPECT_EQ(Step(false), "de_D");

  catalogue_.SetCurrentChannel(Get("de_B"));
  EXPECT_EQ(Step(true), "de_D");
  EXPECT_EQ(Step(false), "at_ad");
  catalogue_.SetCurrentChannel(Get("de_D"));
  EXPECT_EQ(Step(true), "at_ad");  // wraps past the end

  SetSetting(kHideAdultSetting, true);
  EXPECT_EQ(Step(true), "fr_nocat");
  catalogue_.SetCurrentChannel(Get("fr_nocat"));
  EXPECT_EQ(Step(true), "de_B");  // "at Ad" is hidden now

  // A current channel that is no favourite: the walk starts at the top.
  catalogue_.SetCurrentChannel(Get("de_C"));
  EXPECT_EQ(Step(true), "de_B");
  EXPECT_EQ(Step(false), "fr_nocat");
}

TEST_F(StepFavouriteTest, GivesNothingWhenTheCurrentChannelIsTheOnlyFavourite) {
  Get("de_C")->set_favourite(true);
  Get("fr_nourl")->set_favourite(true);  // unplayable, never stepped onto
  SetSetting(kHideAdultSetting, true);
  Get("at_ad")->set_favourite(true);  // hidden
  catalogue_.SetCurrentChannel(Get("de_C"));
  EXPECT_EQ(Step(true), "none");
  EXPECT_EQ(Step(false), "none");
  catalogue_.SetCurrentChannel(Get("de_A"));
  EXPECT_EQ(Step(true), "de_C");
}

}  // namespace
}  // namespace vidora::testing
