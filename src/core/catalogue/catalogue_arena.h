#ifndef VIDORA_CORE_CATALOGUE_CATALOGUE_ARENA_H_
#define VIDORA_CORE_CATALOGUE_CATALOGUE_ARENA_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vidora {

// A text kept by a CatalogueArena with its length (in code units) in
// front of it: one pointer where a view takes two, for texts most channels
// carry but few read. Empty when default-made; valid as long as its arena.
template <typename Char>
class BasicArenaText {
 public:
  BasicArenaText() = default;
  std::basic_string_view<Char> view() const {
    if (at_ == nullptr) return {};
    uint32_t size = 0;
    std::memcpy(&size, at_, sizeof(size));
    return {reinterpret_cast<const Char*>(at_ + sizeof(size)), size};
  }

 private:
  friend class CatalogueArena;
  explicit BasicArenaText(const std::byte* at) : at_(at) {}
  const std::byte* at_ = nullptr;
};
using ArenaText = BasicArenaText<char>;
using ArenaWideText = BasicArenaText<char16_t>;

// Storage for the texts and source lists of catalogue channels: memory is
// taken from large blocks and handed out by bumping a pointer, and given
// back only all at once when the arena is destroyed. Nothing ever moves,
// so the views it returns stay valid for the arena's lifetime. Channels
// built together share one arena (see Country::arena()), which replaces a
// heap block per text. Not thread-safe.
class CatalogueArena {
 public:
  CatalogueArena() = default;
  CatalogueArena(const CatalogueArena&) = delete;
  CatalogueArena& operator=(const CatalogueArena&) = delete;
  ~CatalogueArena();

  // Copies of `text` kept by the arena; an empty text takes no memory.
  std::string_view Keep(std::string_view text);
  // The same behind its length; an empty text takes no memory. Texts
  // longer than 4 GiB less four bytes are cut there.
  ArenaText KeepCounted(std::string_view text);
  ArenaWideText KeepCounted(std::u16string_view text);

  // Room for `count` default-made objects of a type that needs no
  // destruction.
  template <typename T>
  std::span<T> MakeArray(size_t count) {
    static_assert(std::is_trivially_destructible_v<T>, "the arena never runs destructors");
    if (count == 0) return {};
    T* first = static_cast<T*>(Allocate(sizeof(T) * count, alignof(T)));
    for (size_t i = 0; i < count; ++i) new (first + i) T();
    return {first, count};
  }

  // Gives the memory of the current block that was never handed out back
  // to the system, for an arena that is full for now. It can still grow.
  void ReleaseUnused();

  // Bytes of the blocks taken from the system so far.
  size_t reserved_bytes() const { return reserved_; }

 private:
  void* Allocate(size_t bytes, size_t alignment);
  template <typename Char>
  BasicArenaText<Char> KeepCountedText(std::basic_string_view<Char> text);

  struct Block {
    std::byte* bytes;
    size_t size;
    bool mapped;  // from MapLargeBlock, else from new[]
  };
  std::vector<Block> blocks_;
  std::byte* next_ = nullptr;
  size_t left_ = 0;
  size_t reserved_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CATALOGUE_ARENA_H_
