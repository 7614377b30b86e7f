#include "core/document/doc_arena.h"

#include <algorithm>
#include <new>
#include <utility>

#include "core/document/doc_node.h"
#include "core/document/large_block.h"

namespace vidora {
namespace {

// Small documents (settings, a version answer) stay within one or two
// small blocks; large ones quickly reach blocks that make the number of
// allocations negligible.
constexpr uint32_t kFirstChunkSlots = 8;
constexpr uint32_t kLargestChunkSlots = 1024;
// Large trees take their memory straight from the system in blocks of this
// size, aligned for and marked as huge pages: a large document then costs
// a few dozen page faults instead of one per 4 KiB, which dominated
// reading it. The blocks go back to the system when the tree is freed.
constexpr size_t kMappedBlock = size_t{4} << 20;
constexpr size_t kAlign = alignof(std::max_align_t);

size_t RoundUp(size_t bytes) { return (bytes + kAlign - 1) / kAlign * kAlign; }

}  // namespace

DocArena::~DocArena() { Reset(); }

void DocArena::Reset() {
  // Attributes first: nothing in them refers to nodes. Nodes own no other
  // node (the arena does), so the order among them does not matter.
  for (Chunk& chunk : attributes_) {
    auto* cells = static_cast<DocAttribute*>(chunk.cells);
    for (uint32_t i = 0; i < chunk.used; ++i) cells[i].~DocAttribute();
  }
  for (Chunk& chunk : nodes_) {
    auto* cells = static_cast<DocNode*>(chunk.cells);
    for (uint32_t i = 0; i < chunk.used; ++i) cells[i].~DocNode();
  }
  attributes_.clear();
  nodes_.clear();
  adopted_.clear();
  for (const Block& block : blocks_) {
    if (block.mapped) {
      UnmapLargeBlock(block.bytes, block.size);
    } else {
      delete[] block.bytes;
    }
  }
  blocks_.clear();
  free_at_ = free_end_ = nullptr;
  next_block_ = kFirstBlock;
  bytes_held_ = 0;
}

std::byte* DocArena::NewBlock(size_t bytes) {
  blocks_.reserve(blocks_.size() + 1);
  Block block{nullptr, bytes, bytes >= kMappedBlock};
  block.bytes = block.mapped ? MapLargeBlock(bytes) : new std::byte[bytes];
  if (block.bytes == nullptr) throw std::bad_alloc();
  blocks_.push_back(block);
  bytes_held_ += bytes;
  return block.bytes;
}

void* DocArena::Allocate(size_t count, size_t size) {
  if (size != 0 && count > (SIZE_MAX / 2) / size) throw std::bad_alloc();
  const size_t bytes = RoundUp(count * size);
  if (static_cast<size_t>(free_end_ - free_at_) < bytes) {
    // A request larger than a block gets a block of its own, leaving the
    // current block's free end to the small requests that follow.
    if (bytes > kLargestBlock / 4) return NewBlock(bytes);
    const size_t size = std::max(bytes, next_block_);
    // After a megabyte of small blocks the tree is a large one.
    next_block_ = next_block_ >= kLargestBlock ? kMappedBlock : 2 * next_block_;
    free_at_ = NewBlock(size);
    free_end_ = free_at_ + size;
  }
  void* at = free_at_;
  free_at_ += bytes;
  return at;
}

void* DocArena::NextSlot(std::vector<Chunk>& chunks, size_t slot_size) {
  if (chunks.empty() || chunks.back().used == chunks.back().capacity) {
    const uint32_t capacity =
        chunks.empty() ? kFirstChunkSlots : std::min(2 * chunks.back().capacity, kLargestChunkSlots);
    void* cells = Allocate(capacity, slot_size);
    chunks.reserve(chunks.size() + 1);
    chunks.push_back(Chunk{cells, 0, capacity});
  }
  Chunk& chunk = chunks.back();
  return static_cast<std::byte*>(chunk.cells) + chunk.used * slot_size;
}

DocNode* DocArena::NewNode(std::string name) {
  void* slot = NextSlot(nodes_, sizeof(DocNode));
  auto* node = new (slot) DocNode(std::move(name), this);
  Commit(nodes_);
  return node;
}

DocAttribute* DocArena::NewAttribute(std::string name) {
  void* slot = NextSlot(attributes_, sizeof(DocAttribute));
  auto* attribute = new (slot) DocAttribute(std::move(name));
  Commit(attributes_);
  return attribute;
}

DocAttribute* DocArena::NewAttribute(DocAttribute&& from) {
  void* slot = NextSlot(attributes_, sizeof(DocAttribute));
  auto* attribute = new (slot) DocAttribute(std::move(from));
  Commit(attributes_);
  return attribute;
}

void DocArena::Adopt(std::unique_ptr<DocArena> other) {
  if (other != nullptr && other.get() != this) adopted_.push_back(std::move(other));
}

}  // namespace vidora
