// How the catalogue keeps its channels: the arena for texts and source
// lists, the channel store, the countries' sorted index, and what stays
// valid across extra files and reloads.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/catalogue/catalogue_arena.h"
#include "core/catalogue/catalogue_reader.h"
#include "core/catalogue/catalogue_scrambler.h"
#include "core/catalogue/channel_store.h"
#include "core/catalogue/catalogue_test_support.h"

namespace vidora::testing {
namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CatalogueArenaTest, KeptTextsAndArraysStayPutWhileTheArenaGrows) {
  CatalogueArena arena;
  EXPECT_TRUE(arena.Keep(std::string_view()).empty());
  EXPECT_EQ(arena.reserved_bytes(), 0u);  // an empty text takes nothing

  std::vector<std::string_view> narrow;
  std::vector<std::u16string_view> wide;
  std::vector<std::span<StreamSource>> arrays;
  for (int i = 0; i < 20000; ++i) {
    const std::string text = "text " + std::to_string(i);
    narrow.push_back(arena.Keep(text));
    wide.push_back(arena.KeepCounted(std::u16string(text.begin(), text.end())).view());
    // Odd-sized texts in between must not misalign what follows.
    arrays.push_back(arena.MakeArray<StreamSource>(static_cast<size_t>(i % 3)));
  }
  // Larger than any block: it gets one of its own.
  const std::string big(3 * 1024 * 1024, 'x');
  EXPECT_EQ(arena.Keep(big), big);

  for (int i = 0; i < 20000; ++i) {
    const std::string text = "text " + std::to_string(i);
    ASSERT_EQ(narrow[i], text);
    ASSERT_EQ(wide[i], std::u16string(text.begin(), text.end()));
    ASSERT_EQ(arrays[i].size(), static_cast<size_t>(i % 3));
    for (const StreamSource& source : arrays[i]) {
      ASSERT_EQ(reinterpret_cast<uintptr_t>(&source) % alignof(StreamSource), 0u);
      ASSERT_EQ(source.bitrate, 0);
      ASSERT_TRUE(source.address.empty());
    }
  }
  // Blocks grow with the arena, so the slack is a small part of it.
  EXPECT_LT(arena.reserved_bytes(), big.size() + 3u * 1024 * 1024);
}

TEST(ChannelStoreTest, ChannelsNeverMoveWhileMoreAreAdded) {
  ChannelStore store;
  std::vector<Channel*> added;
  for (int i = 0; i < 10000; ++i) {
    Channel* channel = store.Add(nullptr);
    channel->set_favourite(i % 7 == 0);
    added.push_back(channel);
  }
  EXPECT_EQ(store.size(), 10000u);
  for (size_t i = 0; i < added.size(); ++i) {
    ASSERT_EQ(added[i]->favourite(), i % 7 == 0);
    ASSERT_EQ(added[i]->country(), nullptr);
    for (size_t j = i + 1; j < added.size() && j < i + 3; ++j) ASSERT_NE(added[i], added[j]);
  }
}

class CatalogueStorageTest : public CatalogueTest {
 protected:
  std::filesystem::path WriteSample(const std::u16string& second_address, const std::string& provider = "prov") {
    DocNode root("1.0.0");
    DocNode* de = root.AddChild("de");
    // Out of byte-wise order: the index sorts them.
    AddChannel(*de, "zdf", u"ZDF", "n", {{128, u"http://s/zdf0"}, {256, second_address}}, false, provider);
    AddChannel(*de, "ard", u"ARD", "n", {{64, u"http://s/ard"}});
    AddChannel(*de, "Arte", u"Arte", "e", {{32, u"http://s/arte"}});
    DocNode* at = root.AddChild("at");
    AddChannel(*at, "orf", u"ORF", "n", {{96, u"http://s/orf"}});
    return Write(root);
  }
};

TEST_F(CatalogueStorageTest, CountriesListTheirChannelsByteWiseByName) {
  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(WriteSample(u"http://s/zdf1"), nullptr));
  const Country& de = *catalogue.countries().at("de");
  std::vector<std::string> names;
  for (const auto& [name, channel] : de.channels()) {
    names.emplace_back(name);
    EXPECT_EQ(channel->key(), "de_" + std::string(name));
    EXPECT_EQ(channel->country(), &de);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Arte", "ard", "zdf"}));
  ASSERT_NE(de.channels().find("zdf"), de.channels().end());
  EXPECT_EQ(de.channels().find("zdf")->second->name(), u"ZDF");
  EXPECT_EQ(de.channels().find("zd"), de.channels().end());
  EXPECT_EQ(de.channels().find("zzz"), de.channels().end());
  EXPECT_EQ(catalogue.AllChannels().size(), 4u);
  EXPECT_TRUE(catalogue.countries().at("at")->channels().find("orf") != catalogue.countries().at("at")->channels().end());

  const Channel* zdf = catalogue.FindChannelByKey("de_zdf");
  ASSERT_NE(zdf, nullptr);
  EXPECT_EQ(zdf->p_value(), "p-zdf");
  EXPECT_EQ(zdf->provider(), "prov");
  ASSERT_EQ(zdf->sources().size(), 2u);
  EXPECT_EQ(zdf->sources()[1].bitrate, 256);
  EXPECT_EQ(zdf->sources()[1].address, "http://s/zdf1");
}

