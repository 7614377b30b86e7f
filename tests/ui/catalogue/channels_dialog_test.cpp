// The channels dialog: filters, tabs, favourites, result and the
// remembered selections.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/catalogue/channels_test_support.h"
#include "ui/catalogue/combo_text_order.h"
#include "ui/dialogs/soft_key_bar.h"

namespace vidora {
namespace {

std::set<std::string> Keys(const ChannelListView* list) {
  std::set<std::string> keys;
  for (int row = 0; row < list->RowCount(); ++row) keys.emplace(list->ChannelAtShownRow(row)->key());
  return keys;
}

std::vector<QString> Entries(const QComboBox* combo) {
  std::vector<QString> entries;
  for (int i = 0; i < combo->count(); ++i) entries.push_back(combo->itemText(i));
  return entries;
}

std::vector<int> MenuCommands(QMenu* menu) {
  std::vector<int> commands;
  for (QAction* action : menu->actions()) commands.push_back(action->isSeparator() ? 0 : MenuCommandOf(action));
  return commands;
}

void Press(QWidget* widget, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
  QMouseEvent press(QEvent::MouseButtonPress, point, widget->mapToGlobal(point), button, button, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, point, widget->mapToGlobal(point), button, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

void Key(QWidget* widget, int key, const QString& text = QString()) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &event);
}

class ChannelsDialogFixture : public testing::ChannelsDialogTest {
 protected:
  void SetUp() override {
    ChannelsDialogTest::SetUp();
    owner_.setGeometry(0, 0, 480, 640);
    owner_.show();
  }
  QWidget owner_;
};

TEST_F(ChannelsDialogFixture, HideAdOffListsAdButNoChannelWithoutCategory) {
  FindChannel("fr_adfr")->set_favourite(true);
  FindChannel("de_nocat")->set_favourite(true);
  FindChannel("uk_bbc1")->set_favourite(true);
  ChannelsDialog dialog(&owner_, catalogue_.get());
  const std::vector<QString> categories = Entries(dialog.category_combo());
  ASSERT_EQ(categories.size(), 11u);
  EXPECT_EQ(categories[0], "All categories");
  EXPECT_NE(std::find(categories.begin(), categories.end(), "Adult"), categories.end());
  // Sorted by text, whatever the keys' order.
  EXPECT_TRUE(std::is_sorted(categories.begin() + 1, categories.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  }));
  EXPECT_EQ(Entries(dialog.country_combo()),
            (std::vector<QString>{"All countries", "France", "Germany", "United Kingdom"}));
  EXPECT_EQ(Entries(dialog.kind_combo()), (std::vector<QString>{"TV & radio", "TV", "Radio"}));

