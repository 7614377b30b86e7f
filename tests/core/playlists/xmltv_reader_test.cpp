#include "core/playlists/xmltv_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>

#include "support/temp_dir.h"

namespace vidora {
namespace {

constexpr int64_t kNoon = 1767268800;  // 2026-01-01 12:00 UTC

constexpr char kGuide[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE tv SYSTEM "xmltv.dtd">
<tv>
  <channel id="one.tv"><display-name>One</display-name></channel>
  <channel id="epg-77"><display-name lang="de">Zwei Kanal</display-name><display-name>Two</display-name></channel>
  <channel id="other"><display-name>Other</display-name></channel>
  <programme start="20260101110000 +0000" stop="20260101120000 +0000" channel="one.tv"><title>Morning</title></programme>
  <programme start="20260101130000 +0100" stop="20260101133000 +0100" channel="one.tv"><title lang="en">Noon &amp; News</title><title lang="de">Mittag</title></programme>
  <programme start="20260101123000 +0000" stop="20260101140000 +0000" channel="one.tv"><title>Film</title></programme>
  <programme start="20260101120000 +0000" stop="20260101121000 +0000" channel="one.tv"><title>Duplicate</title></programme>
  <programme start="20260103120000 +0000" stop="20260103130000 +0000" channel="one.tv"><title>Too late</title></programme>
  <programme start="20260101115000 +0000" stop="20260101124000 +0000" channel="epg-77"><title>Zwei</title></programme>
  <programme start="20260101115000 +0000" stop="20260101124000 +0000" channel="other"><title>Unwanted</title></programme>
  <programme start="garbage" channel="one.tv"><title>Bad time</title></programme>
</tv>
)";

GuideRequest Request() {
  GuideRequest request;
  request.ids.insert("one.tv");
  request.names.emplace("two", GuideKey("", "TWO"));
  request.from = kNoon - 3600;
  request.to = request.from + 24 * 3600;
  return request;
}

void ExpectGuide(const ProgrammeGuide& guide) {
  const std::vector<Programme>* one = guide.Find(GuideKey("one.tv", "One"));
  ASSERT_NE(one, nullptr);
  ASSERT_EQ(one->size(), 3u);  // the duplicate slot and the day after are gone
  NowNext at_noon = guide.FindNowNext("id:one.tv", kNoon + 60);
  ASSERT_NE(at_noon.now, nullptr);
  EXPECT_EQ(at_noon.now->title, u"Noon & News");
  EXPECT_EQ(at_noon.now->start, kNoon);
  ASSERT_NE(at_noon.next, nullptr);
  EXPECT_EQ(at_noon.next->title, u"Film");
  const NowNext gap = guide.FindNowNext("id:one.tv", kNoon + 1800 - 1);
  EXPECT_EQ(gap.now, at_noon.now);
  const NowNext late = guide.FindNowNext("id:one.tv", kNoon + 5 * 3600);
  EXPECT_EQ(late.now, nullptr);
  EXPECT_EQ(late.next, nullptr);

  const NowNext two = guide.FindNowNext(GuideKey("", "Two"), kNoon);
  ASSERT_NE(two.now, nullptr);
  EXPECT_EQ(two.now->title, u"Zwei");
  EXPECT_EQ(guide.Find("id:other"), nullptr);
  EXPECT_EQ(guide.channel_count(), 2u);
}

TEST(XmltvReaderTest, KeepsTheNextDayOfWantedChannelsMatchedByIdOrName) {
  const GuideRequest request = Request();
  ProgrammeGuide guide;
  std::string error;
  ASSERT_TRUE(ReadXmltvBytes(kGuide, request, guide, &error)) << error;
  ExpectGuide(guide);
}

TEST(XmltvReaderTest, ReadsGzipFilesAndPlainFilesAlike) {
  testing::TempDir dir;
  const GuideRequest request = Request();
  const std::filesystem::path gz = dir / "guide.xml.gz";
  gzFile out = gzopen(gz.c_str(), "wb");
  gzwrite(out, kGuide, sizeof(kGuide) - 1);
  gzclose(out);
  ProgrammeGuide from_gz;
  ASSERT_TRUE(ReadXmltvFile(gz, request, from_gz));
  ExpectGuide(from_gz);

  std::ifstream in(gz, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ProgrammeGuide from_memory;
  ASSERT_TRUE(ReadXmltvBytes(bytes, request, from_memory));
  ExpectGuide(from_memory);

  // Cut in the middle: an error, but what came before stays.
  ProgrammeGuide truncated;
  std::string error;
  EXPECT_FALSE(ReadXmltvBytes(bytes.substr(0, bytes.size() / 2), request, truncated, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ReadXmltvFile(dir / "missing.xml", request, truncated));
}

TEST(XmltvReaderTest, HostileDocumentsFailWithoutBlowingUp) {
  const GuideRequest request = Request();
  ProgrammeGuide guide;
  // Entity expansion is bounded by the parser.
  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE tv [<!ENTITY a \"aaaaaaaaaa\">";
  std::string prev = "a";
  for (int i = 0; i < 12; ++i) {
    const std::string name = "e" + std::to_string(i);
    const std::string ref = "&" + prev + ";";
    laughs += "<!ENTITY " + name + " \"" + ref + ref + ref + ref + "\">";
    prev = name;
  }
  laughs += "]><tv><programme start=\"20260101120000\" channel=\"one.tv\"><title>&" + prev + ";</title></programme></tv>";
  ReadXmltvBytes(laughs, request, guide);
  EXPECT_FALSE(ReadXmltvBytes("<tv><programme", request, guide));
  EXPECT_FALSE(ReadXmltvBytes(std::string("\x1f\x8b\x08\x00garbage", 12), request, guide));
  // Texts are cut, not kept whole.
  ProgrammeGuide long_title;
  const std::string big = "<tv><programme start=\"20260101120000 +0000\" stop=\"20260101130000 +0000\" channel=\"one.tv\">"
                          "<title>" + std::string(1 << 20, 'x') + "</title></programme></tv>";
  ASSERT_TRUE(ReadXmltvBytes(big, request, long_title));
  ASSERT_NE(long_title.Find("id:one.tv"), nullptr);
  EXPECT_LE(long_title.Find("id:one.tv")->front().title.size(), 4096u);
}

TEST(XmltvReaderTest, TimesWithAndWithoutOffsetsAndSeconds) {
  int64_t t = 0;
  ASSERT_TRUE(ParseXmltvTime("20260101120000 +0000", t));
  EXPECT_EQ(t, kNoon);
  ASSERT_TRUE(ParseXmltvTime("20260101133000 +0130", t));
  EXPECT_EQ(t, kNoon);
  ASSERT_TRUE(ParseXmltvTime("202601010700 -0500", t));
  EXPECT_EQ(t, kNoon);
  ASSERT_TRUE(ParseXmltvTime("20260101", t));
  EXPECT_EQ(t, kNoon - 12 * 3600);
  EXPECT_FALSE(ParseXmltvTime("2026-01-01", t));
  EXPECT_FALSE(ParseXmltvTime("20261301120000", t));
}

}  // namespace
}  // namespace vidora
