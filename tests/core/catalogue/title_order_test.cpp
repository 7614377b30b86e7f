// The all-channels list's order: grouped by country name and sorted within
// the groups, it must equal one sort of the whole titles (then keys), also
// where country names start one another or are shared.
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/catalogue/catalogue_test_support.h"
#include "core/catalogue/title_order.h"

namespace vidora::testing {
namespace {

class TitleOrderTest : public CatalogueTest {
 protected:
  // Loads `root` with the country names of `names` ("c_" + key).
  std::vector<const Channel*> Load(const DocNode& root, const std::map<std::string, std::u16string>& names) {
    CatalogueOptions options;
    options.text = [names](std::string_view key) {
      auto at = names.find(std::string(key));
      return at == names.end() ? std::u16string() : at->second;
    };
    options.image = [](std::string_view) { return nullptr; };
    options.warning = [](const std::u16string&) {};
    catalogue_ = std::make_unique<ChannelCatalogue>(std::move(options));
    EXPECT_TRUE(catalogue_->Load(Write(root), nullptr));
    return {catalogue_->AllChannels().begin(), catalogue_->AllChannels().end()};
  }

  // The order of one plain sort by title, then key.
  static std::vector<std::pair<std::u16string, std::string>> Expected(std::vector<const Channel*> channels) {
    std::vector<std::pair<std::u16string, std::string>> titles;
    for (const Channel* channel : channels) titles.emplace_back(channel->title(), channel->key());
    std::sort(titles.begin(), titles.end());
    return titles;
  }
  static std::vector<std::pair<std::u16string, std::string>> Actual(const std::vector<const Channel*>& channels) {
    std::vector<std::pair<std::u16string, std::string>> titles;
    for (const Channel* channel : channels) titles.emplace_back(channel->title(), channel->key());
    return titles;
  }

  std::unique_ptr<ChannelCatalogue> catalogue_;
};

TEST_F(TitleOrderTest, CountriesWhoseNamesStartOthersInterleaveAsWholeTitles) {
  DocNode root("1");
  // "Congo DR" titles fall between those of "Congo" ("Congo Cx" < "Congo DR .."
  // < "Congo E.."); "Congo\t" sorts before "Congo" as a title although
  // after it as a name; "c1" and "c10" do not interleave.
  const std::map<std::string, std::u16string> names = {
      {"c_cg", u"Congo"}, {"c_cd", u"Congo DR"}, {"c_ct", u"Congo\tX"}, {"c_c1", u"c1"},
      {"c_c10", u"c10"},  {"c_e1", u""},         {"c_e2", u""},         {"c_sa", u"Congo"}};
  const std::vector<std::u16string> channel_names = {u"Cx", u"DR", u"DR Z", u"E", u"", u" ", u"\t", u"a"};
  for (const auto& [text_key, name] : names) {
    DocNode* country = root.AddChild(text_key.substr(2));
    for (size_t i = 0; i < channel_names.size(); ++i) {
      AddChannel(*country, "n" + std::to_string(i), channel_names[i], "n", {{1, u"u"}});
    }
  }
  const std::vector<const Channel*> channels = Load(root, names);
  ASSERT_EQ(channels.size(), names.size() * channel_names.size());
  EXPECT_EQ(Actual(channels), Expected(channels));
}

TEST_F(TitleOrderTest, RandomCataloguesSortLikeOneSortOfTheTitles) {
  std::mt19937 random(18);
  const std::vector<std::u16string> country_names = {u"A", u"A B", u"A B C", u"Ab", u"A\u00C4", u"", u"A", u"Z",
                                                      u"A\x1F"};
  // Names sharing long beginnings, so the keys taken once decide little.
  const std::vector<std::u16string> pieces = {u"Radio ", u"Radio 1", u"A", u"B", u" ", u"\t", u"\U0001F600", u"\uFF21"};
  for (int round = 0; round < 60; ++round) {
    DocNode root("1");
    std::map<std::string, std::u16string> names;
    const int countries = 1 + static_cast<int>(random() % 8);
    for (int c = 0; c < countries; ++c) {
      const std::string key = "k" + std::to_string(c);
      names["c_" + key] = country_names[random() % country_names.size()];
      DocNode* country = root.AddChild(key);
      const int channels = static_cast<int>(random() % 40);
      for (int i = 0; i < channels; ++i) {
        std::u16string name;
        for (unsigned n = random() % 4; n > 0; --n) name += pieces[random() % pieces.size()];
        AddChannel(*country, std::to_string(random() % 1000) + "x" + std::to_string(i), name, "n", {{1, u"u"}});
      }
    }
    const std::vector<const Channel*> channels = Load(root, names);
    ASSERT_EQ(Actual(channels), Expected(channels)) << "round " << round;
  }
}

TEST_F(TitleOrderTest, CompareTitlesMatchesComparingTheMadeTitles) {
  DocNode root("1");
  const std::map<std::string, std::u16string> names = {{"c_a", u"Congo"}, {"c_b", u"Congo DR"}, {"c_c", u"Con"}};
  for (const char* key : {"a", "b", "c"}) {
    DocNode* country = root.AddChild(key);
    AddChannel(*country, "1", u"DR x", "n", {{1, u"u"}});
    AddChannel(*country, "2", u"go DR", "n", {{1, u"u"}});
    AddChannel(*country, "3", u"", "n", {{1, u"u"}});
  }
  const std::vector<const Channel*> channels = Load(root, names);
  for (const Channel* a : channels) {
    for (const Channel* b : channels) {
      const int made = a->title().compare(b->title());
      EXPECT_EQ(CompareTitles(*a, *b) < 0, made < 0) << a->key() << " " << b->key();
      EXPECT_EQ(CompareTitles(*a, *b) == 0, made == 0) << a->key() << " " << b->key();
    }
  }
}

TEST_F(TitleOrderTest, NamesSharingALongStartSortLikeWholeTitles) {
  // One country whose channel names all begin alike and then differ in
  // length, in digits, at the very end or not at all.
  DocNode root("1");
  DocNode* country = root.AddChild("pl");
  const std::vector<std::u16string> tails = {u"1 HD", u"10 HD", u"2", u"", u"1 HD", u"100", u"1", u"1 HD+",
                                             u"\u0001", u"Z", u"9 HD"};
  for (size_t i = 0; i < 40; ++i) {
    const std::u16string name = u"Channel long shared start " + tails[i % tails.size()] + (i % 3 == 0 ? u"" : u"x");
    testing::AddChannel(*country, "k" + std::to_string(39 - i), name, "e", {{1, u"http://a"}});
  }
  const std::vector<const Channel*> channels = Load(root, {{"c_pl", u"List"}});
  ASSERT_EQ(channels.size(), 40u);
  EXPECT_EQ(Actual(channels), Expected(channels));
}

}  // namespace
}  // namespace vidora::testing
