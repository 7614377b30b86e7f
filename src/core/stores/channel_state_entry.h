#ifndef VIDORA_CORE_STORES_CHANNEL_STATE_ENTRY_H_
#define VIDORA_CORE_STORES_CHANNEL_STATE_ENTRY_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace vidora {

class DocNode;

// One child of the settings' "channels" node: a channel's key and state.
// The key is borrowed (from a channel or a loaded node) for one save.
struct ChannelStateEntry {
  std::string_view key;
  std::optional<bool> favourite;  // "f": a favourite's, or as it was read
  std::optional<int32_t> source;  // "cu": only as it was read
};

// Takes the entries one by one, as they are listed.
using ChannelStateVisitor = std::function<void(const ChannelStateEntry&)>;

// Adds a child to `channels` for each entry (a name taken already is
// skipped).
void AddChannelStateNodes(const std::vector<ChannelStateEntry>& entries, DocNode& channels);

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_CHANNEL_STATE_ENTRY_H_
