#ifndef VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_
#define VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_

#include <QCollatorSortKey>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/playlists/playlist_sort.h"

namespace vidora {

class Channel;
class ChannelCatalogue;
class Country;
class PlaylistManager;

// The channels of one playlist (a country of the catalogue) in playlist
// order, each with its group, made once per playlist and catalogue list
// so that a filter change only walks this list. Views the catalogue's
// channels: valid while the catalogue is not rebuilt. UI thread.
struct PlaylistRows {
  const Country* country = nullptr;
  std::vector<Channel*> channels;
  std::vector<uint32_t> name_slots;  // each channel's place in AllChannels
  std::vector<int> group_of;         // index into `groups`, -1 for none
  std::vector<QString> groups;       // in the order the playlist first names them
  // Row positions by name and by number, made when first asked for.
  std::vector<uint32_t> by_name;
  std::vector<uint32_t> by_number;
  // The interface language `by_name` was collated in.
  QString by_name_language;

  // A sort on its way (SortedRowsStep); its own business.
  struct SortWork {
    PlaylistSort sort = PlaylistSort::kPlaylistOrder;
    QString language;
    size_t keyed = 0;  // rows whose key is made
    std::vector<QCollatorSortKey> keys;
    std::vector<std::string> numbers;
    std::vector<uint32_t> order;
    std::vector<uint32_t> spare;
    size_t width = 0;  // the length of the sorted runs being merged
    size_t at = 0;     // where the merge of this width has got to
    size_t left = 0, right = 0, out = 0;
    bool merging = false;
  };
  std::unique_ptr<SortWork> sort_work;
};

// Makes the rows of one playlist a slice at a time, so that a list of a
// million channels never holds the UI thread for long. UI thread; the
// catalogue's list and the playlists must not change between steps.
class PlaylistRowsMaker {
 public:
  explicit PlaylistRowsMaker(const Country* country);

  // Goes on for at most `budget` channels' work, taking what it does off
  // `budget`; the rows once made (then at no cost), else nullptr. `all`
  // (the catalogue's AllChannels) and `playlists` are the same at every
  // call.
  PlaylistRows* Step(const std::vector<Channel*>& all, const PlaylistManager& playlists, size_t& budget);
  // Drops a sort of the rows made so far that is not finished.
  void DropUnfinishedSort() { rows_.sort_work.reset(); }

 private:
  struct Row {
    uint32_t position;
    uint32_t slot;
    std::string_view group;  // UTF-8
  };
  enum class Phase { kGather, kOrder, kFinish, kDone };

  PlaylistRows rows_;
  Phase phase_ = Phase::kGather;
  size_t next_ = 0;
  std::vector<Row> gathered_;
  std::vector<uint32_t> ordered_;  // gathered rows in playlist order
  std::unordered_map<std::string_view, int> group_index_;
};

// The rows of `country` among `all` (the catalogue's AllChannels), made
// in one go.
PlaylistRows MakePlaylistRows(const Country* country, const std::vector<Channel*>& all,
                              const PlaylistManager& playlists);

// The rows of the playlist `country` of `catalogue`, made a slice at a time
// like PlaylistRowsMaker::Step (at most `budget` channels' work, taken off
// it) and kept for the process: another opening of the channels dialog
// finds them made as long as the catalogue's list (ListVersion) and the
// playlist manager are the same; a change drops every playlist's rows.
// nullptr until made. UI thread.
PlaylistRows* PreparedPlaylistRows(const ChannelCatalogue& catalogue, const Country* country,
                                   const PlaylistManager& playlists, size_t& budget);

// Drops the sorts PreparedPlaylistRows' rows have half made (their keys
// take several times the rows' own memory), when no dialog goes on with
// them. UI thread.
void DropUnfinishedSorts();

// The positions of `rows`' channels in the order `sort` lists them: for
// kPlaylistOrder none (empty: the rows' own order); by name with the
// interface language's collation, numbers within names counted ("Channel
// 9" before "Channel 10"); by channel number (ChannelNumberLess). Equal
// keys keep the playlist's order. Made on first use and kept in `rows`
// (by name, for the language it was made in).
const std::vector<uint32_t>& SortedRows(PlaylistRows& rows, PlaylistSort sort, const PlaylistManager& playlists);
// The same made a slice at a time: at most `budget` rows' work (a key
// made, or a row sorted into place) per call, taken off `budget`; nullptr
// until made. A sort left half-made is dropped when another is asked for.
const std::vector<uint32_t>* SortedRowsStep(PlaylistRows& rows, PlaylistSort sort, const PlaylistManager& playlists,
                                            size_t& budget);

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_
