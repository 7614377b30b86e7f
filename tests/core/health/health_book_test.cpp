// The check results as the lists and playback read them, and their file.
#include "core/health/health_book.h"

#include <gtest/gtest.h>

#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

constexpr int64_t kNow = 1790000000;

SourceCheck Result(SourceState state, int64_t at = kNow, DeadReason reason = DeadReason::kNone) {
  SourceCheck check;
  check.checked_at = at;
  check.state = state;
  check.reason = reason;
  return check;
}

// One channel "de_multi" with the sources a, b and c (in that order).
class HealthBookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DocNode root("v_test");
    DocNode* channel = root.AddChild("de")->AddChild("multi");
    channel->SetWideString("n", u"Multi");
    channel->SetString("c", "n");
    const std::u16string names[] = {u"a", u"b", u"c"};
    for (int i = 0; i < 3; ++i) {
      channel->AddChild(std::to_string(i))->SetWideString("u", u"http://127.0.0.1/" + names[i]);
    }
    const auto path = dir_.path() / "Channels.vdch";
    ASSERT_TRUE(SaveDocumentFile(root, path));
    ASSERT_TRUE(catalogue_.Load(path, nullptr));
    channel_ = catalogue_.FindChannelByKey("de_multi");
    ASSERT_NE(channel_, nullptr);
    ASSERT_EQ(channel_->sources().size(), 3u);
  }

  testing::TempDir dir_;
  ChannelCatalogue catalogue_;
  const Channel* channel_ = nullptr;
};

TEST_F(HealthBookTest, LiveSourcesComeFirstAndAChannelIsUnavailableOnlyWhenEverySourceIsDead) {
  HealthBook book;
  book.Record("http://127.0.0.1/a", Result(SourceState::kDead, kNow, DeadReason::kRefused));
  book.Record("http://127.0.0.1/c", Result(SourceState::kLive));
  EXPECT_EQ(book.LiveFirst(*channel_, kNow), (std::vector<int>{1, 2, 0}));
  ChannelHealth health = book.Judge(*channel_, kNow);
  EXPECT_EQ(health.dead, 1);
  EXPECT_EQ(health.first_dead, 0);
  EXPECT_FALSE(health.unavailable());

  book.Record("http://127.0.0.1/b", Result(SourceState::kDead));
  book.Record("http://127.0.0.1/c", Result(SourceState::kDead));
  EXPECT_TRUE(book.Judge(*channel_, kNow).unavailable());

  // A day later the results no longer count: the channel is as unchecked.
  const int64_t later = kNow + kHealthResultSeconds;
  EXPECT_FALSE(book.Judge(*channel_, later).unavailable());
  EXPECT_EQ(book.LiveFirst(*channel_, later), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(book.Stale(later).size(), 3u);
}

TEST_F(HealthBookTest, StoredResultsReadBackAndDamagedLinesArePassedOver) {
  HealthBook book;
  book.Record("http://127.0.0.1/a", Result(SourceState::kDead, kNow, DeadReason::kHttpStatus));
  book.Record("http://127.0.0.1/b\tx\ny", Result(SourceState::kLive));
  book.Record("http://127.0.0.1/Grüße", Result(SourceState::kDead, kNow, DeadReason::kRefused));
  std::string text = book.Encode();
  text += "not a line\n1\t2\t3\n1790000000\t9\t0\t0\thttp://bad/state\n1790000000\t2\t99\t0\thttp://bad/reason\n";
  text += "x\t2\t1\t0\thttp://bad/time\n";

  HealthBook read;
  ASSERT_TRUE(HealthBook::Decode(text, read));
  EXPECT_EQ(read.size(), 3u);
  ASSERT_NE(read.Find("http://127.0.0.1/Grüße", kNow), nullptr);
  EXPECT_EQ(read.Find("http://127.0.0.1/Grüße", kNow)->reason, DeadReason::kRefused);
  const SourceCheck* a = read.Find("http://127.0.0.1/a", kNow + 60);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->reason, DeadReason::kHttpStatus);
  // A tab or line end in an address cannot split the file's lines.
  EXPECT_NE(read.Find("http://127.0.0.1/b x y", kNow), nullptr);

  HealthBook none;
  EXPECT_FALSE(HealthBook::Decode("1790000000\t2\t1\t0\thttp://x/\n", none));
  EXPECT_TRUE(none.empty());

  // Merging keeps the newer result of each source.
  HealthBook newer;
  newer.Record("http://127.0.0.1/a", Result(SourceState::kLive, kNow + 10));
  read.Merge(newer);
  EXPECT_EQ(read.Find("http://127.0.0.1/a", kNow + 60)->state, SourceState::kLive);
}

}  // namespace
}  // namespace vidora
