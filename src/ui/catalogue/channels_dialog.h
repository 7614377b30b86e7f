#ifndef VIDORA_UI_CATALOGUE_CHANNELS_DIALOG_H_
#define VIDORA_UI_CATALOGUE_CHANNELS_DIALOG_H_

#include <QMenu>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "ui/dialogs/skinned_dialog.h"

class QComboBox;
class QLineEdit;

namespace vidora {

class Category;
class Channel;
class Country;
class ChannelListView;
class GuidePage;
class PaintedTabStrip;
struct FoldedNames;
struct PlaylistRows;

// Where the user picks what to play: a full-screen dialog with three tabs,
// the filtered channel list (country, category and kind filters; for a
// playlist its groups and a sort order remembered per playlist; a search
// field over this list or over everything, Ctrl+F), the
// favourites list and the recently watched channels (newest first, from
// the settings; channels no longer in the catalogue are left out), a tab
// strip at the top and the soft keys "menu_play"
// and "menu_menu" at the bottom. A playlist channel's "Guide" page (its
// programmes of today) takes the place of the list it was selected in,
// through the menu's "menu_guide" or Ctrl+G, and goes back to it through
// the menu, Escape, Backspace, Left or a click on the tab strip.
//
// Use: construct (the catalogue's state and the four `sel_*` settings are
// read now), exec(), then read play_requested() and chosen_channel();
// when play was requested, have the view play that channel. The
// dialog ends with 1 through play or Done (Done: no play requested) and 2
// through "menu_close"; a window close request is refused. When it ends
// or is destroyed the four selection settings are written. Favourites are
// changed in the catalogue at once. The catalogue must outlive the dialog
// and must not be reloaded while it runs. UI thread only.
class ChannelsDialog : public SkinnedDialog {
  Q_OBJECT

 public:
    // Checks the chosen list's channels (as the main window's Ctrl+Shift+H
  // checks every channel).
  static constexpr QKeyCombination kCheckListKey{Qt::CTRL | Qt::SHIFT | Qt::Key_H};

  // `catalogue` nullptr means an empty catalogue.
  explicit ChannelsDialog(QWidget* owner, ChannelCatalogue* catalogue = Catalogue());
  ~ChannelsDialog() override;

  // The dialog's result.
  bool play_requested() const { return play_requested_; }
  Channel* chosen_channel() const { return chosen_channel_; }

  // The tab shown: kChannelsTab, kFavouritesTab or kRecentTab.
  int ShownTab() const;
  void ShowTab(int tab);
  // The tab labels, "<tab_channels> (<rows>)", "<tab_favorites> (<rows>)"
  // and "<tab_recent> (<rows>)".
  const QString& ChannelsLabel() const { return channels_label_; }
  const QString& FavouritesLabel() const { return favourites_label_; }
  const QString& RecentLabel() const { return recent_label_; }

  ChannelListView* channel_list() const { return channel_list_; }
  ChannelListView* favourites_list() const { return favourites_list_; }
  ChannelListView* recent_list() const { return recent_list_; }
  QComboBox* country_combo() const { return country_combo_; }
  QComboBox* category_combo() const { return category_combo_; }
  QComboBox* kind_combo() const { return kind_combo_; }
  // A playlist's own groups ("All groups" first, then the playlist's
  // order); shown while a playlist is the chosen country.
  QComboBox* group_combo() const { return group_combo_; }
  // How a playlist's channels are listed, in PlaylistSort's order (playlist
  // order, name, number); shown while a playlist is the chosen country and
  // remembered for it (StorePlaylistSort).
  QComboBox* sort_combo() const { return sort_combo_; }
  // The channel list's search text, kept equal to what typing on the list
  // gives; Escape in it clears it first and closes the dialog second, Down
  // goes to the list, Enter plays the selected (else the first) match.
  QLineEdit* search_field() const { return search_field_; }
  // Where the search looks: kSearchThisList (the list as filtered) or
  // kSearchEverything (every channel: all playlists, provider accounts and
  // the catalogue; the filters then stand aside).
  QComboBox* scope_combo() const { return scope_combo_; }
  static constexpr int kSearchThisList = 0;
  static constexpr int kSearchEverything = 1;
  // The guide page, and whether it is shown (over the shown tab's list).
  GuidePage* guide_page() const { return guide_page_; }
  bool GuideShown() const { return guide_shown_; }
  // The guide page's title in the tab strip, "str_guide_today" with the
  // channel's name.
  const QString& GuideTitle() const { return guide_label_; }
  // The right soft key's pop-up, rebuilt after every change.
  QMenu* right_menu() { return &right_menu_; }

