#ifndef VIDORA_CORE_DOCUMENT_NAMED_TABLE_H_
#define VIDORA_CORE_DOCUMENT_NAMED_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <string_view>

#include "core/document/doc_arena.h"

namespace vidora {

// A borrowed entry of a NamedTable, used like the pointer it holds.
template <typename T>
class TableEntry {
 public:
  explicit TableEntry(T* entry) : entry_(entry) {}
  T* get() const { return entry_; }
  T* operator->() const { return entry_; }
  T& operator*() const { return *entry_; }

 private:
  T* entry_;
};

// Entries with unique names, iterated in insertion order. The entries and
// the table's arrays live in the arena of the tree the table belongs to
// (passed to every call that may grow the table); the table frees nothing.
// Small tables are searched linearly; from kIndexThreshold entries on an
// open-addressing index of positions, keyed by the entries' own names,
// keeps lookups O(1) (a catalogue country with thousands of channels). T
// must have `const std::string& name() const`, and an entry's name must not
// change while it is in the table. Iterators are random-access.
template <typename T>
class NamedTable {
 public:
  static constexpr size_t kIndexThreshold = 8;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  T* Find(std::string_view name) const {
    const uint32_t at = PositionOf(name);
    return at == size_ ? nullptr : entries_[at].get();
  }

  // Adds `entry` unless its name is taken (first one wins). Returns the
  // added entry, or nullptr when the name was taken.
  T* Insert(DocArena& arena, T* entry) {
    if (Find(entry->name()) != nullptr) return nullptr;
    Append(arena, entry);
    return entry;
  }

  // Appends an entry whose name is known to be free.
  void Append(DocArena& arena, T* entry) {
    if (size_ == capacity_) Grow(arena, capacity_ == 0 ? 4 : 2 * capacity_);
    new (&entries_[size_]) TableEntry<T>(entry);
    ++size_;
    if (index_ != nullptr) {
      if (2 * size_ > index_mask_ + 1) {
        BuildIndex(arena);
      } else {
        IndexAt(size_ - 1);
      }
    } else if (size_ >= kIndexThreshold) {
      BuildIndex(arena);
    }
  }

  // Takes `count` entries at once (a reader's whole table): later entries
  // whose names an earlier one has are dropped (first one wins), the rest
  // keep their order, and the index is built when the table is large
  // enough for one. The table must be empty.
  void Assign(DocArena& arena, T* const* entries, size_t count) {
    if (count == 0) return;
    Grow(arena, count);
    if (count < kIndexThreshold) {
      for (size_t i = 0; i < count; ++i) {
        bool taken = false;
        for (uint32_t j = 0; j < size_ && !taken; ++j) taken = entries_[j]->name() == entries[i]->name();
        if (!taken) new (&entries_[size_++]) TableEntry<T>(entries[i]);
      }
      return;
    }
    NewIndex(arena, count);
    for (size_t i = 0; i < count; ++i) {
      const uint32_t slot = SlotFor(entries[i]->name());
      if (index_[slot] != 0) continue;  // the name is taken
      new (&entries_[size_]) TableEntry<T>(entries[i]);
      index_[slot] = ++size_;
    }
  }

  // Forgets every entry (their memory stays with the arena).
  void Clear() {
    entries_ = nullptr;
    index_ = nullptr;
    size_ = capacity_ = index_mask_ = 0;
  }

  // Iteration in insertion order.
  const TableEntry<T>* begin() const { return entries_; }
  const TableEntry<T>* end() const { return entries_ + size_; }

 private:
  static size_t Hash(std::string_view name) { return std::hash<std::string_view>{}(name); }

  // Position of the entry of that name, or size() when there is none.
  uint32_t PositionOf(std::string_view name) const {
    if (index_ != nullptr) {
      const uint32_t position = index_[SlotFor(name)];
      return position == 0 ? size_ : position - 1;
    }
    for (uint32_t i = 0; i < size_; ++i) {
      if (entries_[i]->name() == name) return i;
    }
    return size_;
  }

  // The index slot holding `name`, or the empty slot where it would go.
  uint32_t SlotFor(std::string_view name) const {
    uint32_t slot = static_cast<uint32_t>(Hash(name)) & index_mask_;
    while (index_[slot] != 0 && entries_[index_[slot] - 1]->name() != name) slot = (slot + 1) & index_mask_;
    return slot;
  }

  void Grow(DocArena& arena, size_t capacity) {
    auto* grown = static_cast<TableEntry<T>*>(arena.Allocate(capacity, sizeof(TableEntry<T>)));
    if (size_ > 0) std::memcpy(static_cast<void*>(grown), entries_, size_ * sizeof(TableEntry<T>));
    entries_ = grown;
    capacity_ = static_cast<uint32_t>(capacity);
  }

  // An empty index with room for `count` entries at most half full.
  void NewIndex(DocArena& arena, size_t count) {
    size_t cells = 16;
    while (cells < 2 * count) cells *= 2;
    index_ = static_cast<uint32_t*>(arena.Allocate(cells, sizeof(uint32_t)));
    std::memset(index_, 0, cells * sizeof(uint32_t));
    index_mask_ = static_cast<uint32_t>(cells - 1);
  }

  void BuildIndex(DocArena& arena) {
    NewIndex(arena, capacity_);
    for (uint32_t i = 0; i < size_; ++i) IndexAt(i);
  }

  void IndexAt(uint32_t position) { index_[SlotFor(entries_[position]->name())] = position + 1; }

  TableEntry<T>* entries_ = nullptr;
  // Slots hold an entry's position + 1; 0 is empty.
  uint32_t* index_ = nullptr;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
  uint32_t index_mask_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_NAMED_TABLE_H_
