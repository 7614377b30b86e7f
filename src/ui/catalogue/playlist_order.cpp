#include "ui/catalogue/playlist_order.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

#include "core/catalogue/channel_catalogue.h"
#include "ui/playlists/playlist_manager.h"

namespace vidora {

std::vector<QString> PlaylistGroups(const std::vector<Channel*>& channels, const PlaylistManager& playlists) {
  struct Seen {
    uint32_t position;
    std::u16string_view group;
  };
  std::vector<Seen> seen;
  for (const Channel* channel : channels) {
    const PlaylistChannelInfo* info = playlists.FindChannel(*channel);
    if (info != nullptr && !info->group.empty()) seen.push_back({info->position, info->group});
  }
  std::stable_sort(seen.begin(), seen.end(), [](const Seen& a, const Seen& b) { return a.position < b.position; });
  std::vector<QString> groups;
  std::unordered_set<std::u16string_view> known;
  for (const Seen& s : seen) {
    if (known.insert(s.group).second) groups.push_back(QString::fromStdU16String(std::u16string(s.group)));
  }
  return groups;
}

void KeepPlaylistGroup(const QString& group, const PlaylistManager& playlists, std::vector<Channel*>& rows,
                       std::vector<uint32_t>& name_slots) {
  const std::u16string wanted = group.toStdU16String();
  size_t kept = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const PlaylistChannelInfo* info = playlists.FindChannel(*rows[i]);
    if (info == nullptr || info->group != wanted) continue;
    rows[kept] = rows[i];
    if (i < name_slots.size()) name_slots[kept] = name_slots[i];
    ++kept;
  }
  rows.resize(kept);
  name_slots.resize(std::min(name_slots.size(), kept));
}

void SortInPlaylistOrder(const PlaylistManager& playlists, std::vector<Channel*>& rows,
                         std::vector<uint32_t>& name_slots) {
  struct Row {
    uint32_t playlist;  // rank of first appearance; no playlist: last
    uint32_t position;
    Channel* channel;
    uint32_t slot;
  };
  std::vector<Row> order;
  order.reserve(rows.size());
  std::vector<const Country*> seen;
  for (size_t i = 0; i < rows.size(); ++i) {
    const PlaylistChannelInfo* info = playlists.FindChannel(*rows[i]);
    uint32_t rank = UINT32_MAX;
    if (info != nullptr) {
      const Country* country = rows[i]->country();
      auto at = std::find(seen.begin(), seen.end(), country);
      if (at == seen.end()) at = seen.insert(seen.end(), country);
      rank = static_cast<uint32_t>(at - seen.begin());
    }
    order.push_back({rank, info != nullptr ? info->position : 0, rows[i], i < name_slots.size() ? name_slots[i] : 0});
  }
  std::stable_sort(order.begin(), order.end(), [](const Row& a, const Row& b) {
    if (a.playlist != b.playlist) return a.playlist < b.playlist;
    return a.playlist != UINT32_MAX && a.position < b.position;
  });
  for (size_t i = 0; i < order.size(); ++i) {
    rows[i] = order[i].channel;
    if (i < name_slots.size()) name_slots[i] = order[i].slot;
  }
}

}  // namespace vidora
