#include "ui/catalogue/playlist_order.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "core/catalogue/channel_catalogue.h"
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

}  // namespace vidora
