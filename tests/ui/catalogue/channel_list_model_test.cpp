// Row bookkeeping of a channel list under a search text.

#include "ui/catalogue/channel_list_model.h"
#include "ui/catalogue/channels_test_support.h"

namespace vidora {
namespace {

class ChannelListModelTest : public testing::ChannelsDialogTest {};

TEST_F(ChannelListModelTest, SearchMapsRowsAndRemovalKeepsTheMappingRight) {
  ChannelListModel model;
  std::vector<Channel*> channels = catalogue_->AllChannels();
  model.SetChannels(channels);
  EXPECT_EQ(model.rowCount(), 12);
  EXPECT_EQ(model.data(model.index(0), Qt::DisplayRole).toString(), "FIP");

  model.SetSearchText("BBC");
  ASSERT_EQ(model.ShownCount(), 2);
  const int bbc1 = model.FullRowOf(0);
  EXPECT_EQ(model.ChannelAt(0)->key(), "uk_bbc1");
  EXPECT_EQ(model.ShownRowOf(bbc1), 0);
  EXPECT_EQ(model.ShownRowOf(0), -1);
  EXPECT_EQ(model.ChannelAt(2), nullptr);
  EXPECT_EQ(model.FullRowOf(-1), -1);

  // Removing a row that is not shown shifts the shown rows' full rows.
  EXPECT_TRUE(model.RemoveChannel(channels[0]));
  EXPECT_EQ(model.FullCount(), 11);
  EXPECT_EQ(model.FullRowOf(0), bbc1 - 1);
  EXPECT_EQ(model.ChannelAt(0)->key(), "uk_bbc1");
  // Removing a shown row removes it from both.
  EXPECT_TRUE(model.RemoveChannel(model.ChannelAt(0)));
  EXPECT_EQ(model.ShownCount(), 1);
  EXPECT_EQ(model.ChannelAt(0)->key(), "uk_bbc2");
  EXPECT_FALSE(model.RemoveChannel(channels[0]));

  model.SetSearchText(QString());
  EXPECT_EQ(model.rowCount(), 10);
  // New rows keep the search.
  model.SetSearchText("radio");
  model.SetChannels(channels);
  EXPECT_EQ(model.ShownCount(), 2);
}

}  // namespace
}  // namespace vidora