  // How much of what a huge list needs (folded names, a playlist's rows,
  // its sort) one turn of the event loop makes, in channels: 0 (the
  // default) as much as about 25 ms allow. Tests make turns small.
  static void SetPreparationSlice(size_t work);
  // Whether the channel list waits for that work; it is filled, and the
  // row to select selected, when the work is done.
  bool ChannelListPending() const { return fill_pending_; }

  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const Category* HiddenCategory() const;
  void FillCategoryCombo();
  void FillCountryCombo();
  void FillKindCombo();
  // Sets the sort combo to the playlist's remembered sort when the chosen
  // country changed, and shows it for a playlist.
  void ChooseSort(const Country* country);
  // Refills the group combo with the groups of `rows` (none for nullptr)
  // when they are not the ones listed.
  void FillGroupCombo(const PlaylistRows* rows);
  void FillSortCombo();
  void FillScopeCombo();
  void SetUpSearchField();
  // Whether the search covers every channel.
  bool SearchingEverything() const;
  // Shows or hides the channels tab's controls for the tab, the guide and
  // the chosen country.
  void ShowChannelControls(bool shown);
  void PlaceCombos();
  // What filling the channel list needs: the folded names of the
  // catalogue, and for a playlist its rows and their order.
  struct Prepared {
    std::shared_ptr<const FoldedNames> names;
    PlaylistRows* rows = nullptr;
    const std::vector<uint32_t>* order = nullptr;
  };
  // Makes what is missing of it for one slice of time; true when all is
  // made (then in `prepared`).
  bool Prepare(const Country* playlist, Prepared& prepared);
  // Refills the channel list for the filters (no row selected).
  void FillChannelList();
  // The same as soon as Prepare has made all: at once when it can, else
  // from the event loop, a slice per turn.
  void FillChannelListWhenPrepared();
  // Selects full row `row` of the channel list now, or once it is filled.
  void SelectChannelRowWhenListed(int row);
  void FillFavouritesList();
  void FillRecentList();
  // The strip's tab under the point `x`.
  int TabAt(int x) const;
  void UpdateTabLabels();
  void RebuildRightMenu();
  ChannelListView* ShownList() const;
  // Hands the shown rows to the zapping list.
  void RememberZapList();
  void RememberRows();
  void Play();
  void AddFavourite();
  void RemoveFavourite();
  void WriteSelection();
  void ShowGuide();
  void HideGuide();
  // The channel check of the chosen country entry (a playlist, a provider
  // or a country; every channel with "all"), then the lists refill.
  void CheckChosenList();

  ChannelCatalogue* catalogue_;
  ChannelListView* channel_list_;
  ChannelListView* favourites_list_;
  ChannelListView* recent_list_;
  QComboBox* country_combo_;
  QComboBox* category_combo_;
  QComboBox* kind_combo_;
  QComboBox* group_combo_;
  QComboBox* sort_combo_;
  QLineEdit* search_field_;
  QComboBox* scope_combo_;
  const Country* sorted_country_ = nullptr;      // whose sort the sort combo shows
  bool playlist_chosen_ = false;                 // sorted_country_ is a playlist
  const Country* grouped_country_ = nullptr;     // the playlist whose groups the combo lists
  const PlaylistRows* grouped_rows_ = nullptr;   // and its rows
  // The channel list waits for Prepare; fill_timer_ brings it back.
  bool fill_pending_ = false;
  QTimer fill_timer_;
  // The full row to select once the pending list is filled, or -1.
  int row_to_select_ = -1;
  GuidePage* guide_page_;
  // The painted tabs as screen readers see them.
  PaintedTabStrip* tab_strip_;
  bool guide_shown_ = false;
  QString guide_label_;
  QString channels_label_;
  QString favourites_label_;
  QString recent_label_;
  bool play_requested_ = false;
  QMenu right_menu_;
  Channel* chosen_channel_ = nullptr;
  bool selection_written_ = false;
  // What each combo entry stands for, by position; nullptr is "all".
  std::vector<const Country*> country_entries_;
  std::vector<const Category*> category_entries_;
};

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_CHANNELS_DIALOG_H_
