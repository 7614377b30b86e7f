#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <ctime>
#include <fstream>
#include <string>

#include "core/guide/guide_store.h"
#include "core/guide/xmltv_reader.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

constexpr int64_t kNoon = 1767268800;  // 2026-01-01 12:00 UTC

std::vector<std::string> Titles(const GuideStore& store, std::string_view id) {
  std::vector<std::string> titles;
  const int32_t channel = store.FindChannel(id);
  if (channel < 0) return titles;
  for (const ProgrammeRecord& p : store.Programmes(static_cast<size_t>(channel))) titles.emplace_back(store.Text(p.title));
  return titles;
}

std::string Gzip(const std::string& text) {
  uLongf size = compressBound(text.size()) + 32;
  std::string out(size, '\0');
  z_stream s{};
  deflateInit2(&s, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  s.avail_in = static_cast<uInt>(text.size());
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

std::string XmltvTime(int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  struct tm parts {};
  gmtime_r(&t, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S +0000", &parts);
  return text;
}

std::string Programme(const std::string& channel, const std::string& start, const std::string& stop,
                      const std::string& title) {
  return "<programme start=\"" + start + "\" " + (stop.empty() ? "" : "stop=\"" + stop + "\" ") + "channel=\"" +
         channel + "\"><title>" + title + "</title></programme>\n";
}

TEST(GuideReaderTest, RealGuideShapesKeepTheirProgrammesAndDetails) {
  // A byte order mark, single quotes, entities, every detail, a missing
  // stop, 12-digit and named-zone times, reversed, empty and overlapping
  // programmes, one outside the kept weeks.
  const std::string guide =
      "\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8'?>\n<!DOCTYPE tv SYSTEM 'xmltv.dtd'>\n<tv>"
      "<channel id='one.tv'><display-name>One HD</display-name><display-name lang='de'>Eins</display-name>"
      "<icon src='http://logo/one.png'/></channel>"
      "<programme start='20260101110000 +0000' stop='20260101120000 +0000' channel='one.tv' catchup-id='c-11'>"
      "<title lang='en'>News &amp; Weather</title><title lang='de'>Nachrichten</title><sub-title>Morning</sub-title>"
      "<desc>What happened.</desc><category>News</category><category>Current affairs</category>"
      "<episode-num system='xmltv_ns'>1.4.0/2</episode-num><rating system='MPAA'><value>PG</value></rating>"
      "<icon src='http://pic/1.jpg'/></programme>"
      "<programme start='202601011200 +0000' channel='one.tv'><title>Open end</title></programme>"
      "<programme start='20260101140000 CET' stop='20260101143000 CET' channel='one.tv'>"
      "<title>Named zone</title><episode-num system='onscreen'>Ep. 7</episode-num></programme>"
      "<programme start='20260101131500 +0000' stop='20260101134500 +0000' channel='one.tv'><title>Overlap</title></programme>"
      "<programme start='20260101170000 +0000' stop='20260101160000 +0000' channel='one.tv'><title>Reversed</title></programme>"
      "<programme start='20260101180000 +0000' stop='20260101180000 +0000' channel='one.tv'><title>Empty</title></programme>"
      "<programme start='20260201120000 +0000' stop='20260201130000 +0000' channel='one.tv'><title>Too late</title></programme>"
      "<programme start='20260101120000' stop='20260101130000' channel='nochannel'><title>No zone</title></programme>"
      "</tv>";
  GuideStore store;
  const GuideReadResult read = ReadXmltvBytes(guide, store, kNoon);
  store.Finish();
  ASSERT_TRUE(read.ok) << read.reason;
  EXPECT_EQ(Titles(store, "one.tv"), (std::vector<std::string>{"News & Weather", "Open end", "Named zone"}));
  const auto one = static_cast<size_t>(store.FindChannel("one.tv"));
  const auto programmes = store.Programmes(one);
  const ProgrammeRecord& news = programmes[0];
  EXPECT_EQ(store.Text(news.sub_title), "Morning");
  EXPECT_EQ(store.Text(news.description), "What happened.");
  EXPECT_EQ(store.Text(news.categories), "News, Current affairs");
  EXPECT_EQ(store.Text(news.episode), "S2 E5 P1");
  EXPECT_EQ(store.Text(news.rating), "PG");
  EXPECT_EQ(store.Text(news.icon), "http://pic/1.jpg");
  EXPECT_EQ(store.Text(news.catchup_id), "c-11");
  EXPECT_EQ(programmes[1].start, kNoon);
  EXPECT_EQ(programmes[1].stop, kNoon + 3600);  // ends where the next one starts
  EXPECT_EQ(programmes[2].start, kNoon + 3600);  // 14:00 CET
  EXPECT_EQ(store.Text(programmes[2].episode), "Ep. 7");
  EXPECT_EQ(store.Text(store.channel(one).icon), "http://logo/one.png");
  ASSERT_EQ(store.DisplayNames(one).size(), 2u);
  EXPECT_EQ(Titles(store, "nochannel"), std::vector<std::string>{"No zone"});
  EXPECT_EQ(store.Programmes(static_cast<size_t>(store.FindChannel("nochannel")))[0].start, kNoon);
  const GuideStore::NowNext at = store.FindNowNext(one, kNoon + 60);
  ASSERT_NE(at.now, nullptr);
  EXPECT_EQ(store.Text(at.now->title), "Open end");
  ASSERT_NE(at.next, nullptr);
  EXPECT_EQ(store.Text(at.next->title), "Named zone");
}

TEST(GuideReaderTest, Latin1AndGzipFilesReadLikeUtf8Ones) {
  testing::TempDir dir;
  const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><tv>" +
                             Programme("a", "20260101120000 +0000", "20260101130000 +0000", "Caf\xE9 M\xFCller") + "</tv>";
  std::ofstream(dir / "latin1.xml", std::ios::binary) << latin1;
  // Two gzip members one after the other, as `cat a.gz b.gz` makes.
  const std::string first = "<tv>" + Programme("a", "20260101120000 +0000", "20260101130000 +0000", "Caf\xC3\xA9 M\xC3\xBCller");
  std::ofstream(dir / "guide.xml.gz", std::ios::binary) << Gzip(first) << Gzip("</tv>");
  for (const char* name : {"latin1.xml", "guide.xml.gz"}) {
    GuideStore store;
    const GuideReadResult read = ReadXmltvFile(dir / name, store, kNoon);
    store.Finish();
    EXPECT_TRUE(read.ok) << name << ": " << read.reason;
    EXPECT_EQ(Titles(store, "a"), std::vector<std::string>{"Caf\xC3\xA9 M\xC3\xBCller"}) << name;
  }
}

TEST(GuideReaderTest, HostileGuidesAreRefusedWithAReasonAndKeepWhatWasRead) {
  // Expanding entities and external ones are refused before any use.
  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE tv [<!ENTITY a \"aaaaaaaaaa\">";
  for (int i = 0; i < 10; ++i) laughs += "<!ENTITY e" + std::to_string(i) + " \"&a;&a;&a;&a;&a;&a;&a;&a;\">";
  laughs += "]><tv>" + Programme("a", "20260101120000", "20260101130000", "&e9;") + "</tv>";
  const std::string external = "<?xml version=\"1.0\"?><!DOCTYPE tv [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><tv>" +
                               Programme("a", "20260101120000", "20260101130000", "&x;") + "</tv>";
  for (const std::string& text : {laughs, external}) {
    GuideStore store;
    const GuideReadResult read = ReadXmltvBytes(text, store, kNoon);
    EXPECT_FALSE(read.ok);
    EXPECT_NE(read.reason.find("entities"), std::string::npos) << read.reason;
    EXPECT_EQ(read.programmes, 0u);
  }
  // Markup inside a name or title is read as its text; a <channel> there
  // does not end the channel whose name is being read.
  {
    GuideStore store;
    const GuideReadResult read = ReadXmltvBytes(
        "<tv><channel id='a'><display-name>One<channel id=''/> Two</display-name></channel>" +
            Programme("a", "20260101120000", "20260101130000", "Tit<b>le</b>") + "</tv>",
        store, kNoon);
    store.Finish();
    EXPECT_TRUE(read.ok) << read.reason;
    const int32_t a = store.FindChannel("a");
    ASSERT_GE(a, 0);
    ASSERT_EQ(store.DisplayNames(static_cast<size_t>(a)).size(), 1u);
    EXPECT_EQ(store.Text(store.DisplayNames(static_cast<size_t>(a))[0]), "One Two");
    EXPECT_EQ(Titles(store, "a"), std::vector<std::string>{"Title"});
  }
  // Broken half-way: the programmes before the fault stay, and it says so.
  std::string broken = "<tv>" + Programme("a", "20260101120000", "20260101130000", "Kept") + "<programme start=";
  GuideStore store;
  GuideReadResult read = ReadXmltvBytes(Gzip(broken), store, kNoon);
  store.Finish();
  EXPECT_FALSE(read.ok);
  EXPECT_TRUE(read.damaged);
  EXPECT_EQ(Titles(store, "a"), std::vector<std::string>{"Kept"});
  // A small gzip that unpacks a hundredfold and more is a bomb.
  std::string bomb = "<tv>" + std::string(80u << 20, ' ') + "</tv>";
  GuideStore bombed;
  read = ReadXmltvBytes(Gzip(bomb), bombed, kNoon);
  EXPECT_FALSE(read.ok);
  EXPECT_NE(read.reason.find("unpacks"), std::string::npos) << read.reason;
  EXPECT_LE(read.xml_bytes, 81u << 20);
}

TEST(GuideReaderTest, CapsBoundProgrammesPerChannelAndInTotal) {
  std::string guide = "<tv>";
  for (int channel = 0; channel < 3; ++channel) {
    for (int i = 0; i < 50; ++i) {
      // Each slot twice: the copy overlaps and is dropped as it arrives.
      for (int copy = 0; copy < 2; ++copy) {
        guide += Programme("c" + std::to_string(channel), XmltvTime(kNoon + i * 600), XmltvTime(kNoon + i * 600 + 300), "t");
      }
    }
  }
  guide += "</tv>";
  GuideCaps caps;
  caps.programmes_per_channel = 40;
  caps.programmes = 100;
  GuideStore store(caps);
  ASSERT_TRUE(ReadXmltvBytes(guide, store, kNoon).ok);
  store.Finish();
  EXPECT_EQ(store.programme_count(), 100u);
  EXPECT_EQ(store.Programmes(static_cast<size_t>(store.FindChannel("c0"))).size(), 40u);
  EXPECT_EQ(store.Programmes(static_cast<size_t>(store.FindChannel("c2"))).size(), 20u);
  EXPECT_GT(store.dropped_by_caps(), 0u);
}

TEST(GuideReaderTest, AFifoOrFolderIsRefusedWithoutWaiting) {
  testing::TempDir dir;
  const std::filesystem::path fifo = dir / "guide.xml";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::filesystem::path& path : {fifo, dir.path()}) {
    GuideStore store;
    const GuideReadResult read = ReadXmltvFile(path, store, kNoon);
    EXPECT_FALSE(read.ok);
    EXPECT_NE(read.reason.find("not a regular file"), std::string::npos) << read.reason;
  }
}

}  // namespace
}  // namespace vidora
