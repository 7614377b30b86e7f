#include "core/catalogue/catalogue_arena.h"

#include <algorithm>
#include <cstring>

#include "core/document/byte_cursor.h"

namespace vidora {
namespace {

// Blocks start small, as most arenas hold one playlist of a few channels,
// and grow to this size for a large catalogue.
constexpr size_t kFirstBlockBytes = 4 * 1024;
constexpr size_t kLargestBlockBytes = 1024 * 1024;

}  // namespace

void* CatalogueArena::Allocate(size_t bytes, size_t alignment) {
  size_t pad = reinterpret_cast<uintptr_t>(next_) % alignment;
  if (pad != 0) pad = alignment - pad;
  if (next_ == nullptr || left_ < bytes + pad) {
    // The arena grows with what it holds: waste stays a fraction of it.
    const size_t grown = std::min(kLargestBlockBytes, std::max(kFirstBlockBytes, reserved_));
    const size_t size = std::max(grown, bytes + alignof(std::max_align_t));
    blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(size));
    next_ = blocks_.back().get();
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

std::u16string_view CatalogueArena::Keep(std::u16string_view text) {
  if (text.empty()) return {};
  char16_t* out = static_cast<char16_t*>(Allocate(text.size() * sizeof(char16_t), alignof(char16_t)));
  std::memcpy(out, text.data(), text.size() * sizeof(char16_t));
  return {out, text.size()};
}

std::u16string_view CatalogueArena::KeepWide(const uint8_t* bytes, uint32_t units) {
  if (units == 0) return {};
  char16_t* out = static_cast<char16_t*>(Allocate(size_t{units} * sizeof(char16_t), alignof(char16_t)));
  CopyWideUnits(bytes, units, out);
  return {out, units};
}

}  // namespace vidora
