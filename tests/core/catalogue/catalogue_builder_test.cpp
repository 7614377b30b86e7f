// The one-pass catalogue loader against the reference: the document
// reader's tree built channel by channel (BuildCountry), on hand-made
// corner cases and on damaged files.
#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "core/catalogue/catalogue_reader.h"
#include "core/catalogue/catalogue_scrambler.h"
#include "core/document/text_codec.h"
#include "core/catalogue/catalogue_test_support.h"

namespace vidora::testing {
namespace {

// Encodes nodes byte by byte, so a test can write what no tree can hold:
// repeated names and wrong magics.
class RawNode {
 public:
  explicit RawNode(std::string name, std::string magic = "QDOC") : name_(std::move(name)), magic_(std::move(magic)) {}

  RawNode& Int(const std::string& name, int32_t value) { return Word(name, 1, static_cast<uint32_t>(value)); }
  RawNode& Bool(const std::string& name, bool value) { return Word(name, 2, value ? 1 : 0); }
  RawNode& Word(const std::string& name, uint8_t type, uint32_t word) {
    std::string bytes = Narrow(name) + static_cast<char>(type);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((word >> (8 * i)) & 0xFF);
    return Add(bytes);
  }
  RawNode& Text(const std::string& name, const std::string& text) { return Add(Narrow(name) + '\x06' + Narrow(text)); }
  RawNode& Wide(const std::string& name, const std::u16string& text) {
    std::string bytes = Narrow(name) + '\x07' + static_cast<char>(text.size());
    for (char16_t unit : text) bytes += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return Add(bytes);
  }
  RawNode& Child(RawNode child) {
    children_.push_back(std::move(child));
    return children_.back();
  }
  RawNode& Then(RawNode child) {
    children_.push_back(std::move(child));
    return *this;
  }

  std::string Encode() const {
    if (magic_ != "QDOC") return magic_;
    std::string out = magic_ + Narrow(name_) + U32(attribute_count_) + attributes_ + U32(static_cast<uint32_t>(children_.size()));
    for (const RawNode& child : children_) out += child.Encode();
    return out;
  }

 private:
  static std::string Narrow(const std::string& text) { return static_cast<char>(text.size()) + text; }
  static std::string U32(uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
            static_cast<char>(v >> 24)};
  }
  RawNode& Add(const std::string& bytes) {
    attributes_ += bytes;
    ++attribute_count_;
    return *this;
  }

