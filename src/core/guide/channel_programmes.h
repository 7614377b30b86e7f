#ifndef VIDORA_CORE_GUIDE_CHANNEL_PROGRAMMES_H_
#define VIDORA_CORE_GUIDE_CHANNEL_PROGRAMMES_H_

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <span>

#include "core/guide/guide_store.h"

namespace vidora {

// One playlist channel's programmes as the user sees them: the guide
// channel's records, in start order, each moved by the channel's tvg-shift.
// The shift is added when a record is read, so channels sharing a guide
// channel with different shifts cost no copies. Views a store's records:
// valid while the store is held. Any thread (read-only).
class ChannelProgrammes {
 public:
  ChannelProgrammes() = default;
  ChannelProgrammes(std::span<const ProgrammeRecord> records, int64_t shift_seconds)
      : records_(records), shift_(shift_seconds) {}

  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  int64_t shift_seconds() const { return shift_; }
  // The programme at `index` (< size()), its times shifted.
  ProgrammeRecord operator[](size_t index) const;

  // The index of the first programme ending after `time` (size() when none).
  size_t FirstEndingAfter(int64_t time) const;
  // The index of the first programme starting at or after `time`.
  size_t FirstStartingFrom(int64_t time) const;
  // The programme running at `time`, if any.
  std::optional<ProgrammeRecord> At(int64_t time) const;

  struct NowNext {
    std::optional<ProgrammeRecord> now;   // running at the time asked
    std::optional<ProgrammeRecord> next;  // the one after it (or the next to begin)
  };
  NowNext FindNowNext(int64_t now) const;

  // Range-for over shifted copies.
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = ProgrammeRecord;
    using difference_type = std::ptrdiff_t;
    Iterator(const ChannelProgrammes* owner, size_t index) : owner_(owner), index_(index) {}
    ProgrammeRecord operator*() const { return (*owner_)[index_]; }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return index_ == other.index_; }

   private:
    const ChannelProgrammes* owner_;
    size_t index_;
  };
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, records_.size()); }

 private:
  std::span<const ProgrammeRecord> records_;
  int64_t shift_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_CHANNEL_PROGRAMMES_H_
