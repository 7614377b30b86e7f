// The channels dialog with the keyboard alone: Tab through the filters
// and the list, arrows in the combo boxes, typing to search, Enter to
// play, Ctrl+Tab for the tabs, the Menu key and F2 for the menus, Escape
// to leave.
#include <QAction>
#include <QComboBox>
#include <QMenu>

#include <gtest/gtest.h>

#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/catalogue/channels_test_support.h"
#include "ui/desktop/keyboard_support.h"
#include "ui/dialogs/soft_key_bar.h"

namespace vidora {
namespace {

using testing::Type;

class ChannelsDialogKeysTest : public testing::ChannelsDialogTest {
 protected:
  void SetUp() override {
    ChannelsDialogTest::SetUp();
    owner_.setGeometry(0, 0, 480, 640);
    owner_.show();
  }
  QWidget owner_;
};

TEST_F(ChannelsDialogKeysTest, TabWalksTheFiltersInReadingOrderAndArrowsFilter) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  ASSERT_TRUE(testing::ShowActive(&dialog));
  EXPECT_EQ(QApplication::focusWidget(), dialog.channel_list());
  Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.country_combo());
  Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.kind_combo());  // beside the country
  Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.category_combo());  // the row below
  Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.channel_list());
  Type(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), dialog.category_combo());
  Type(Qt::Key_Backtab, Qt::ShiftModifier);
  ASSERT_EQ(QApplication::focusWidget(), dialog.kind_combo());

  Type(Qt::Key_Down);  // TV+Radio -> TV
  EXPECT_EQ(dialog.kind_combo()->currentIndex(), kKindTv);
  for (int row = 0; row < dialog.channel_list()->RowCount(); ++row) {
    EXPECT_FALSE(dialog.channel_list()->ChannelAtShownRow(row)->radio());
  }
  Type(Qt::Key_Up);
  EXPECT_EQ(dialog.kind_combo()->currentIndex(), 0);
  EXPECT_EQ(dialog.channel_list()->RowCount(), 11);
}

TEST_F(ChannelsDialogKeysTest, TypingFindsAChannelThatEnterPlays) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  ASSERT_TRUE(testing::ShowActive(&dialog));
  ASSERT_EQ(QApplication::focusWidget(), dialog.channel_list());
  QTest::keyClicks(dialog.channel_list(), QStringLiteral("bbc o"));
  ASSERT_EQ(dialog.channel_list()->RowCount(), 1);
  Type(Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(dialog.play_requested());
  ASSERT_NE(dialog.chosen_channel(), nullptr);
  EXPECT_EQ(dialog.chosen_channel()->key(), "uk_bbc1");
}

TEST_F(ChannelsDialogKeysTest, CtrlTabTurnsTheTabsAndTheMenusOpenOnTheirFirstItem) {
  FindChannel("uk_bbc2")->set_favourite(true);
  ChannelsDialog dialog(&owner_, catalogue_.get());
  ASSERT_TRUE(testing::ShowActive(&dialog));
  Type(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(dialog.ShownTab(), kFavouritesTab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.favourites_list());
  EXPECT_EQ(dialog.favourites_list()->SelectedChannel(), FindChannel("uk_bbc2"));
  Type(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(dialog.ShownTab(), kChannelsTab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.channel_list());
  // Round the three tabs: back to Recent, on to Channels again.
  Type(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(QApplication::focusWidget(), dialog.recent_list());
  Type(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(dialog.ShownTab(), kChannelsTab);

  // The Menu key on a selected row: its menu, Play first; Down and Enter
  // choose "Add to favourites".
  QTest::keyClicks(dialog.channel_list(), QStringLiteral("zdf"));
  ASSERT_NE(dialog.channel_list()->SelectedChannel(), nullptr);
  Type(Qt::Key_Menu);
  QMenu* context = dialog.channel_list()->ContextMenu(false);
  ASSERT_TRUE(context->isVisible());
  ASSERT_NE(context->activeAction(), nullptr);
  EXPECT_EQ(MenuCommandOf(context->activeAction()), ID_CTX_PLAY);
  Type(Qt::Key_Down);
  EXPECT_EQ(MenuCommandOf(context->activeAction()), ID_ADD_FAVOURITE);
  Type(Qt::Key_Return);
  EXPECT_FALSE(context->isVisible());
  EXPECT_TRUE(FindChannel("de_zdf")->favourite());
  EXPECT_TRUE(dialog.isVisible());

  // F2: the soft key's menu, its first item (the other tab) active.
  Type(Qt::Key_F2);
  ASSERT_TRUE(dialog.right_menu()->isVisible());
  ASSERT_NE(dialog.right_menu()->activeAction(), nullptr);
  EXPECT_EQ(MenuCommandOf(dialog.right_menu()->activeAction()), ID_SWITCH_TAB);
  Type(Qt::Key_Escape);  // closes the menu only
  EXPECT_FALSE(dialog.right_menu()->isVisible());
  EXPECT_TRUE(dialog.isVisible());
  Type(Qt::Key_F2);
  Type(Qt::Key_Return);
  EXPECT_EQ(dialog.ShownTab(), kFavouritesTab);

  // Escape with nothing typed leaves without playing.
  Type(Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(dialog.play_requested());
}

}  // namespace
}  // namespace vidora