  const std::set<std::string> listed = Keys(dialog.channel_list());
  EXPECT_EQ(listed.size(), 11u);
  EXPECT_TRUE(listed.count("de_adtv"));
  EXPECT_FALSE(listed.count("de_nocat"));
  EXPECT_EQ(Keys(dialog.favourites_list()), (std::set<std::string>{"fr_adfr", "uk_bbc1"}));
  EXPECT_EQ(dialog.ChannelsLabel(), "Channels (11)");
  EXPECT_EQ(dialog.FavouritesLabel(), "Favorites (2)");
}

TEST(ComboTextOrderTest, AccentedAndLowerCaseNamesSortAmongTheirLetters) {
  std::vector<QString> names{"Zypern", QString::fromUtf8("\xc3\x96sterreich"), "niederlande", "Belgien", "USA"};
  std::stable_sort(names.begin(), names.end(), ComboTextOrder());
  EXPECT_EQ(names, (std::vector<QString>{"Belgien", "niederlande", QString::fromUtf8("\xc3\x96sterreich"), "USA",
                                         "Zypern"}));
}

TEST_F(ChannelsDialogFixture, HideAdOnHidesAdButListsChannelWithoutCategory) {
  SetSetting(kHideAdultSetting, true);
  FindChannel("fr_adfr")->set_favourite(true);
  FindChannel("de_nocat")->set_favourite(true);
  ChannelsDialog dialog(&owner_, catalogue_.get());
  const std::vector<QString> categories = Entries(dialog.category_combo());
  EXPECT_EQ(categories.size(), 10u);
  EXPECT_EQ(std::find(categories.begin(), categories.end(), "Adult"), categories.end());
  const std::set<std::string> listed = Keys(dialog.channel_list());
  EXPECT_EQ(listed.size(), 10u);
  EXPECT_FALSE(listed.count("de_adtv"));
  EXPECT_FALSE(listed.count("fr_adfr"));
  EXPECT_TRUE(listed.count("de_nocat"));
  EXPECT_EQ(Keys(dialog.favourites_list()), (std::set<std::string>{"de_nocat"}));
}

TEST_F(ChannelsDialogFixture, FiltersNarrowTheListAndCountInTheLabel) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  dialog.kind_combo()->setCurrentIndex(kKindRadio);
  EXPECT_EQ(Keys(dialog.channel_list()), (std::set<std::string>{"de_radio1", "fr_rfi", "fr_fip", "uk_r4"}));
  EXPECT_EQ(dialog.ChannelsLabel(), "Channels (4)");
  EXPECT_EQ(DialogSelection().tvradio, kKindRadio);

  dialog.country_combo()->setCurrentIndex(2);  // Germany
  EXPECT_EQ(Keys(dialog.channel_list()), (std::set<std::string>{"de_radio1"}));
  EXPECT_EQ(DialogSelection().country, 2);

  dialog.kind_combo()->setCurrentIndex(kKindTv);
  const int news = dialog.category_combo()->findText("News");
  dialog.category_combo()->setCurrentIndex(news);
  EXPECT_EQ(Keys(dialog.channel_list()), (std::set<std::string>{"de_ard", "de_zdf"}));
  EXPECT_EQ(DialogSelection().category, news);
  EXPECT_EQ(dialog.ChannelsLabel(), "Channels (2)");
  // The list keeps the catalogue's title order.
  EXPECT_EQ(dialog.channel_list()->ChannelAtShownRow(0)->key(), "de_ard");
}

TEST_F(ChannelsDialogFixture, FavouritesAddedAndRemovedWithLabelsAndMenu) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  EXPECT_EQ(dialog.FavouritesLabel(), "Favorites (0)");
  // The remembered rows start at the first row.
  EXPECT_EQ(dialog.channel_list()->SelectedRow(), 0);
  dialog.channel_list()->selectionModel()->clear();
  // Without a selection the menu offers only the tab switch and close.
  EXPECT_EQ(MenuCommands(dialog.right_menu()), (std::vector<int>{ID_SWITCH_TAB, 0, ID_CLOSE_CHANNELS}));

  ASSERT_TRUE(dialog.channel_list()->SelectRow(0));
  Channel* first = dialog.channel_list()->SelectedChannel();
  EXPECT_EQ(MenuCommands(dialog.right_menu()),
            (std::vector<int>{ID_SWITCH_TAB, 0, ID_ADD_FAVOURITE, 0, ID_CLOSE_CHANNELS}));
  dialog.RunCommand(ID_ADD_FAVOURITE);
  EXPECT_TRUE(first->favourite());
  EXPECT_EQ(dialog.FavouritesLabel(), "Favorites (1)");
  EXPECT_EQ(MenuCommands(dialog.right_menu()),
            (std::vector<int>{ID_SWITCH_TAB, 0, ID_REMOVE_FAVOURITE, 0, ID_CLOSE_CHANNELS}));
  ASSERT_TRUE(dialog.channel_list()->SelectRow(3));
  dialog.RunCommand(ID_ADD_FAVOURITE);
  EXPECT_EQ(dialog.FavouritesLabel(), "Favorites (2)");

  // Chosen through the right soft key's menu, as a user would.
  dialog.SoftKeys()->PressRight();
  dialog.right_menu()->actions()[0]->trigger();
  dialog.right_menu()->hide();
  EXPECT_EQ(dialog.ShownTab(), kFavouritesTab);
  EXPECT_TRUE(dialog.favourites_list()->isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.channel_list()->isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.country_combo()->isVisibleTo(&dialog));

  ASSERT_TRUE(dialog.favourites_list()->SelectRow(0));
  Channel* removed = dialog.favourites_list()->SelectedChannel();
  dialog.RunCommand(ID_REMOVE_FAVOURITE);
  EXPECT_FALSE(removed->favourite());
  EXPECT_EQ(dialog.favourites_list()->RowCount(), 1);
  EXPECT_NE(dialog.favourites_list()->ChannelAtShownRow(0), removed);
  EXPECT_EQ(dialog.FavouritesLabel(), "Favorites (1)");
  EXPECT_EQ(dialog.ChannelsLabel(), "Channels (11)");
  // Removing with nothing selected does nothing.
  dialog.RunCommand(ID_REMOVE_FAVOURITE);
  EXPECT_EQ(dialog.favourites_list()->RowCount(), 1);
}

