#ifndef VIDORA_UI_CATALOGUE_CHANNEL_LIST_MODEL_H_
#define VIDORA_UI_CATALOGUE_CHANNEL_LIST_MODEL_H_

#include <QAbstractListModel>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vidora {

class Channel;
class ChannelCatalogue;

// The case-folded names of a list of channels, back to back: slot i's
// name is [starts[i], starts[i + 1]) of `pool`, followed, for a channel of
// a playlist with a group, by U+001F and the folded group (of the
// playlist manager current when made), so a search finds a channel by its
// group as well. Never changes once made, so models may share it. UI
// thread.
struct FoldedNames {
  std::u16string pool;
  std::vector<uint32_t> starts;

  // Folds the names of a list a slice at a time (the playlist manager
  // current at the first step gives the groups).
  class Maker {
   public:
    Maker();
    // Folds at most `budget` more names of `channels` (the same list at
    // every call), taking them off `budget`; the names once all are
    // folded (the same object at every later call), else nullptr.
    std::shared_ptr<const FoldedNames> Step(const std::vector<Channel*>& channels, size_t& budget);

   private:
    std::shared_ptr<FoldedNames> names_;
    size_t next_ = 0;
  };

  static std::shared_ptr<const FoldedNames> Make(const std::vector<Channel*>& channels);
  // The folded names of `catalogue`'s AllChannels(), slot i for channel
  // i: made when the list changed since the last call (ListVersion), else
  // the ones made then. Folding 200,000 names that lie all over memory
  // costs more than the rest of filling a list, and the list rarely
  // changes between two openings of the channels dialog.
  static std::shared_ptr<const FoldedNames> OfCatalogue(const ChannelCatalogue& catalogue);
  // The same made a slice at a time: folds at most `budget` names, taken
  // off `budget`, and gives the names once all are folded, else nullptr
  // (a later call goes on where this one stopped, while the list stays).
  static std::shared_ptr<const FoldedNames> OfCatalogue(const ChannelCatalogue& catalogue, size_t& budget);
};

// The rows of a channel list: the channels it was filled with (its "full"
// rows, in fill order) narrowed by an optional search text to those whose
// name (or playlist group, see FoldedNames) contains the text, ignoring
// case (its shown rows). Model rows are
// shown rows. The channels are borrowed from the catalogue and must stay
// valid while the model holds them. UI thread only.
//
// The case-folded names lie in one contiguous pool (FoldedNames), made
// when the rows are set or given with them, so a search reads one block of
// memory instead of following two pointers per row.
class ChannelListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit ChannelListModel(QObject* parent = nullptr);

  // Replaces every row; the search text stays and applies to the new rows.
  void SetChannels(std::vector<Channel*> channels);
  // The same with the rows' folded names made already: row r's is slot
  // `name_slots[r]` of `names` (one slot per channel, all within `names`).
  void SetChannels(std::vector<Channel*> channels, std::shared_ptr<const FoldedNames> names,
                   std::vector<uint32_t> name_slots);
  // Removes the first full row (from the top) holding `channel`; returns
  // whether there was one.
  bool RemoveChannel(const Channel* channel);

  // Narrows the shown rows; an empty text shows every full row.
  void SetSearchText(const QString& text);
  const QString& search_text() const { return search_; }

  int FullCount() const { return static_cast<int>(full_.size()); }
  int ShownCount() const;
  // The channel of shown row `row`, or nullptr when out of range.
  Channel* ChannelAt(int row) const;
  // Full row of shown row `row`, or -1.
  int FullRowOf(int row) const;
  // Shown row of full row `full_row`, or -1 when it is not shown.
  int ShownRowOf(int full_row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  // A row for a screen reader: "TV, Austria, Favourite, Now: News" (the
  // kind, the country, the favourite mark, the programme on now).
  static QString AccessibleDescription(const Channel& channel);
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  // Whether the folded name of full row `row` contains `needle`.
  bool Matches(int row, std::u16string_view needle) const;
  void ApplySearch();

  std::vector<Channel*> full_;
  QString search_;
  // `search_` case-folded the way the pool is.
  std::u16string folded_search_;
  // Full rows shown while a search text is set.
  std::vector<int> matches_;
  // The rows' case-folded names; row r's is slot slot_of_row_[r].
  std::shared_ptr<const FoldedNames> names_;
  // Full row -> its name's slot; removing a row leaves the names as they are.
  std::vector<uint32_t> slot_of_row_;
};

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_CHANNEL_LIST_MODEL_H_
