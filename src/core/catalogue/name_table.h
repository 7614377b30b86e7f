#ifndef VIDORA_CORE_CATALOGUE_NAME_TABLE_H_
#define VIDORA_CORE_CATALOGUE_NAME_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace vidora {

// Finds entries of a caller's list by name: an open-addressing table of
// list indices, one flat block instead of a node per name. The names stay
// with the caller; `name_of(index)` gives the name of an entry and is
// called only for entries whose hash matches. Not thread-safe.
class NameTable {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  // Room for `count` names without growing.
  void Reserve(size_t count) {
    size_t size = 16;
    while (size < count * 2) size *= 2;
    if (size > slots_.size()) Rehash(size);
  }
  // The index added under `name`, or kNone.
  template <typename NameOf>
  uint32_t Find(std::string_view name, NameOf&& name_of) const {
    if (slots_.empty()) return kNone;
    const uint32_t hash = Hash(name);
    const size_t mask = slots_.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
      const uint64_t slot = slots_[at];
      if (slot == 0) return kNone;
      const auto index = static_cast<uint32_t>(slot) - 1;
      if (static_cast<uint32_t>(slot >> 32) == hash && name_of(index) == name) return index;
    }
  }
  // Adds `index` under `name`, which the table must not hold yet.
  void Insert(std::string_view name, uint32_t index) {
    if ((used_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2);
    Place((uint64_t{Hash(name)} << 32) | (uint64_t{index} + 1));
    ++used_;
  }
  size_t size() const { return used_; }
  // Empties the table and gives its memory back.
  void Clear() {
    std::vector<uint64_t>().swap(slots_);
    used_ = 0;
  }

 private:
  static uint32_t Hash(std::string_view name) {
    const size_t h = std::hash<std::string_view>()(name);
    return static_cast<uint32_t>(h ^ (h >> 32));
  }
  void Place(uint64_t entry) {
    const size_t mask = slots_.size() - 1;
    size_t at = static_cast<uint32_t>(entry >> 32) & mask;
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = entry;
  }
  void Rehash(size_t size) {
    std::vector<uint64_t> old(size, 0);
    old.swap(slots_);
    for (uint64_t entry : old) {
      if (entry != 0) Place(entry);
    }
  }

  // 0 = free; else the name's hash (high half) and index + 1 (low half).
  std::vector<uint64_t> slots_;
  size_t used_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_NAME_TABLE_H_