TEST_F(ChannelsDialogFixture, RemovingAnotherFavouriteKeepsTheFavouritesSelection) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  for (int row : {0, 3, 5}) {
    ASSERT_TRUE(dialog.channel_list()->SelectRow(row));
    dialog.RunCommand(ID_ADD_FAVOURITE);
  }
  ASSERT_EQ(dialog.favourites_list()->RowCount(), 3);
  ASSERT_TRUE(dialog.favourites_list()->SelectRow(2));
  Channel* kept = dialog.favourites_list()->SelectedChannel();

  // From the channels tab, the first favourite goes.
  ASSERT_TRUE(dialog.channel_list()->SelectRow(0));
  dialog.RunCommand(ID_REMOVE_FAVOURITE);
  EXPECT_EQ(dialog.favourites_list()->RowCount(), 2);
  EXPECT_EQ(dialog.favourites_list()->SelectedChannel(), kept);

  // Removing the selected favourite leaves none selected.
  dialog.RunCommand(ID_SWITCH_TAB);
  dialog.RunCommand(ID_REMOVE_FAVOURITE);
  EXPECT_EQ(dialog.favourites_list()->RowCount(), 1);
  EXPECT_EQ(dialog.favourites_list()->SelectedChannel(), nullptr);
}

TEST_F(ChannelsDialogFixture, TappingTheStripSwitchesOnlyToTheOtherTabWithASound) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  dialog.show();
  const int u = BarUnit();
  Press(&dialog, QPoint(10, u / 2));
  EXPECT_EQ(dialog.ShownTab(), kChannelsTab);
  EXPECT_TRUE(sounds_.empty());
  Press(&dialog, QPoint(dialog.width() / 2 + 10, u + 5));  // below the strip
  EXPECT_EQ(dialog.ShownTab(), kChannelsTab);
  Press(&dialog, QPoint(dialog.width() / 2 + 10, u / 2));
  EXPECT_EQ(dialog.ShownTab(), kFavouritesTab);
  EXPECT_EQ(sounds_, (std::vector<std::string>{"menu-popup"}));
  Press(&dialog, QPoint(dialog.width() / 2 + 20, u / 2));
  EXPECT_EQ(sounds_.size(), 1u);
  // The menu command switches without a sound.
  dialog.RunCommand(ID_SWITCH_TAB);
  EXPECT_EQ(dialog.ShownTab(), kChannelsTab);
  EXPECT_EQ(sounds_.size(), 1u);
}

