#ifndef VIDORA_UI_CATALOGUE_CHANNEL_LIST_VIEW_H_
#define VIDORA_UI_CATALOGUE_CHANNEL_LIST_VIEW_H_

#include <QListView>
#include <QMenu>
#include <QPoint>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>

class QLabel;

namespace vidora {

class Channel;
class ChannelListModel;
struct FoldedNames;

// A list of channels with owner-drawn rows (ChannelRowDelegate), single
// selection, and the commands of a channels dialog's lists:
// - a double click and Enter on a selected row report ID_PLAY;
// - a right click, or pressing and holding the left button still, on a
//   list with a selected row opens the context menu (ID_CTX_PLAY and
//   ID_ADD_FAVOURITE, or ID_REMOVE_FAVOURITE when the selected channel is
//   a favourite) with its bottom edge at the point; the Menu key and
//   Shift+F10 open it above the selected row, its first item active;
// - typing narrows the shown rows to channels whose name (or playlist
//   group) contains the typed text, ignoring case; Backspace takes the last character back and
//   Escape clears the text.
// Rows are addressed as full rows (positions in what the list was filled
// with, whatever the search shows) unless a name says otherwise. The
// channels are borrowed from the catalogue. UI thread only.
class ChannelListView : public QListView {
  Q_OBJECT

 public:
  explicit ChannelListView(QWidget* parent = nullptr);

  // Replaces the rows (no selection afterwards).
  void SetChannels(std::vector<Channel*> channels);
  // The same with their folded names made already (see ChannelListModel).
  void SetChannels(std::vector<Channel*> channels, std::shared_ptr<const FoldedNames> names,
                   std::vector<uint32_t> name_slots);
  // Removes the first row holding `channel`; no row is selected after.
  void RemoveChannel(const Channel* channel);

  // Whether rows are on their way: an empty list then says so ("Loading,
  // please wait…") instead of "No channels".
  void SetWaiting(bool waiting);

  // Number of rows shown (after the search).
  int RowCount() const;
  // Full row of the selected row, or -1.
  int SelectedRow() const;
  Channel* SelectedChannel() const;
  // The channel of shown row `row`, or nullptr.
  Channel* ChannelAtShownRow(int row) const;
  // Selects and focuses full row `row` and scrolls it into view; false
  // (nothing selected) when the row does not exist or is not shown.
  bool SelectRow(int row);
  // The same for shown row `row` (after the search).
  bool SelectShownRow(int row);

  QString SearchText() const;
  void SetSearchText(const QString& text);
  // Whether the search text shows in the list's corner (by default it
  // does; a dialog with a search field of its own turns it off).
  void SetSearchLabelShown(bool shown);

  QMenu* ContextMenu(bool favourite) { return favourite ? &favourite_menu_ : &channel_menu_; }
  // Opens the context menu at `global` as a press-and-hold would.
  void OpenContextMenu(const QPoint& global);
  // Opens it above the selected row as the Menu key does.
  void OpenContextMenuByKey();

  // How long the left button must stay down for the context menu.
  static constexpr int kHoldMs = 600;

 signals:
  // A command of the list: ID_PLAY, ID_CTX_PLAY, ID_ADD_FAVOURITE or
  // ID_REMOVE_FAVOURITE.
  void CommandTriggered(int command);
  // The selection changed (new row, or none).
  void SelectionChanged();
  // The shown rows changed through the search text.
  void SearchChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Tells a screen reader that the selected row has the focus, not just
  // the list: the row was chosen before the list could take the focus.
  void focusInEvent(QFocusEvent* event) override;
  // Also says "No channels" over an empty list.
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildContextMenus();
  void PlaceSearchLabel();
  void ChangeSearch(const QString& text);

  ChannelListModel* model_;
  QMenu channel_menu_;
  QMenu favourite_menu_;
  QTimer hold_timer_;
  QPoint hold_point_;
  QLabel* search_label_;
  bool search_label_shown_ = true;
  bool waiting_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_CHANNEL_LIST_VIEW_H_
