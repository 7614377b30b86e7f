#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "core/catalogue/catalogue_reader.h"
#include "core/catalogue/catalogue_scrambler.h"
#include "core/document/memory_stream.h"
#include "core/document/text_codec.h"
#include "core/catalogue/catalogue_test_support.h"

namespace vidora::testing {
namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Everything a loaded catalogue holds, as one comparable text.
std::string Describe(const ChannelCatalogue& catalogue) {
  std::ostringstream out;
  out << "version=" << catalogue.Version() << "\n";
  for (const auto& [key, category] : catalogue.categories()) out << "cat " << key << "\n";
  for (const auto& [key, country] : catalogue.countries()) {
    out << "country " << key << " " << Utf16ToUtf8(country->display_name()) << "\n";
    for (const auto& [name, channel] : country->channels()) {
      out << " " << name << " key=" << channel->key() << " name=" << Utf16ToUtf8(channel->name())
          << " p=" << channel->p_value() << " g=" << channel->provider() << " r=" << channel->radio()
          << " c=" << (channel->category() ? channel->category()->key() : "-")
          << " cu=" << channel->current_source() << " f=" << channel->favourite()
          << " title=" << Utf16ToUtf8(channel->title()) << " info=" << Utf16ToUtf8(channel->info_line());
      for (const StreamSource& source : channel->sources()) {
        out << " [" << source.bitrate << " " << source.address << "]";
      }
      out << "\n";
    }
  }
  for (const Channel* channel : catalogue.AllChannels()) out << "list " << channel->key() << "\n";
  return out.str();
}

DocNode* SampleCatalogue(DocNode& root) {
  root.set_name("1.0.7");
  DocNode* de = root.AddChild("de");
  AddChannel(*de, "one", u"Eins", "n", {{128, u"http://a/1"}, {512, u"http://a/2"}});
  AddChannel(*de, "radio", u"Welle", "mu", {{64, u"http://a/r"}}, true);
  DocNode* fr = root.AddChild("fr");
  AddChannel(*fr, "info", u"Info", "n", {{300, u"http://b/i"}}, false, "prov");
  return de;
}

using CatalogueLoadTest = CatalogueTest;

TEST_F(CatalogueLoadTest, PlainAndScrambledFilesLoadToIdenticalCatalogues) {
  DocNode root;
  SampleCatalogue(root);
  const auto plain_path = Write(root, "plain.vdch");
  std::vector<uint8_t> bytes = ReadBytes(plain_path);
  UnscrambleCatalogue(bytes.data(), static_cast<uint32_t>(bytes.size()));
  const auto scrambled_path = dir_ / "scrambled.vdch";
  WriteBytes(scrambled_path, bytes);
  DocNode as_stored;
  MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  ASSERT_NE(ReadDocument(as_stored, stream), ReadStatus::kOk) << "the scrambled file must not read as stored";

  ChannelCatalogue plain;
  ChannelCatalogue scrambled;
  ASSERT_TRUE(plain.Load(plain_path, nullptr));
  ASSERT_TRUE(scrambled.Load(scrambled_path, nullptr));
  EXPECT_EQ(Describe(plain), Describe(scrambled));
  EXPECT_EQ(plain.Version(), "1.0.7");
  EXPECT_EQ(plain.AllChannels().size(), 3u);
  EXPECT_TRUE(messages_.empty());

  // The update service checks downloads with the same reading.
  DocNode checked;
  EXPECT_EQ(ReadCatalogueBytes(bytes.data(), static_cast<uint32_t>(bytes.size()), checked), ReadStatus::kOk);
  EXPECT_EQ(checked.name(), "1.0.7");
  EXPECT_NE(ReadCatalogueBytes(bytes.data(), static_cast<uint32_t>(bytes.size() - 3), checked), ReadStatus::kOk);
  EXPECT_EQ(checked.name(), "");
}

TEST_F(CatalogueLoadTest, ChannelFieldsCategoriesAndDerivedTexts) {
  DocNode root;
  root.set_name(std::string("v\x01\xff", 3));
  DocNode* de = SampleCatalogue(root);
  root.set_name(std::string("v\x01\xff", 3));
  DocNode* gaps = AddChannel(*de, "gaps", u"Lücken", "sp", {{96, u"http://s/0"}, {192, u"http://s/1"}});
  gaps->AddChild("3")->SetWideString("u", u"http://s/3");
  gaps->AddChild("x")->SetWideString("u", u"http://s/x");
  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(Write(root), nullptr));