TEST_F(ChannelsDialogFixture, DoneWritesTheSelectionsButPlaysNothing) {
  SetSetting(kSelectedKindSetting, 1);
  SetSetting(kSelectedTabSetting, 1);
  {
    ChannelsDialog dialog(&owner_, catalogue_.get());
    EXPECT_EQ(dialog.ShownTab(), kFavouritesTab);
    EXPECT_EQ(dialog.kind_combo()->currentIndex(), kKindTv);
    dialog.open();
    dialog.RunCommand(ID_SWITCH_TAB);
    dialog.kind_combo()->setCurrentIndex(kKindRadio);
    dialog.country_combo()->setCurrentIndex(3);
    ASSERT_TRUE(dialog.channel_list()->SelectRow(0));
    ASSERT_NE(dialog.DoneButton(), nullptr);
    dialog.DoneButton()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_FALSE(dialog.play_requested());
    EXPECT_EQ(dialog.chosen_channel(), nullptr);
  }
  EXPECT_EQ(FindSetting(kSelectedTabSetting).value_or(-1), 0);
  EXPECT_EQ(FindSetting(kSelectedKindSetting).value_or(-1), 2);
  EXPECT_EQ(FindSetting(kSelectedCountrySetting).value_or(-1), 3);
  EXPECT_EQ(FindSetting(kSelectedCategorySetting).value_or(-1), 0);
  // Done remembers no rows.
  EXPECT_EQ(DialogSelection().channel_row, 0);
}

TEST_F(ChannelsDialogFixture, PlayingTheFifthRowIsRememberedAtTheNextOpening) {
  Channel* fifth = nullptr;
  {
    ChannelsDialog dialog(&owner_, catalogue_.get());
    dialog.open();
    // Nothing selected: play does nothing and the dialog stays.
    dialog.channel_list()->selectionModel()->clear();
    dialog.SoftKeys()->PressLeft();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.play_requested());

    ASSERT_TRUE(dialog.channel_list()->SelectRow(4));
    fifth = dialog.channel_list()->SelectedChannel();
    dialog.SoftKeys()->PressLeft();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_TRUE(dialog.play_requested());
    EXPECT_EQ(dialog.chosen_channel(), fifth);
  }
  ChannelsDialog again(&owner_, catalogue_.get());
  EXPECT_EQ(again.channel_list()->SelectedRow(), 4);
  EXPECT_EQ(again.channel_list()->SelectedChannel(), fifth);
  EXPECT_EQ(again.channel_list()->currentIndex().row(), 4);
  // "Close" remembers the rows too, and ends with 2.
  again.open();
  ASSERT_TRUE(again.channel_list()->SelectRow(6));
  again.RunCommand(ID_CLOSE_CHANNELS);
  EXPECT_EQ(again.result(), 2);
  EXPECT_FALSE(again.play_requested());
  EXPECT_EQ(DialogSelection().channel_row, 6);
  EXPECT_EQ(DialogSelection().favourite_row, -1);
}

TEST_F(ChannelsDialogFixture, StoredPositionsOutOfRangeFallBackToAll) {
  SetSetting(kSelectedCountrySetting, 7);
  SetSetting(kSelectedCategorySetting, -3);
  SetSetting(kSelectedKindSetting, 9);
  {
    ChannelsDialog dialog(&owner_, catalogue_.get());
    EXPECT_EQ(dialog.country_combo()->currentIndex(), 0);
    EXPECT_EQ(dialog.category_combo()->currentIndex(), 0);
    // A kind out of range selects nothing and filters nothing.
    EXPECT_EQ(dialog.kind_combo()->currentIndex(), -1);
    EXPECT_EQ(dialog.channel_list()->RowCount(), 11);
  }
  EXPECT_EQ(FindSetting(kSelectedCountrySetting).value_or(-1), 0);
  EXPECT_EQ(FindSetting(kSelectedCategorySetting).value_or(-1), 0);
  EXPECT_EQ(FindSetting(kSelectedKindSetting).value_or(-1), 9);
}