  std::string name_;
  std::string magic_;
  std::string attributes_;
  uint32_t attribute_count_ = 0;
  std::vector<RawNode> children_;
};

RawNode Source(const std::string& number, int32_t bitrate, const std::u16string& address) {
  RawNode source(number);
  source.Int("b", bitrate).Wide("u", address);
  return source;
}

// Everything that is visible of the channels, keyed so both sides compare.
std::string Describe(const std::vector<Channel*>& channels, const std::vector<std::u16string>& warnings) {
  std::ostringstream out;
  for (const Channel* channel : channels) {
    out << channel->key() << " name=" << Utf16ToUtf8(channel->name()) << " country="
        << Utf16ToUtf8(channel->country()->display_name()) << " p=" << channel->p_value()
        << " g=" << channel->provider() << " r=" << channel->radio()
        << " c=" << (channel->category() ? channel->category()->key() : "-") << " cu=" << channel->current_source()
        << " f=" << channel->favourite() << " title=" << Utf16ToUtf8(channel->title())
        << " info=" << Utf16ToUtf8(channel->info_line());
    for (const StreamSource& source : channel->sources()) {
      out << " [" << source.bitrate << " " << source.address << "]";
    }
    out << "\n";
  }
  for (const std::u16string& warning : warnings) out << "warn " << Utf16ToUtf8(warning) << "\n";
  return out.str();
}

class CatalogueBuilderTest : public CatalogueTest {
 protected:
  std::filesystem::path WriteRaw(const std::string& bytes, const std::string& name = "raw.vdch") {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  CatalogueOptions Collecting(std::vector<std::u16string>& warnings) {
    CatalogueOptions options;
    options.warning = [&warnings](const std::u16string& text) { warnings.push_back(text); };
    return options;
  }

  // Loads `path` with the one-pass loader and with the reference, and
  // expects the same channels, order, version and warnings.
  void ExpectSameAsReference(const std::filesystem::path& path, const DocNode* saved = nullptr) {
    std::vector<std::u16string> warnings;
    ChannelCatalogue loaded(Collecting(warnings));
    ASSERT_TRUE(loaded.Load(path, saved));

    // The reference: categories from an empty catalogue file, then the
    // document reader's tree, country by country, and the same sort.
    std::vector<std::u16string> reference_warnings;
    ChannelCatalogue reference(Collecting(reference_warnings));
    DocNode empty("x");
    ASSERT_TRUE(reference.Load(Write(empty, "empty.vdch"), nullptr));
    DocNode document;
    ASSERT_TRUE(ReadCatalogueDocument(path, document));
    std::vector<std::unique_ptr<Country>> countries;
    std::vector<std::string> country_keys;
    for (const auto& child : document.children()) {
      countries.push_back(reference.BuildCountry(*child, saved));
      country_keys.push_back(child->name());
    }
    std::vector<Channel*> expected = reference.AllChannels();
    std::vector<Channel*> got = loaded.AllChannels();
    // Equal titles may list in either order; the key settles it on both.
    auto by_title = [](const Channel* a, const Channel* b) {
      return a->title() != b->title() ? a->title() < b->title() : a->key() < b->key();
    };
    std::sort(expected.begin(), expected.end(), by_title);
    // A load ends with a summary of the warnings held back; building
    // country by country has no end, so only the ones shown compare.
    if (warnings.size() > static_cast<size_t>(kShownLoaderWarnings)) warnings.resize(kShownLoaderWarnings);
    if (reference_warnings.size() > static_cast<size_t>(kShownLoaderWarnings)) {
      reference_warnings.resize(kShownLoaderWarnings);
    }
    EXPECT_TRUE(std::is_sorted(got.begin(), got.end(), by_title));
    EXPECT_EQ(Describe(got, warnings), Describe(expected, reference_warnings));
    EXPECT_EQ(loaded.Version(), document.name());
    std::vector<std::string> loaded_keys;
    for (const auto& [key, country] : loaded.countries()) loaded_keys.push_back(key);
    std::sort(country_keys.begin(), country_keys.end());
    EXPECT_EQ(loaded_keys, country_keys);
  }
};

TEST_F(CatalogueBuilderTest, RepeatedNamesWrongTypesAndGapsMatchTheTreeReader) {
  RawNode root("2.0");
  root.Text("ignored", "root attributes are not read");
  RawNode& de = root.Child(RawNode("de"));
  // The first "n" is of the wrong type: the second is dropped all the
  // same, so the name is absent.
  de.Child(RawNode("dup_attr")).Int("n", 5).Wide("n", u"Late").Text("p", "p1").Text("c", "n")
      .Then(Source("0", 1, u"a"));
  de.Child(RawNode("one")).Wide("n", u"Eins").Text("p", "first").Text("c", "n").Bool("r", true)
      .Then(Source("1", 20, u"second")).Then(Source("0", 10, u"first")).Then(Source("0", 99, u"repeat"))
      .Then(Source("3", 30, u"after gap")).Then(Source("01", 40, u"leading zero"));
  // A repeated channel name: the later node and its warnings are dropped.
  de.Child(RawNode("one")).Wide("n", u"Zwei").Text("c", "nope");
  de.Child(RawNode("types")).Text("n", "narrow").Wide("p", u"wide").Int("g", 1).Int("r", 1).Wide("c", u"n")
      .Then(RawNode("0").Text("b", "x").Text("u", "narrow").Then(Source("0", 5, u"nested")));
  de.Child(RawNode("", "QDxC"));
  RawNode& sources = de.Child(RawNode("nested"));
  sources.Wide("n", u"Nested").Text("c", "mu");
  sources.Child(Source("0", 7, u"x")).Then(RawNode("deeper").Then(RawNode("deepest")));
  // A repeated country: dropped with everything under it.
  root.Child(RawNode("de")).Child(RawNode("ghost")).Wide("n", u"Ghost").Text("c", "zz");
  root.Child(RawNode("at"));
  root.Then(RawNode("", "XXXX"));
  root.Child(RawNode("fr")).Child(RawNode("info")).Wide("n", u"Info").Text("c", "ad").Text("g", "prov")
      .Then(Source("0", 300, u"http://b/i"));

  const std::filesystem::path path = WriteRaw(root.Encode());
  ExpectSameAsReference(path);

  std::vector<std::u16string> warnings;
  ChannelCatalogue catalogue(Collecting(warnings));
  ASSERT_TRUE(catalogue.Load(path, nullptr));
  EXPECT_EQ(catalogue.Version(), "2.0");
  EXPECT_EQ(catalogue.LastReadStatus(), ReadStatus::kOk);
  const Channel* one = catalogue.FindChannelByKey("de_one");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->name(), u"Eins");
  ASSERT_EQ(one->sources().size(), 2u);
  EXPECT_EQ(one->sources()[0].address, "first");
  EXPECT_EQ(one->sources()[1].address, "second");
  EXPECT_EQ(catalogue.FindChannelByKey("de_dup_attr")->name(), u"");
  EXPECT_EQ(catalogue.FindChannelByKey("de_ghost"), nullptr);
  EXPECT_EQ(catalogue.countries().count(""), 1u);
  EXPECT_EQ(std::count(warnings.begin(), warnings.end(), u"de : Zwei - Wrong category!"), 0);
}

TEST_F(CatalogueBuilderTest, AnEntryWithMoreSourcesThanAChannelKeepsGivesItsFirstOnes) {
  RawNode root("2.0");
  RawNode& many = root.Child(RawNode("de")).Child(RawNode("many"));
  many.Wide("n", u"Many").Text("c", "n");
  const size_t count = Channel::kMaxSources + 10;
  for (size_t i = 0; i < count; ++i) many.Then(Source(std::to_string(i), 1, u"s" + Utf8ToUtf16(std::to_string(i))));
  const std::filesystem::path path = WriteRaw(root.Encode());
  ExpectSameAsReference(path);

  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(path, nullptr));
  const Channel* channel = catalogue.FindChannelByKey("de_many");
  ASSERT_NE(channel, nullptr);
  ASSERT_EQ(channel->sources().size(), Channel::kMaxSources);
  EXPECT_EQ(channel->sources().back().address, "s" + std::to_string(Channel::kMaxSources - 1));
}

