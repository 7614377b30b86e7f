#include "core/stores/channel_state_entry.h"

#include "core/document/doc_node.h"

namespace vidora {

void AddChannelStateNodes(const std::vector<ChannelStateEntry>& entries, DocNode& channels) {
  for (const ChannelStateEntry& entry : entries) {
    DocNode* child = channels.AddChild(entry.key);
    if (child == nullptr) continue;
    if (entry.favourite) child->SetBool("f", *entry.favourite);
    if (entry.source) child->SetInt("cu", *entry.source);
  }
}

}  // namespace vidora