TEST_F(ChannelsDialogFixture, TheSelectedCountryAndCategoryComeBackByWhatTheyAreWhenTheListsChange) {
  {
    ChannelsDialog dialog(&owner_, catalogue_.get());
    dialog.country_combo()->setCurrentIndex(2);  // Germany, after "All" and France
    dialog.category_combo()->setCurrentIndex(2);
    ASSERT_EQ(dialog.country_combo()->currentText(), QStringLiteral("Germany"));
  }
  const QString category = [&] {
    ChannelsDialog dialog(&owner_, catalogue_.get());
    return dialog.category_combo()->currentText();
  }();
  // A country sorted in front of it (as a playlist named "aaa" would be).
  std::vector<testing::ChannelEntry> channels = testing::SampleChannels();
  channels.push_back({"at", "orf", u"ORF", "n", false});
  LoadCatalogue(channels);
  {
    ChannelsDialog dialog(&owner_, catalogue_.get());
    EXPECT_EQ(dialog.country_combo()->currentText(), QStringLiteral("Germany"));
    EXPECT_EQ(dialog.category_combo()->currentText(), category);
    for (const std::string& key : Keys(dialog.channel_list())) EXPECT_EQ(key.substr(0, 3), "de_");
  }
  // Settings from before the keys were kept: the positions still count;
  // a country that has gone falls back to all of them.
  SetSetting(kSelectedCountryKeySetting, u"");
  SetSetting(kSelectedCountrySetting, 1);
  {
    ChannelsDialog dialog(&owner_, catalogue_.get());
    EXPECT_EQ(dialog.country_combo()->currentIndex(), 1);
  }
  SetSetting(kSelectedCountryKeySetting, u"xx");
  ChannelsDialog dialog(&owner_, catalogue_.get());
  EXPECT_EQ(dialog.country_combo()->currentIndex(), 0);
}

TEST_F(ChannelsDialogFixture, ListGesturesPlayAndOpenTheContextMenu) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  dialog.open();
  ChannelListView* list = dialog.channel_list();
  ASSERT_TRUE(list->SelectRow(1));
  Channel* second = list->SelectedChannel();
  second->set_favourite(true);

  // Right click on a row selects it and opens the menu of its kind.
  const QRect row2 = list->visualRect(list->model()->index(2, 0));
  Press(list->viewport(), row2.center(), Qt::RightButton);
  QContextMenuEvent context(QContextMenuEvent::Mouse, row2.center(), list->viewport()->mapToGlobal(row2.center()));
  QApplication::sendEvent(list->viewport(), &context);
  EXPECT_EQ(list->SelectedRow(), 2);
  EXPECT_TRUE(list->ContextMenu(false)->isVisible());
  list->ContextMenu(false)->hide();
  ASSERT_TRUE(list->SelectRow(1));
  list->OpenContextMenu(QPoint(100, 300));
  QMenu* menu = list->ContextMenu(true);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_EQ(MenuCommands(menu), (std::vector<int>{ID_CTX_PLAY, 0, ID_REMOVE_FAVOURITE, ID_CHOOSE_GUIDE_CHANNEL}));
  EXPECT_FALSE(menu->actions().back()->isVisible());  // no playlist channel, no guide to choose
  EXPECT_LE(menu->geometry().bottom(), 300);

  // Holding the button still opens it as well.
  menu->hide();
  QMouseEvent hold(QEvent::MouseButtonPress, row2.center(), list->viewport()->mapToGlobal(row2.center()),
                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &hold);
  QElapsedTimer waited;
  waited.start();
  while (!list->ContextMenu(false)->isVisible() && waited.elapsed() < 10000) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  EXPECT_TRUE(list->ContextMenu(false)->isVisible());
  list->ContextMenu(false)->hide();
  QMouseEvent up(QEvent::MouseButtonRelease, row2.center(), list->viewport()->mapToGlobal(row2.center()),
                 Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &up);

  // The menu's play plays the selected row.
  list->ContextMenu(false)->actions()[0]->trigger();
  EXPECT_TRUE(dialog.play_requested());
  EXPECT_EQ(dialog.chosen_channel(), list->ChannelAtShownRow(2));
}

