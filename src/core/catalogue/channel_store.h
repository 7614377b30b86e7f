#ifndef VIDORA_CORE_CATALOGUE_CHANNEL_STORE_H_
#define VIDORA_CORE_CATALOGUE_CHANNEL_STORE_H_

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "core/catalogue/channel.h"

namespace vidora {

// Channels side by side in a few large blocks instead of one heap object
// each. A channel never moves once made: the pointers
// handed out stay valid until the store is destroyed. Not thread-safe.
class ChannelStore {
 public:
  ChannelStore() = default;
  ChannelStore(const ChannelStore&) = delete;
  ChannelStore& operator=(const ChannelStore&) = delete;
  ~ChannelStore() {
    for (Block& block : blocks_) {
      for (size_t i = 0; i < block.used; ++i) block.at(i)->~Channel();
    }
  }

  // A new channel of `country`; owned by the store.
  Channel* Add(const Country* country) {
    if (blocks_.empty() || blocks_.back().used == blocks_.back().capacity) {
      // Blocks double up to a size where one partly used block costs
      // little next to the rest.
      const size_t capacity = blocks_.empty() ? kFirstBlock : std::min(kLargestBlock, 2 * blocks_.back().capacity);
      blocks_.push_back(Block{std::make_unique_for_overwrite<Slot[]>(capacity), capacity, 0});
    }
    Block& block = blocks_.back();
    Channel* channel = new (block.cells.get() + block.used) Channel(country);
    ++block.used;
    ++size_;
    return channel;
  }

  size_t size() const { return size_; }

 private:
  static constexpr size_t kFirstBlock = 8;
  static constexpr size_t kLargestBlock = 4096;
  struct alignas(Channel) Slot {
    std::byte bytes[sizeof(Channel)];
  };
  struct Block {
    std::unique_ptr<Slot[]> cells;
    size_t capacity;
    size_t used;
    Channel* at(size_t i) { return std::launder(reinterpret_cast<Channel*>(cells.get() + i)); }
  };

  std::vector<Block> blocks_;
  size_t size_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CHANNEL_STORE_H_