TEST_F(CatalogueBuilderTest, DamagedAndScrambledFilesMatchTheTreeReader) {
  DocNode root("3.1");
  DocNode* de = root.AddChild("de");
  for (int i = 0; i < 40; ++i) {
    AddChannel(*de, "ch" + std::to_string(i), u"Kanal " + Utf8ToUtf16(std::to_string(i * 37 % 11)),
               i % 7 == 0 ? "bad" : "n", {{i, u"http://x/" + Utf8ToUtf16(std::to_string(i))}, {2 * i, u"http://y"}},
               i % 3 == 0);
  }
  DocNode* fr = root.AddChild("fr");
  AddChannel(*fr, "a", u"A", "mu", {});
  std::ifstream in(Write(root, "whole.vdch"), std::ios::binary);
  const std::string whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

  DocNode saved("channels");
  saved.AddChild("de_ch3")->SetInt("cu", 1);
  saved.AddChild("de_ch4")->SetBool("f", true);
  ExpectSameAsReference(WriteRaw(whole), &saved);

  std::string scrambled = whole;
  UnscrambleCatalogue(reinterpret_cast<uint8_t*>(scrambled.data()), static_cast<uint32_t>(scrambled.size()));
  ExpectSameAsReference(WriteRaw(scrambled, "scrambled.vdch"), &saved);

  std::mt19937 random(18);
  for (int round = 0; round < 60; ++round) {
    std::string damaged = round % 2 == 0 ? whole : scrambled;
    if (round % 3 == 0) {
      damaged.resize(random() % damaged.size());
    } else {
      for (int k = 0; k < 3; ++k) damaged[random() % damaged.size()] ^= static_cast<char>(1 + random() % 255);
    }
    SCOPED_TRACE("round " + std::to_string(round));
    ExpectSameAsReference(WriteRaw(damaged, "damaged.vdch"), &saved);
  }
}