  EXPECT_EQ(catalogue.Version(), std::string("v\x01\xff", 3));
  std::string keys;
  for (const auto& [key, category] : catalogue.categories()) keys += key + ",";
  EXPECT_EQ(keys, "ad,e,k,l,mo,mu,n,r,sp,wc,");
  EXPECT_NE(catalogue.FindCategory("ad"), nullptr);
  EXPECT_EQ(catalogue.FindCategory("ad")->display_name(), u"ad");
  EXPECT_EQ(catalogue.FindCategory("xx"), nullptr);

  const Channel* channel = catalogue.FindChannelByKey("de_gaps");
  ASSERT_NE(channel, nullptr);
  ASSERT_EQ(channel->sources().size(), 2u);
  EXPECT_EQ(channel->sources()[1].address, "http://s/1");
  EXPECT_EQ(channel->category(), catalogue.FindCategory("sp"));
  EXPECT_EQ(channel->p_value(), "p-gaps");
  EXPECT_EQ(channel->title(), u"de Lücken");
  EXPECT_EQ(channel->info_line(), u"de (96)");
  EXPECT_EQ(ChannelCatalogue::CurrentSource(*channel), &channel->sources()[0]);

  const Channel* radio = catalogue.FindChannelByKey("de_radio");
  ASSERT_NE(radio, nullptr);
  EXPECT_TRUE(radio->radio());
  EXPECT_FALSE(catalogue.FindChannelByKey("de_one")->radio());
  EXPECT_EQ(catalogue.FindChannelByKey("fr_info")->provider(), "prov");
  EXPECT_EQ(catalogue.FindChannelByKey("de_one")->provider(), "");
  EXPECT_EQ(catalogue.FindChannelByKey("de_"), nullptr);
  EXPECT_EQ(catalogue.FindChannelByKey("deone"), nullptr);
}

TEST_F(CatalogueLoadTest, LanguagePackTextsWinOverFileNamesAndKeys) {
  LoadTexts({{"c_de", u"Deutschland"}, {"c_de_one", u"Das Erste"}, {"cat_n", u"Nachrichten"}, {"str_kb", u"kb"}});
  DocNode root;
  SampleCatalogue(root);
  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(Write(root), nullptr));
  const Channel* one = catalogue.FindChannelByKey("de_one");
  EXPECT_EQ(one->name(), u"Das Erste");
  EXPECT_EQ(one->title(), u"Deutschland Das Erste");
  EXPECT_EQ(one->info_line(), u"Deutschland (128kb)");
  EXPECT_EQ(catalogue.FindChannelByKey("de_radio")->name(), u"Welle");
  EXPECT_EQ(catalogue.FindChannelByKey("fr_info")->title(), u"fr Info");
  EXPECT_EQ(catalogue.FindCategory("n")->display_name(), u"Nachrichten");
  EXPECT_EQ(catalogue.FindCategory("mu")->display_name(), u"mu");
  EXPECT_EQ(catalogue.countries().at("de")->flag_image(), nullptr);
}

