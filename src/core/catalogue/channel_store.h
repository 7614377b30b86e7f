#ifndef VIDORA_CORE_CATALOGUE_CHANNEL_STORE_H_
#define VIDORA_CORE_CATALOGUE_CHANNEL_STORE_H_

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "core/catalogue/channel.h"
#include "core/document/large_block.h"

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
      if (block.mapped) {
        UnmapLargeBlock(reinterpret_cast<std::byte*>(block.cells), block.capacity * sizeof(Slot));
      } else {
        delete[] block.cells;
      }
    }
  }

  // A new channel of `country`; owned by the store.
  Channel* Add(const Country* country) {
    if (blocks_.empty() || blocks_.back().used == blocks_.back().capacity) {
      // Blocks double up to a size where one partly used block costs
      // little next to the rest; a large store then takes huge pages, which
      // cost one page fault per 2 MiB instead of one per 4 KiB.
      blocks_.reserve(blocks_.size() + 1);
      const size_t capacity = blocks_.empty() ? kFirstBlock : std::min(kLargestBlock, 2 * blocks_.back().capacity);
      Block block{nullptr, capacity, 0, capacity == kLargestBlock};
      if (block.mapped) {
        block.capacity = kHugePageBytes / sizeof(Slot);
        block.cells = reinterpret_cast<Slot*>(MapLargeBlock(block.capacity * sizeof(Slot)));
        if (block.cells == nullptr) throw std::bad_alloc();
      } else {
        block.cells = new Slot[capacity];
      }
      blocks_.push_back(block);
    }
    Block& block = blocks_.back();
    Channel* channel = new (block.cells + block.used) Channel(country);
    ++block.used;
    ++size_;
    return channel;
  }

  size_t size() const { return size_; }

  // Gives the room of the last block no channel took back to the system,
  // for a store that is full for now. It can still grow.
  void ReleaseUnused() {
    if (blocks_.empty() || !blocks_.back().mapped) return;
    Block& block = blocks_.back();
    ReleaseBlockTail(reinterpret_cast<std::byte*>(block.cells + block.used),
                     reinterpret_cast<std::byte*>(block.cells + block.capacity));
  }

 private:
  static constexpr size_t kFirstBlock = 8;
  static constexpr size_t kLargestBlock = 4096;
  struct alignas(Channel) Slot {
    std::byte bytes[sizeof(Channel)];
  };
  struct Block {
    Slot* cells;
    size_t capacity;
    size_t used;
    bool mapped;  // from MapLargeBlock, else from new[]
    Channel* at(size_t i) { return std::launder(reinterpret_cast<Channel*>(cells + i)); }
  };

  std::vector<Block> blocks_;
  size_t size_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CHANNEL_STORE_H_