TEST_F(CatalogueBuilderTest, StatusNamesWhyAFileIsNoCatalogue) {
  std::vector<std::u16string> warnings;
  ChannelCatalogue catalogue(Collecting(warnings));
  EXPECT_FALSE(catalogue.Load(dir_ / "missing.vdch", nullptr));
  EXPECT_EQ(catalogue.LastReadStatus(), ReadStatus::kNotOpened);

  RawNode deep("v");
  RawNode* at = &deep;
  for (int i = 0; i < 300; ++i) at = &at->Child(RawNode("n"));
  EXPECT_TRUE(catalogue.Load(WriteRaw(deep.Encode()), nullptr));
  EXPECT_TRUE(catalogue.countries().empty());
  EXPECT_EQ(catalogue.Version(), "");
  // The scrambled reading is the last one tried; its bytes are noise.
  EXPECT_NE(catalogue.LastReadStatus(), ReadStatus::kOk);
  EXPECT_TRUE(warnings.empty());
}

TEST_F(CatalogueBuilderTest, OptionsGiveTextsWarningsAndHidingInsteadOfTheGlobals) {
  DocNode root("1");
  DocNode* de = root.AddChild("de");
  AddChannel(*de, "a", u"File A", "ad", {{8, u"http://a"}});
  AddChannel(*de, "b", u"File B", "n", {{16, u"http://b"}});
  AddChannel(*de, "c", u"File C", "zz", {});
  const std::filesystem::path path = Write(root);

  std::vector<std::u16string> warnings;
  bool hide = true;
  CatalogueOptions options = Collecting(warnings);
  options.text = [](std::string_view key) -> std::u16string {
    if (key == "c_de") return u"Germany";
    if (key == "c_de_b") return u"Bee";
    if (key == "str_kb") return u" kbit/s";
    return {};
  };
  options.hide_category = [&hide] { return hide; };
  ChannelCatalogue catalogue(std::move(options));
  ASSERT_TRUE(catalogue.Load(path, nullptr));

  EXPECT_TRUE(messages_.empty());  // nothing reached the process-wide sink
  EXPECT_EQ(warnings, (std::vector<std::u16string>{u"Germany : File C - Wrong category!", u"Germany : File C - No url!"}));
  Channel* a = catalogue.FindChannelByKey("de_a");
  Channel* b = catalogue.FindChannelByKey("de_b");
  EXPECT_EQ(b->title(), u"Germany Bee");
  EXPECT_EQ(b->info_line(), u"Germany (16 kbit/s)");

  a->set_favourite(true);
  b->set_favourite(true);
  catalogue.SetCurrentChannel(b);
  // "ad" is hidden through the options, whatever the setting says.
  SetSetting(kHideAdultSetting, false);
  EXPECT_EQ(catalogue.StepFavourite(true), nullptr);
  hide = false;
  EXPECT_EQ(catalogue.StepFavourite(true), a);
}

}  // namespace
}  // namespace vidora::testing
