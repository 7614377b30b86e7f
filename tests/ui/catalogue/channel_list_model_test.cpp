// Row bookkeeping of a channel list under a search text.

#include "ui/catalogue/channel_list_model.h"

#include <QStringList>

#include "core/catalogue/channel.h"
#include "core/catalogue/country.h"
#include "ui/catalogue/channels_test_support.h"
#include "ui/texts/ui_texts.h"

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

TEST_F(ChannelListModelTest, ARowTellsAScreenReaderItsKindCountryAndFavouriteMark) {
  ChannelListModel model;
  std::vector<Channel*> channels = catalogue_->AllChannels();
  model.SetChannels(channels);
  for (int row = 0; row < model.rowCount(); ++row) {
    Channel* channel = model.ChannelAt(row);
    channel->set_favourite(row == 0);
    const QString description = model.data(model.index(row), Qt::AccessibleDescriptionRole).toString();
    EXPECT_TRUE(description.startsWith(Text(channel->radio() ? "str_radio" : "str_tv"))) << description.toStdString();
    EXPECT_TRUE(description.contains(ToQString(channel->country()->display_name()))) << description.toStdString();
    // Kind and country, and the favourite mark after them (no guide here).
    const QStringList parts = description.split(QStringLiteral(", "));
    EXPECT_EQ(parts.size(), row == 0 ? 3 : 2) << description.toStdString();
    if (row == 0) {
      EXPECT_EQ(parts.back(), Text("acc_favourite"));
    }
  }
}

TEST_F(ChannelListModelTest, RowsSearchTheCataloguesSharedNamesUntilTheListChanges) {
  // Every other channel, with its slot in the catalogue's list.
  const std::vector<Channel*>& all = catalogue_->AllChannels();
  std::vector<Channel*> rows;
  std::vector<uint32_t> name_slots;
  for (size_t i = 0; i < all.size(); i += 2) {
    rows.push_back(all[i]);
    name_slots.push_back(static_cast<uint32_t>(i));
  }
  const std::shared_ptr<const FoldedNames> names = FoldedNames::OfCatalogue(*catalogue_);
  EXPECT_EQ(FoldedNames::OfCatalogue(*catalogue_), names);  // made once
  ChannelListModel model;
  model.SetChannels(rows, names, name_slots);
  EXPECT_EQ(model.rowCount(), static_cast<int>(rows.size()));
  // Each row finds its own channel's name: the search shows exactly the
  // rows whose names hold the text.
  for (const Channel* channel : rows) {
    model.SetSearchText(ToQString(channel->name()).toUpper());
    bool shown = false;
    for (int row = 0; row < model.ShownCount(); ++row) {
      EXPECT_NE(ToQString(model.ChannelAt(row)->name()).indexOf(model.search_text(), 0,
                                                                                Qt::CaseInsensitive),
                -1);
      shown = shown || model.ChannelAt(row) == channel;
    }
    EXPECT_TRUE(shown) << ToQString(channel->name()).toStdString();
  }
  model.SetSearchText(QString());
  EXPECT_TRUE(model.RemoveChannel(rows[1]));
  model.SetSearchText(ToQString(rows[2]->name()));
  ASSERT_GE(model.ShownCount(), 1);
  EXPECT_EQ(model.ChannelAt(0), rows[2]);

  // A new list (here a whole new catalogue where the old one was) gets
  // names of its own.
  const uint64_t version = catalogue_->ListVersion();
  std::vector<testing::ChannelEntry> fewer = testing::SampleChannels();
  fewer.erase(fewer.begin(), fewer.begin() + 3);
  LoadCatalogue(fewer);
  EXPECT_NE(catalogue_->ListVersion(), version);
  const std::shared_ptr<const FoldedNames> renewed = FoldedNames::OfCatalogue(*catalogue_);
  EXPECT_NE(renewed, names);
  EXPECT_EQ(renewed->starts.size(), catalogue_->AllChannels().size() + 1);
}

}  // namespace
}  // namespace vidora