TEST_F(CatalogueLoadTest, BadChannelsAreReportedAndKeptSafely) {
  DocNode root("1");
  DocNode* de = root.AddChild("de");
  AddChannel(*de, "wrongcat", u"Falsch", "zz", {{1, u"u"}});
  AddChannel(*de, "nourl", u"Leer", "n", {});
  DocNode* odd = de->AddChild("odd");  // every needed attribute missing or of another type
  // (texts count as a WideString or a String in UTF-8)
  odd->SetInt("n", 3);
  odd->SetInt("c", 5);
  odd->SetInt("r", 1);
  odd->SetWideString("g", u"wide");
  DocNode* source = odd->AddChild("0");
  source->SetString("b", "128");
  source->SetInt("u", 7);
  root.AddChild("at");  // a country without channels

  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(Write(root), nullptr));
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[0], u"de : Falsch - Wrong category!");
  EXPECT_EQ(messages_[1], u"de : Leer - No url!");
  EXPECT_EQ(messages_[2], u"de :  - Wrong category!");
  for (const auto& caption : captions_) EXPECT_TRUE(caption.empty());

  const Channel* wrong = catalogue.FindChannelByKey("de_wrongcat");
  ASSERT_NE(wrong, nullptr);
  EXPECT_EQ(wrong->category(), nullptr);
  EXPECT_TRUE(wrong->playable());

  const Channel* nourl = catalogue.FindChannelByKey("de_nourl");
  ASSERT_NE(nourl, nullptr);
  EXPECT_FALSE(nourl->playable());
  EXPECT_EQ(ChannelCatalogue::CurrentSource(*nourl), nullptr);
  EXPECT_EQ(nourl->info_line(), u"de");

  const Channel* bad = catalogue.FindChannelByKey("de_odd");
  ASSERT_NE(bad, nullptr);
  EXPECT_EQ(bad->name(), u"");
  EXPECT_EQ(bad->p_value(), "");
  EXPECT_EQ(bad->provider(), "");
  EXPECT_FALSE(bad->radio());
  ASSERT_EQ(bad->sources().size(), 1u);
  EXPECT_EQ(bad->sources()[0].bitrate, 0);
  EXPECT_EQ(bad->sources()[0].address, "");
  EXPECT_EQ(bad->info_line(), u"de (0)");

  EXPECT_EQ(catalogue.AllChannels().size(), 3u);
  ASSERT_EQ(catalogue.countries().count("at"), 1u);
  EXPECT_TRUE(catalogue.countries().at("at")->channels().empty());
}

TEST_F(CatalogueLoadTest, SavedSourceIndexIsClampedToTheSources) {
  DocNode root("1");
  DocNode* de = root.AddChild("de");
  AddChannel(*de, "a", u"A", "n", {{1, u"a0"}});
  AddChannel(*de, "b", u"B", "n", {{1, u"b0"}, {2, u"b1"}});
  AddChannel(*de, "c", u"C", "n", {{1, u"c0"}, {2, u"c1"}});
  AddChannel(*de, "d", u"D", "n", {{1, u"d0"}, {2, u"d1"}});
  AddChannel(*de, "e", u"E", "n", {});
  DocNode saved("channels");
  saved.AddChild("de_a")->SetInt("cu", 1);
  saved.AddChild("de_b")->SetInt("cu", 1);
  saved.FindChild("de_b")->SetBool("f", true);
  saved.AddChild("de_c")->SetInt("cu", -1);
  saved.AddChild("de_d")->SetInt("cu", 3);
  saved.AddChild("de_e")->SetInt("cu", 1);
  saved.AddChild("xx_gone")->SetBool("f", true);

  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(Write(root), &saved));
  EXPECT_EQ(catalogue.FindChannelByKey("de_a")->current_source(), 0);
  const Channel* b = catalogue.FindChannelByKey("de_b");
  EXPECT_EQ(b->current_source(), 1);
  EXPECT_TRUE(b->favourite());
  EXPECT_EQ(ChannelCatalogue::CurrentSource(*b)->address, "b1");
  EXPECT_EQ(b->info_line(), u"de (2)");
  EXPECT_EQ(catalogue.FindChannelByKey("de_c")->current_source(), 0);
  EXPECT_EQ(catalogue.FindChannelByKey("de_d")->current_source(), 0);
  EXPECT_EQ(catalogue.FindChannelByKey("de_e")->current_source(), 0);
  EXPECT_FALSE(catalogue.FindChannelByKey("de_a")->favourite());
}

TEST_F(CatalogueLoadTest, AllChannelsSortByUtf16CodeUnits) {
  DocNode root("1");
  DocNode* de = root.AddChild("de");
  AddChannel(*de, "1", u"zebra", "n", {{1, u"u"}});
  AddChannel(*de, "2", u"Apple", "n", {{1, u"u"}});
  AddChannel(*de, "3", u"apple", "n", {{1, u"u"}});
  AddChannel(*de, "4", u"Zulu", "n", {{1, u"u"}});
  AddChannel(*de, "5", u"Äpfel", "n", {{1, u"u"}});
  AddChannel(*de, "6", u"App", "n", {{1, u"u"}});
  AddChannel(*de, "7", u"\U0001F600", "n", {{1, u"u"}});  // a surrogate pair sorts below U+FFxx
  AddChannel(*de, "8", u"\uFF21", "n", {{1, u"u"}});
  AddChannel(*root.AddChild("at"), "1", u"zz", "n", {{1, u"u"}});
  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(Write(root), nullptr));
  std::vector<std::u16string> titles;
  for (const Channel* channel : catalogue.AllChannels()) titles.push_back(channel->title());
  const std::vector<std::u16string> expected = {u"at zz",      u"de App",   u"de Apple",
                                                u"de Zulu",    u"de apple", u"de zebra",
                                                u"de Äpfel",   u"de \U0001F600", u"de \uFF21"};
  EXPECT_EQ(titles, expected);
}

