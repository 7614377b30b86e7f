#include "core/guide/guide_loader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <ctime>
#include <fstream>

#include "core/document/text_codec.h"
#include "core/guide/guide_cache.h"
#include "core/net/local_http_server.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

// The downloaded files carry the real clock's times, so the guides are
// written around the real hour.
const int64_t kNoon = std::time(nullptr) / 3600 * 3600;

std::string At(int64_t offset) {
  const time_t t = static_cast<time_t>(kNoon + offset);
  struct tm parts {};
  gmtime_r(&t, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S +0000", &parts);
  return text;
}

std::string Gzip(const std::string& text) {
  std::string out(compressBound(text.size()) + 32, '\0');
  z_stream s{};
  deflateInit2(&s, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  s.avail_in = static_cast<uInt>(text.size());
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

// "channel start-stop title" of every programme, to compare guides.
std::vector<std::string> Dump(const GuideStore& store) {
  std::vector<std::string> lines;
  for (size_t c = 0; c < store.channel_count(); ++c) {
    for (const ProgrammeRecord& p : store.Programmes(c)) {
      lines.push_back(std::string(store.Text(store.channel(c).id)) + " " + std::to_string(p.start - kNoon) + "-" +
                      std::to_string(p.stop - kNoon) + " " + std::string(store.Text(p.title)) + " " +
                      std::string(store.Text(p.description)));
    }
  }
  return lines;
}

void MakeOld(const std::filesystem::path& file) {
  std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) - std::chrono::hours(7));
}

class GuideLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ClearProxyEnvironment(); }

  static std::string Slot(const std::string& channel, int hour, const std::string& title) {
    return "<programme start='" + At(hour * 3600) + "' stop='" + At(hour * 3600 + 3600) + "' channel='" + channel +
           "'><title>" + title + "</title>" + (title == "A noon" ? "<desc>first</desc>" : "") + "</programme>";
  }
  std::string first_ = "<tv><channel id='x'><display-name>X</display-name></channel>" + Slot("x", 0, "A noon") + "</tv>";
  std::string second_ = "<tv>" + Slot("x", 0, "B noon") + Slot("x", 1, "B one") + Slot("y", 0, "B y") + "</tv>";
  std::atomic<int> mode_{0};  // 0: the guides; 1: a server error and a broken guide
  testing::LocalHttpServer server_{[this](const std::string& head) -> std::optional<std::string> {
    const std::string path = testing::RequestPath(head);
    if (mode_ == 1) return path == "/a.xml" ? testing::HttpAnswer(500, "oops") : testing::HttpAnswer(200, Gzip("<tv><pro"));
    return testing::HttpAnswer(200, path == "/a.xml" ? first_ : Gzip(second_));
  }};
  testing::TempDir dir_;
  GuideFolders folders_{dir_ / "guides", dir_ / "guide.cache"};
  std::vector<std::u16string> addresses_{server_.Url("/a.xml"), server_.Url("/b.xml.gz")};
};

TEST_F(GuideLoaderTest, TwoServedGuidesMergeAndTheCacheGivesThemBackWithoutParsing) {
  const GuideLoad load = LoadGuide(addresses_, folders_, kNoon, true);
  EXPECT_EQ(load.sources_read, 2u);
  EXPECT_TRUE(load.failures.empty());
  EXPECT_FALSE(load.from_cache);
  // The second source fills the gap after noon and adds a channel; its
  // noon programme repeats the first source's and is dropped.
  const std::vector<std::string> parsed = Dump(*load.store);
  EXPECT_EQ(parsed, (std::vector<std::string>{"x 0-3600 A noon first", "x 3600-7200 B one ", "y 0-3600 B y "}));
  const size_t requests = server_.Requests().size();

  const GuideLoad again = LoadGuide(addresses_, folders_, kNoon + 60, true);
  EXPECT_TRUE(again.from_cache);
  EXPECT_EQ(Dump(*again.store), parsed);
  EXPECT_EQ(server_.Requests().size(), requests);  // nothing was due

  // A damaged cache is rebuilt from the downloaded copies.
  { std::fstream(folders_.cache, std::ios::in | std::ios::out | std::ios::binary).seekp(100) << "garbage"; }
  std::string reason;
  EXPECT_FALSE(ReadGuideCache(folders_.cache, &reason));
  EXPECT_FALSE(reason.empty());
  const GuideLoad rebuilt = LoadGuide(addresses_, folders_, kNoon + 60, false);
  EXPECT_FALSE(rebuilt.from_cache);
  EXPECT_EQ(Dump(*rebuilt.store), parsed);
  EXPECT_TRUE(ReadGuideCache(folders_.cache));
}

TEST_F(GuideLoaderTest, FailedDownloadsAreSaidOnceEachAndKeepThePreviousCopies) {
  const std::vector<std::string> parsed = Dump(*LoadGuide(addresses_, folders_, kNoon, true).store);
  mode_ = 1;
  for (const std::u16string& address : addresses_) MakeOld(GuideDownloadFile(folders_.downloads, address));
  const GuideLoad load = LoadGuide(addresses_, folders_, kNoon, true);
  ASSERT_EQ(load.failures.size(), 2u);
  EXPECT_EQ(load.failures[0].address, Utf16ToUtf8(addresses_[0]));
  EXPECT_NE(load.failures[0].reason.find("500"), std::string::npos) << load.failures[0].reason;
  EXPECT_NE(load.failures[1].reason.find("broken XML"), std::string::npos) << load.failures[1].reason;
  EXPECT_EQ(Dump(*load.store), parsed);
}

TEST_F(GuideLoaderTest, AGuideWithNothingInItRoundTripsThroughTheCache) {
  GuideStore empty;
  empty.Finish();
  const std::filesystem::path file = dir_ / "empty.cache";
  ASSERT_TRUE(WriteGuideCache(file, empty, {}, kNoon));
  std::string reason;
  const std::optional<GuideCacheContent> content = ReadGuideCache(file, &reason);
  ASSERT_TRUE(content) << reason;
  EXPECT_EQ(content->store->channel_count(), 0u);
}

}  // namespace
}  // namespace vidora