TEST_F(CatalogueStorageTest, ChannelsAndTheirTextsStayValidWhileExtraFilesComeAndGo) {
  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(WriteSample(u"http://s/zdf1"), nullptr));
  const Channel* zdf = catalogue.FindChannelByKey("de_zdf");
  ASSERT_NE(zdf, nullptr);
  const std::string_view address = zdf->sources()[1].address;
  const std::string_view provider = zdf->provider();

  DocNode extra("1");
  for (int round = 0; round < 3; ++round) {
    DocNode* list = extra.AddChild("pl" + std::to_string(round));
    for (int i = 0; i < 50; ++i) {
      AddChannel(*list, "c" + std::to_string(i), u"Extra", "n", {{0, u"http://s/extra/" + std::u16string(40, u'e')}});
    }
    const std::filesystem::path path = Write(extra, "extra.vdch");
    ASSERT_TRUE(catalogue.AddExtraCatalogue(path, nullptr, {}, nullptr));
  }
  catalogue.RemoveExtraCatalogue(dir_ / "extra.vdch");

  // The same channel, its texts where they were (a sanitised build reads
  // freed memory here as an error).
  EXPECT_EQ(catalogue.FindChannelByKey("de_zdf"), zdf);
  EXPECT_EQ(zdf->sources()[1].address.data(), address.data());
  EXPECT_EQ(address, "http://s/zdf1");
  EXPECT_EQ(provider, "prov");
  EXPECT_EQ(catalogue.countries().count("pl0"), 0u);
}

TEST_F(CatalogueStorageTest, AReloadOfAReplacedFileHasItsTextsAndKeepsFavourites) {
  ChannelCatalogue catalogue;
  const std::filesystem::path path = WriteSample(u"http://s/zdf1");
  ASSERT_TRUE(catalogue.Load(path, nullptr));
  catalogue.FindChannelByKey("de_zdf")->set_favourite(true);

  // Replaced in place by a file with other texts for the same channels.
  WriteSample(u"http://s/zdf-new", "");
  ASSERT_TRUE(catalogue.ReloadCatalogue());
  const Channel* zdf = catalogue.FindChannelByKey("de_zdf");
  ASSERT_NE(zdf, nullptr);
  EXPECT_TRUE(zdf->favourite());
  EXPECT_FALSE(catalogue.FindChannelByKey("de_ard")->favourite());
  EXPECT_EQ(zdf->sources()[1].address, "http://s/zdf-new");
  EXPECT_TRUE(zdf->provider().empty());
  EXPECT_EQ(zdf->title(), u"de ZDF");

  // Cut short: nothing of the old channels is left to point at.
  std::vector<uint8_t> bytes = ReadBytes(path);
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size() / 2));
  ASSERT_TRUE(catalogue.ReloadCatalogue());
  EXPECT_TRUE(catalogue.countries().empty());
  EXPECT_TRUE(catalogue.AllChannels().empty());
  EXPECT_EQ(catalogue.FindChannelByKey("de_zdf"), nullptr);
  EXPECT_NE(catalogue.LastReadStatus(), ReadStatus::kOk);
}

TEST_F(CatalogueStorageTest, AnAddressChannelKeepsItsOwnAddress) {
  ChannelCatalogue catalogue;
  std::u16string address = u"http://127.0.0.1:9/live.ts";
  Channel* channel = catalogue.MakeAddressChannel(address);
  address.assign(address.size(), u'x');  // the caller's text is not borrowed
  ASSERT_EQ(channel->sources().size(), 1u);
  EXPECT_EQ(channel->sources()[0].address, "http://127.0.0.1:9/live.ts");
  EXPECT_EQ(channel->title(), u"http://127.0.0.1:9/live.ts");
  Channel* next = catalogue.MakeAddressChannel(u"http://127.0.0.1:9/other.ts");
  EXPECT_EQ(next->sources()[0].address, "http://127.0.0.1:9/other.ts");
}

TEST_F(CatalogueStorageTest, ReadingBytesNamesWhyTheyAreNoCatalogue) {
  const std::vector<uint8_t> plain = ReadBytes(WriteSample(u"http://s/zdf1"));
  std::vector<uint8_t> scrambled = plain;
  UnscrambleCatalogue(scrambled.data(), static_cast<uint32_t>(scrambled.size()));
  DocNode document;
  EXPECT_EQ(ReadCatalogueBytes(plain.data(), static_cast<uint32_t>(plain.size()), document), ReadStatus::kOk);
  EXPECT_EQ(document.name(), "1.0.0");
  EXPECT_EQ(ReadCatalogueBytes(scrambled.data(), static_cast<uint32_t>(scrambled.size()), document), ReadStatus::kOk);
  EXPECT_EQ(document.name(), "1.0.0");
  // The reason is the one of the last reading tried, through the key
  // stream: a scrambled catalogue cut short.
  std::vector<uint8_t> cut(plain.begin(), plain.end() - 5);
  UnscrambleCatalogue(cut.data(), static_cast<uint32_t>(cut.size()));
  EXPECT_EQ(ReadCatalogueBytes(cut.data(), static_cast<uint32_t>(cut.size()), document), ReadStatus::kTruncated);
  EXPECT_EQ(document.name(), "");
  EXPECT_EQ(ReadCatalogueBytes(nullptr, 100, document), ReadStatus::kTruncated);  // no bytes at all
  std::vector<uint8_t> wrong_root = plain;
  wrong_root[0] = 'X';
  UnscrambleCatalogue(wrong_root.data(), static_cast<uint32_t>(wrong_root.size()));
  EXPECT_EQ(ReadCatalogueBytes(wrong_root.data(), static_cast<uint32_t>(wrong_root.size()), document),
            ReadStatus::kBadMagic);
}

}  // namespace
}  // namespace vidora::testing
