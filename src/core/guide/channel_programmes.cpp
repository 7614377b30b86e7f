#include "core/guide/channel_programmes.h"

#include <algorithm>

namespace vidora {

ProgrammeRecord ChannelProgrammes::operator[](size_t index) const {
  ProgrammeRecord record = records_[index];
  record.start += shift_;
  record.stop += shift_;
  return record;
}

size_t ChannelProgrammes::FirstEndingAfter(int64_t time) const {
  // Sorted by start without overlaps, so the stops are sorted too; the
  // shift moves the time asked, not every record.
  const int64_t at = time - shift_;
  return static_cast<size_t>(std::upper_bound(records_.begin(), records_.end(), at,
                                              [](int64_t t, const ProgrammeRecord& p) { return t < p.stop; }) -
                             records_.begin());
}

size_t ChannelProgrammes::FirstStartingFrom(int64_t time) const {
  const int64_t at = time - shift_;
  return static_cast<size_t>(std::lower_bound(records_.begin(), records_.end(), at,
                                              [](const ProgrammeRecord& p, int64_t t) { return p.start < t; }) -
                             records_.begin());
}

std::optional<ProgrammeRecord> ChannelProgrammes::At(int64_t time) const {
  const size_t at = FirstEndingAfter(time);
  if (at >= size() || records_[at].start + shift_ > time) return std::nullopt;
  return (*this)[at];
}

ChannelProgrammes::NowNext ChannelProgrammes::FindNowNext(int64_t now) const {
  NowNext result;
  const size_t at = FirstEndingAfter(now);
  if (at >= size()) return result;
  if (records_[at].start + shift_ <= now) {
    result.now = (*this)[at];
    if (at + 1 < size()) result.next = (*this)[at + 1];
  } else {
    result.next = (*this)[at];
  }
  return result;
}

}  // namespace vidora