TEST_F(CatalogueLoadTest, MissingAndForeignFilesLeaveTheCatalogueEmpty) {
  ChannelCatalogue missing;
  EXPECT_FALSE(missing.Load(dir_ / "nothing.vdch", nullptr));
  EXPECT_TRUE(missing.categories().empty());
  EXPECT_TRUE(missing.countries().empty());
  EXPECT_EQ(missing.Path(), dir_ / "nothing.vdch");

  WriteBytes(dir_ / "junk.vdch", {'n', 'o', 't', ' ', 'a', ' ', 'd', 'o', 'c'});
  ChannelCatalogue junk;
  EXPECT_TRUE(junk.Load(dir_ / "junk.vdch", nullptr));
  EXPECT_EQ(junk.categories().size(), 10u);
  EXPECT_TRUE(junk.countries().empty());
  EXPECT_EQ(junk.Version(), "");
  EXPECT_TRUE(messages_.empty());

  std::filesystem::create_directory(dir_ / "folder.vdch");
  ChannelCatalogue folder;
  EXPECT_FALSE(folder.Load(dir_ / "folder.vdch", nullptr));
}

TEST_F(CatalogueLoadTest, DamagedFilesNeverCrashTheLoader) {
  DocNode root;
  SampleCatalogue(root);
  const std::vector<uint8_t> plain = ReadBytes(Write(root, "good.vdch"));
  std::vector<uint8_t> scrambled = plain;
  UnscrambleCatalogue(scrambled.data(), static_cast<uint32_t>(scrambled.size()));
  std::mt19937 random(11);
  const auto path = dir_ / "bad.vdch";
  for (const std::vector<uint8_t>* original : std::initializer_list<const std::vector<uint8_t>*>{&plain, &scrambled}) {
    for (size_t cut = 0; cut < original->size(); cut += 3) {
      WriteBytes(path, std::vector<uint8_t>(original->begin(), original->begin() + static_cast<long>(cut)));
      ChannelCatalogue catalogue;
      EXPECT_TRUE(catalogue.Load(path, nullptr));
      EXPECT_TRUE(catalogue.countries().empty()) << "cut at " << cut;
    }
    for (int round = 0; round < 100; ++round) {
      std::vector<uint8_t> bytes = *original;
      for (int k = 0; k < 4; ++k) bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
      WriteBytes(path, bytes);
      ChannelCatalogue catalogue;
      EXPECT_TRUE(catalogue.Load(path, nullptr));
      for (const Channel* channel : catalogue.AllChannels()) {
        EXPECT_TRUE(channel->playable() == (ChannelCatalogue::CurrentSource(*channel) != nullptr));
      }
    }
  }
}

TEST_F(CatalogueLoadTest, KeyLookupPrefersTheShortestCountryLikeAWalkInKeyOrder) {
  DocNode root("1");
  AddChannel(*root.AddChild("a_b"), "c", u"Long", "n", {{1, u"u"}});
  AddChannel(*root.AddChild("a"), "b_c", u"Short", "n", {{1, u"u"}});
  AddChannel(*root.AddChild("a_b_c"), "d", u"Deep", "n", {{1, u"u"}});
  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(Write(root), nullptr));
  ASSERT_NE(catalogue.FindChannelByKey("a_b_c"), nullptr);
  EXPECT_EQ(catalogue.FindChannelByKey("a_b_c")->name(), u"Short");
  EXPECT_EQ(catalogue.FindChannelByKey("a_b_c_d")->name(), u"Deep");
  EXPECT_EQ(catalogue.FindChannelByKey("a_b_x"), nullptr);
}

}  // namespace
}  // namespace vidora::testing
