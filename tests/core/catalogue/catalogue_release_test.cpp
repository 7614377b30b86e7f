// Storage a finished build gives partly back: arenas and channel stores
// that grew into huge-page blocks keep what they hold when their untouched
// ends are released, and can still grow; texts kept behind their length.
#include <string>
#include <vector>

#include "core/catalogue/catalogue_arena.h"
#include "core/catalogue/channel_store.h"
#include "core/catalogue/catalogue_test_support.h"

namespace vidora::testing {
namespace {

TEST(CatalogueReleaseTest, CountedTextsKeepEveryByteAndEmptyOnesTakeNothing) {
  CatalogueArena arena;
  EXPECT_TRUE(ArenaText().view().empty());
  EXPECT_TRUE(arena.KeepCounted("").view().empty());
  EXPECT_EQ(arena.reserved_bytes(), 0u);
  const std::string with_nul("a\0b", 3);
  const ArenaText kept = arena.KeepCounted(with_nul);
  std::vector<ArenaText> many;
  for (int i = 0; i < 5000; ++i) many.push_back(arena.KeepCounted(std::string(static_cast<size_t>(i % 300 + 1), 'x')));
  EXPECT_EQ(kept.view(), with_nul);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(many[i].view(), std::string(static_cast<size_t>(i % 300 + 1), 'x'));
}

TEST(CatalogueReleaseTest, AnArenaReleasedPastItsMappedBlocksKeepsItsTextsAndGrowsOn) {
  CatalogueArena arena;
  arena.ReleaseUnused();  // nothing yet
  std::vector<std::u16string_view> kept;
  auto text = [](int i) { return u"http://stream.invalid/" + std::u16string(static_cast<size_t>(i % 50), u'a' + i % 26); };
  // Well past the small blocks, into huge-page ones.
  for (int i = 0; i < 60000; ++i) kept.push_back(arena.KeepCounted(std::u16string_view(text(i))).view());
  ASSERT_GT(arena.reserved_bytes(), 4u * 1024 * 1024);
  arena.ReleaseUnused();
  for (int i = 60000; i < 70000; ++i) kept.push_back(arena.KeepCounted(std::u16string_view(text(i))).view());
  arena.ReleaseUnused();
  arena.ReleaseUnused();
  for (int i = 0; i < 70000; ++i) ASSERT_EQ(kept[i], text(i)) << i;
}

TEST(CatalogueReleaseTest, AStoreReleasedInItsMappedBlocksKeepsItsChannelsAndGrowsOn) {
  ChannelStore store;
  std::vector<Channel*> added;
  for (int round = 0; round < 3; ++round) {
    // The small blocks hold about 4,000 channels; then huge-page blocks.
    for (int i = 0; i < 9000; ++i) {
      Channel* channel = store.Add(nullptr);
      channel->set_favourite(added.size() % 5 == 0);
      added.push_back(channel);
    }
    store.ReleaseUnused();
  }
  ASSERT_EQ(store.size(), 27000u);
  for (size_t i = 0; i < added.size(); ++i) {
    ASSERT_EQ(added[i]->favourite(), i % 5 == 0) << i;
    ASSERT_EQ(added[i]->country(), nullptr);
    ASSERT_FALSE(added[i]->radio());
  }
}

}  // namespace
}  // namespace vidora::testing
