#include "core/guide/guide_store.h"

#include <algorithm>

namespace vidora {

int32_t GuideStore::AddChannel(std::string_view id) {
  if (auto it = by_id_.find(id); it != by_id_.end()) return it->second;
  if (channels_.size() >= caps_.channels) return -1;
  const TextRef ref = Intern(id);
  if (ref == 0) return -1;
  GuideChannel channel;
  channel.id = ref;
  channels_.push_back(channel);
  building_.emplace_back();
  const auto index = static_cast<int32_t>(channels_.size() - 1);
  by_id_.emplace(std::string(id), index);
  return index;
}

void GuideStore::AddDisplayName(int32_t channel, std::string_view name) {
  GuideChannel& c = channels_[static_cast<size_t>(channel)];
  const TextRef ref = Intern(name);
  if (ref == 0 || c.name_count >= 16) return;
  // Names arrive while the channel's element is read, so its names stay
  // together at the end of the list; a channel listed again elsewhere
  // (a second source) starts a fresh run that replaces the old one.
  if (c.name_count > 0 && c.first_name + c.name_count != names_.size()) {
    std::vector<TextRef> old(names_.begin() + c.first_name, names_.begin() + c.first_name + c.name_count);
    c.first_name = static_cast<uint32_t>(names_.size());
    names_.insert(names_.end(), old.begin(), old.end());
  }
  if (c.name_count == 0) c.first_name = static_cast<uint32_t>(names_.size());
  for (uint32_t i = 0; i < c.name_count; ++i) {
    if (names_[c.first_name + i] == ref) return;
  }
  names_.push_back(ref);
  ++c.name_count;
}

void GuideStore::SetChannelIcon(int32_t channel, std::string_view icon) {
  GuideChannel& c = channels_[static_cast<size_t>(channel)];
  if (c.icon == 0) c.icon = Intern(icon);
}

bool GuideStore::AddProgramme(int32_t channel, const ProgrammeRecord& record) {
  if (record.stop <= record.start) return false;
  std::vector<ProgrammeRecord>& list = building_[static_cast<size_t>(channel)];
  if (programme_count_ >= caps_.programmes || list.size() >= caps_.programmes_per_channel) {
    ++dropped_by_caps_;
    return false;
  }
  // Guides list a channel in time order, so the usual case appends.
  auto at = list.end();
  if (!list.empty() && record.start < list.back().stop) {
    at = std::upper_bound(list.begin(), list.end(), record.start,
                          [](int64_t start, const ProgrammeRecord& p) { return start < p.start; });
    if (at != list.begin() && (at - 1)->stop > record.start) return false;
    if (at != list.end() && at->start < record.stop) return false;
  }
  list.insert(at, record);
  ++programme_count_;
  return true;
}

void GuideStore::Finish() {
  records_.clear();
  records_.reserve(programme_count_);
  for (size_t i = 0; i < channels_.size(); ++i) {
    channels_[i].first = static_cast<uint32_t>(records_.size());
    channels_[i].count = static_cast<uint32_t>(building_[i].size());
    records_.insert(records_.end(), building_[i].begin(), building_[i].end());
    std::vector<ProgrammeRecord>().swap(building_[i]);
  }
  building_.clear();
  building_.shrink_to_fit();
}

void GuideStore::Adopt(TextArena texts, std::vector<GuideChannel> channels, std::vector<TextRef> names,
                       std::vector<ProgrammeRecord> records) {
  texts_ = std::move(texts);
  channels_ = std::move(channels);
  names_ = std::move(names);
  records_ = std::move(records);
  programme_count_ = records_.size();
  building_.clear();
  by_id_.clear();
  for (size_t i = 0; i < channels_.size(); ++i) by_id_.emplace(std::string(Text(channels_[i].id)), static_cast<int32_t>(i));
}

int32_t GuideStore::FindChannel(std::string_view id) const {
  const auto it = by_id_.find(id);
  return it == by_id_.end() ? -1 : it->second;
}

std::span<const ProgrammeRecord> GuideStore::Programmes(size_t channel) const {
  const GuideChannel& c = channels_[channel];
  return std::span<const ProgrammeRecord>(records_.data() + c.first, c.count);
}

std::span<const TextRef> GuideStore::DisplayNames(size_t channel) const {
  const GuideChannel& c = channels_[channel];
  return std::span<const TextRef>(names_.data() + c.first_name, c.name_count);
}

size_t GuideStore::FirstEndingAfter(size_t channel, int64_t time) const {
  const std::span<const ProgrammeRecord> list = Programmes(channel);
  // Sorted by start without overlaps, so the stops are sorted too.
  return static_cast<size_t>(std::upper_bound(list.begin(), list.end(), time,
                                              [](int64_t t, const ProgrammeRecord& p) { return t < p.stop; }) -
                             list.begin());
}

GuideStore::NowNext GuideStore::FindNowNext(size_t channel, int64_t now) const {
  NowNext result;
  const std::span<const ProgrammeRecord> list = Programmes(channel);
  const size_t at = FirstEndingAfter(channel, now);
  if (at >= list.size()) return result;
  if (list[at].start <= now) {
    result.now = &list[at];
    if (at + 1 < list.size()) result.next = &list[at + 1];
  } else {
    result.next = &list[at];
  }
  return result;
}

}  // namespace vidora
