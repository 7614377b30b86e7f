#ifndef VIDORA_CORE_DOCUMENT_NAMED_TABLE_H_
#define VIDORA_CORE_DOCUMENT_NAMED_TABLE_H_

#include <cstddef>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vidora {

// Owned entries with unique names, iterated in insertion order. Small
// tables are searched linearly; from kIndexThreshold entries on a hash
// index keyed by the entries' own names is kept, so large tables (a
// catalogue country with thousands of channels) stay O(1) per lookup and
// small ones (most nodes) cost no index memory. T must have
// `const std::string& name() const`, and an entry's name must not change
// while it is in the table.
template <typename T>
class NamedTable {
 public:
  static constexpr size_t kIndexThreshold = 8;

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

  T* Find(std::string_view name) const {
    if (!index_.empty()) {
      auto it = index_.find(name);
      return it == index_.end() ? nullptr : entries_[it->second].get();
    }
    for (const auto& entry : entries_) {
      if (entry->name() == name) return entry.get();
    }
    return nullptr;
  }

  // Adds `entry` unless its name is taken (first one wins). Returns the
  // added entry, or nullptr (and `entry` is freed) when the name was taken.
  T* Insert(std::unique_ptr<T> entry) {
    if (Find(entry->name()) != nullptr) return nullptr;
    T* added = entry.get();
    entries_.push_back(std::move(entry));
    if (!index_.empty()) {
      index_.emplace(added->name(), entries_.size() - 1);
    } else if (entries_.size() >= kIndexThreshold) {
      BuildIndex();
    }
    return added;
  }

  // Puts `entry` in place of the entry of the same name (keeping its
  // position), or appends it. Returns the stored entry.
  T* Replace(std::unique_ptr<T> entry) {
    const size_t at = PositionOf(entry->name());
    if (at == entries_.size()) return Insert(std::move(entry));
    T* added = entry.get();
    if (!index_.empty()) index_.erase(entries_[at]->name());
    entries_[at] = std::move(entry);
    if (!index_.empty()) index_.emplace(added->name(), at);
    return added;
  }

  // Appends `entry` without looking for its name. For a reader that fills
  // a whole table at once: Seal() must follow before the table is used.
  void AppendUnchecked(std::unique_ptr<T> entry) { entries_.push_back(std::move(entry)); }

  // Drops every entry whose name an earlier entry has (first one wins),
  // keeping the order of the rest, and builds the index when the table is
  // large enough for one.
  void Seal() {
    if (entries_.size() < kIndexThreshold) {
      size_t kept = 0;
      for (size_t i = 0; i < entries_.size(); ++i) {
        bool taken = false;
        for (size_t j = 0; j < kept && !taken; ++j) taken = entries_[j]->name() == entries_[i]->name();
        if (!taken) entries_[kept++] = std::move(entries_[i]);
      }
      entries_.resize(kept);
      return;
    }
    index_.clear();
    index_.reserve(entries_.size() * 2);
    size_t kept = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (index_.emplace(entries_[i]->name(), kept).second) {
        if (kept != i) entries_[kept] = std::move(entries_[i]);
        ++kept;
      }
    }
    entries_.resize(kept);
    if (kept < kIndexThreshold) index_.clear();
  }

  void Clear() {
    index_.clear();
    entries_.clear();
  }

  // Iteration in insertion order.
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

 private:
  // Position of the entry of that name, or size() when there is none.
  size_t PositionOf(std::string_view name) const {
    if (!index_.empty()) {
      auto it = index_.find(name);
      return it == index_.end() ? entries_.size() : it->second;
    }
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i]->name() == name) return i;
    }
    return entries_.size();
  }

  void BuildIndex() {
    index_.reserve(entries_.size() * 2);
    for (size_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i]->name(), i);
  }

  std::vector<std::unique_ptr<T>> entries_;
  std::unordered_map<std::string_view, size_t> index_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_NAMED_TABLE_H_