TEST_F(ChannelsDialogFixture, EnterAndDoubleClickPlayTheSelectedRow) {
  {
    ChannelsDialog dialog(&owner_, catalogue_.get());
    dialog.open();
    ASSERT_TRUE(dialog.channel_list()->SelectRow(3));
    Key(dialog.channel_list(), Qt::Key_Return);
    EXPECT_TRUE(dialog.play_requested());
    EXPECT_EQ(dialog.chosen_channel(), dialog.channel_list()->ChannelAtShownRow(3));
  }
  ChannelsDialog dialog(&owner_, catalogue_.get());
  dialog.open();
  ChannelListView* list = dialog.channel_list();
  const QPoint point = list->visualRect(list->model()->index(5, 0)).center();
  Press(list->viewport(), point);
  QMouseEvent twice(QEvent::MouseButtonDblClick, point, list->viewport()->mapToGlobal(point), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &twice);
  EXPECT_TRUE(dialog.play_requested());
  EXPECT_EQ(dialog.chosen_channel(), list->ChannelAtShownRow(5));
  EXPECT_EQ(DialogSelection().channel_row, 5);
}

TEST_F(ChannelsDialogFixture, TypingNarrowsTheShownListWithoutTouchingTheSelections) {
  ChannelsDialog dialog(&owner_, catalogue_.get());
  dialog.open();
  ChannelListView* list = dialog.channel_list();
  ASSERT_TRUE(list->SelectRow(0));
  Key(list, Qt::Key_R, "r");
  Key(list, Qt::Key_A, "A");
  Key(list, Qt::Key_D, "d");
  EXPECT_EQ(list->SearchText(), "rAd");
  EXPECT_EQ(Keys(list), (std::set<std::string>{"de_radio1", "uk_r4"}));
  EXPECT_EQ(dialog.ChannelsLabel(), "Channels (2)");
  Key(list, Qt::Key_Backspace);
  EXPECT_EQ(Keys(list), (std::set<std::string>{"de_radio1", "uk_r4", "fr_adfr"}));
  // A combo change refills below the search, which stays.
  dialog.kind_combo()->setCurrentIndex(kKindRadio);
  EXPECT_EQ(Keys(list), (std::set<std::string>{"de_radio1", "uk_r4"}));
  Key(list, Qt::Key_Escape);
  EXPECT_EQ(list->SearchText(), "");
  EXPECT_EQ(list->RowCount(), 4);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(DialogSelection().country, 0);
  EXPECT_EQ(DialogSelection().tvradio, kKindRadio);

  // The remembered row is the row without the search.
  Key(list, Qt::Key_4, "4");
  ASSERT_EQ(list->RowCount(), 1);
  list->setCurrentIndex(list->model()->index(0, 0));
  Key(list, Qt::Key_Enter);
  EXPECT_EQ(dialog.chosen_channel()->key(), "uk_r4");
  EXPECT_EQ(DialogSelection().channel_row, 3);
}

TEST_F(ChannelsDialogFixture, EmptyCatalogueOffersOnlyTheAllEntries) {
  ChannelsDialog dialog(&owner_, nullptr);
  EXPECT_EQ(dialog.country_combo()->count(), 1);
  EXPECT_EQ(dialog.category_combo()->count(), 1);
  EXPECT_EQ(dialog.channel_list()->RowCount(), 0);
  EXPECT_EQ(dialog.ChannelsLabel(), "Channels (0)");
  EXPECT_EQ(MenuCommands(dialog.right_menu()), (std::vector<int>{ID_SWITCH_TAB, 0, ID_CLOSE_CHANNELS}));
  dialog.open();
  dialog.RunCommand(ID_PLAY);
  dialog.close();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.SoftKeys()->LeftCaption(), "Play");
  EXPECT_EQ(dialog.SoftKeys()->RightCaption(), "Menu");
}

}  // namespace
}  // namespace vidora
