// The channels dialog with the keyboard alone: Tab through the filters
// and the list, arrows in the combo boxes, typing or the search field (Ctrl+F)
// to search, here or everywhere, Enter to
// play, Ctrl+Tab for the tabs, the Menu key and F2 for the menus, Escape
// to leave.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
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
  EXPECT_EQ(QApplication::focusWidget(), dialog.search_field());  // the search row
  Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.scope_combo());
  Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.channel_list());
  Type(Qt::Key_Backtab, Qt::ShiftModifier);
  Type(Qt::Key_Backtab, Qt::ShiftModifier);
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

TEST_F(ChannelsDialogKeysTest, TheSearchFieldShowsWhatIsTypedAndEscapeClearsItBeforeClosing) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  ASSERT_TRUE(testing::ShowActive(&dialog));
  ChannelListView* list = dialog.channel_list();
  EXPECT_TRUE(dialog.search_field()->isVisible());
  // Typing on the list goes into the field.
  QTest::keyClicks(list, QStringLiteral("bbc"));
  EXPECT_EQ(dialog.search_field()->text(), QStringLiteral("bbc"));
  EXPECT_EQ(list->RowCount(), 2);

  // Ctrl+F: into the field, its text chosen, so typing replaces it.
  Type(Qt::Key_F, Qt::ControlModifier);
  ASSERT_EQ(QApplication::focusWidget(), dialog.search_field());
  QTest::keyClicks(dialog.search_field(), QStringLiteral("radio"));
  EXPECT_EQ(list->SearchText(), QStringLiteral("radio"));
  EXPECT_EQ(list->RowCount(), 2);
  // Down goes to the matches, the first one chosen.
  Type(Qt::Key_Down);
  EXPECT_EQ(QApplication::focusWidget(), list);
  EXPECT_EQ(list->SelectedChannel(), list->ChannelAtShownRow(0));

  // Escape in the field clears it first, the dialog stays; a second
  // Escape closes it.
  Type(Qt::Key_F, Qt::ControlModifier);
  Type(Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.search_field()->text().isEmpty());
  EXPECT_EQ(list->RowCount(), 11);
  Type(Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(dialog.play_requested());

  // Enter in the field plays the first match.
  ChannelsDialog again(&owner_, catalogue_.get());
  ASSERT_TRUE(testing::ShowActive(&again));
  Type(Qt::Key_F, Qt::ControlModifier);
  QTest::keyClicks(again.search_field(), QStringLiteral("tf"));
  Type(Qt::Key_Return);
  ASSERT_TRUE(again.play_requested());
  EXPECT_EQ(again.chosen_channel(), FindChannel("fr_tf1"));
}

TEST_F(ChannelsDialogKeysTest, SearchingEverythingLooksPastTheChosenCountryAndFilters) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  ASSERT_TRUE(testing::ShowActive(&dialog));
  dialog.country_combo()->setCurrentIndex(dialog.country_combo()->findText(QStringLiteral("Germany")));
  dialog.kind_combo()->setCurrentIndex(kKindRadio);
  QTest::keyClicks(dialog.channel_list(), QStringLiteral("bbc"));
  EXPECT_EQ(dialog.channel_list()->RowCount(), 0);

  dialog.scope_combo()->setCurrentIndex(ChannelsDialog::kSearchEverything);
  ASSERT_EQ(dialog.channel_list()->RowCount(), 2);
  EXPECT_EQ(dialog.channel_list()->ChannelAtShownRow(0), FindChannel("uk_bbc1"));
  EXPECT_EQ(dialog.channel_list()->ChannelAtShownRow(1), FindChannel("uk_bbc2"));
  // The filters stand aside and say so.
  EXPECT_FALSE(dialog.country_combo()->isEnabled());
  EXPECT_FALSE(dialog.kind_combo()->isEnabled());

  dialog.scope_combo()->setCurrentIndex(ChannelsDialog::kSearchThisList);
  EXPECT_EQ(dialog.channel_list()->RowCount(), 0);
  EXPECT_TRUE(dialog.country_combo()->isEnabled());
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
