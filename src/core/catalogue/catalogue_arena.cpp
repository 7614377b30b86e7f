#include "core/catalogue/catalogue_arena.h"

#include <algorithm>
#include <cstring>

#include "core/document/large_block.h"

namespace vidora {
namespace {

// Blocks start small, as most arenas hold one playlist of a few channels,
// and grow to this size for a large catalogue.
constexpr size_t kFirstBlockBytes = 4 * 1024;
constexpr size_t kLargestBlockBytes = 1024 * 1024;
// Once this much is held, blocks are huge pages from MapLargeBlock: a large
// catalogue's texts then cost a page fault per 2 MiB instead of one per
// 4 KiB.
constexpr size_t kMappedAfterBytes = 2 * kLargestBlockBytes;
constexpr size_t kMappedBlockBytes = kHugePageBytes;

}  // namespace

CatalogueArena::~CatalogueArena() {
  for (const Block& block : blocks_) {
    if (block.mapped) {
      UnmapLargeBlock(block.bytes, block.size);
    } else {
      delete[] block.bytes;
    }
  }
}

void* CatalogueArena::Allocate(size_t bytes, size_t alignment) {
  size_t pad = reinterpret_cast<uintptr_t>(next_) % alignment;
  if (pad != 0) pad = alignment - pad;
  if (next_ == nullptr || left_ < bytes + pad) {
    // The arena grows with what it holds: waste stays a fraction of it.
    const size_t grown = reserved_ >= kMappedAfterBytes
                             ? kMappedBlockBytes
                             : std::min(kLargestBlockBytes, std::max(kFirstBlockBytes, reserved_));
    const size_t size = std::max(grown, bytes + alignof(std::max_align_t));
    blocks_.reserve(blocks_.size() + 1);
    Block block{nullptr, size, size >= kMappedBlockBytes};
    block.bytes = block.mapped ? MapLargeBlock(size) : new std::byte[size];
    if (block.bytes == nullptr) throw std::bad_alloc();
    blocks_.push_back(block);
    next_ = block.bytes;
    left_ = size;
    reserved_ += size;
    pad = reinterpret_cast<uintptr_t>(next_) % alignment;
    if (pad != 0) pad = alignment - pad;
  }
  std::byte* at = next_ + pad;
  next_ = at + bytes;
  left_ -= bytes + pad;
  return at;
}

std::string_view CatalogueArena::Keep(std::string_view text) {
  if (text.empty()) return {};
  char* out = static_cast<char*>(Allocate(text.size(), 1));
  std::memcpy(out, text.data(), text.size());
  return {out, text.size()};
}

void CatalogueArena::ReleaseUnused() {
  if (blocks_.empty() || !blocks_.back().mapped) return;
  const Block& block = blocks_.back();
  ReleaseBlockTail(next_, block.bytes + block.size);
}

template <typename Char>
BasicArenaText<Char> CatalogueArena::KeepCountedText(std::basic_string_view<Char> text) {
  if (text.empty()) return {};
  const auto size = static_cast<uint32_t>(std::min<size_t>(text.size(), (UINT32_MAX - sizeof(uint32_t)) / sizeof(Char)));
  auto* out = static_cast<std::byte*>(Allocate(sizeof(size) + size * sizeof(Char), alignof(Char)));
  std::memcpy(out, &size, sizeof(size));
  std::memcpy(out + sizeof(size), text.data(), size * sizeof(Char));
  return BasicArenaText<Char>(out);
}

ArenaText CatalogueArena::KeepCounted(std::string_view text) { return KeepCountedText(text); }

ArenaWideText CatalogueArena::KeepCounted(std::u16string_view text) { return KeepCountedText(text); }

}  // namespace vidora
