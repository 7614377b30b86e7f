#include "ui/catalogue/playlist_order.h"

#include <QCollator>

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/catalogue/channel_catalogue.h"
#include "ui/catalogue/combo_text_order.h"
#include "ui/playlists/playlist_manager.h"

namespace vidora {

PlaylistRows MakePlaylistRows(const Country* country, const std::vector<Channel*>& all,
                              const PlaylistManager& playlists) {
  struct Row {
    uint32_t position;
    uint32_t slot;
    std::u16string_view group;
  };
  std::vector<Row> rows;
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i]->country() != country) continue;
    const PlaylistChannelInfo* info = playlists.FindChannel(*all[i]);
    rows.push_back({info != nullptr ? info->position : UINT32_MAX, static_cast<uint32_t>(i),
                    info != nullptr ? info->group : std::u16string_view()});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.position < b.position; });
  PlaylistRows result;
  result.country = country;
  result.channels.reserve(rows.size());
  result.name_slots.reserve(rows.size());
  result.group_of.reserve(rows.size());
  std::unordered_map<std::u16string_view, int> groups;
  for (const Row& row : rows) {
    int group = -1;
    if (!row.group.empty()) {
      auto [at, added] = groups.emplace(row.group, static_cast<int>(result.groups.size()));
      if (added) result.groups.push_back(QString::fromStdU16String(std::u16string(row.group)));
      group = at->second;
    }
    result.channels.push_back(all[row.slot]);
    result.name_slots.push_back(row.slot);
    result.group_of.push_back(group);
  }
  return result;
}

const std::vector<uint32_t>& SortedRows(PlaylistRows& rows, PlaylistSort sort, const PlaylistManager& playlists) {
  static const std::vector<uint32_t> kNone;
  if (sort == PlaylistSort::kPlaylistOrder || rows.channels.empty()) return kNone;
  std::vector<uint32_t>& order = sort == PlaylistSort::kName ? rows.by_name : rows.by_number;
  if (!order.empty()) return order;
  order.resize(rows.channels.size());
  std::iota(order.begin(), order.end(), 0u);
  if (sort == PlaylistSort::kName) {
    // One sort key per name: comparing keys is a memory compare, where
    // comparing names through the collator would redo the collation at
    // every one of the sort's n log n steps.
    QCollator collator = InterfaceCollator();
    collator.setNumericMode(true);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.channels.size());
    for (const Channel* channel : rows.channels) {
      keys.push_back(collator.sortKey(QString::fromStdU16String(channel->name())));
    }
    std::stable_sort(order.begin(), order.end(), [&keys](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]) < 0; });
  } else {
    std::vector<std::string> numbers;
    numbers.reserve(rows.channels.size());
    for (const Channel* channel : rows.channels) numbers.push_back(playlists.ChannelNumber(*channel));
    std::stable_sort(order.begin(), order.end(),
                     [&numbers](uint32_t a, uint32_t b) { return ChannelNumberLess(numbers[a], numbers[b]); });
  }
  return order;
}

}  // namespace vidora
