#include "core/zapping/zap_list.h"

#include <algorithm>

namespace vidora {

void ZapList::Set(std::vector<Channel*> channels, NumberSource number_of, uint64_t list_version) {
  channels_ = std::move(channels);
  number_of_ = std::move(number_of);
  hint_ = 0;
  list_version_ = list_version;
  held_ = !channels_.empty();
}

void ZapList::Clear() {
  channels_.clear();
  number_of_ = nullptr;
  hint_ = 0;
  held_ = false;
}

bool ZapList::Holds(uint64_t list_version) const { return held_ && list_version == list_version_; }

size_t ZapList::IndexOf(const Channel* channel) const {
  // Zapping on asks for the channel the step before gave: no search then.
  if (hint_ < channels_.size() && channels_[hint_] == channel) return hint_;
  const auto at = std::find(channels_.begin(), channels_.end(), channel);
  return static_cast<size_t>(at - channels_.begin());
}

Channel* ZapList::Step(const Channel* current, bool forward) const {
  if (channels_.empty()) return nullptr;
  const size_t size = channels_.size();
  const size_t index = IndexOf(current);
  if (index == size) {
    hint_ = forward ? 0 : size - 1;
  } else {
    hint_ = forward ? (index + 1) % size : (index + size - 1) % size;
  }
  return channels_[hint_];
}

Channel* ZapList::FindNumber(std::string_view number) const {
  // "007" and "7" are the same number.
  auto trimmed = [](std::string_view text) {
    while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
    return text;
  };
  const std::string_view wanted = trimmed(number);
  if (wanted.empty()) return nullptr;
  for (size_t i = 0; i < channels_.size(); ++i) {
    const std::string candidate = NumberAt(i);
    // Trimming keeps the last digit: most numbers fail on it at once.
    if (candidate.empty() || candidate.back() != wanted.back()) continue;
    if (trimmed(candidate) == wanted) return channels_[i];
  }
  return nullptr;
}

std::string ZapList::NumberOf(const Channel* channel) const {
  const size_t index = IndexOf(channel);
  return index == channels_.size() ? std::string() : NumberAt(index);
}

std::string ZapList::NumberAt(size_t index) const {
  std::string number = number_of_ ? number_of_(*channels_[index]) : std::string();
  return number.empty() ? std::to_string(index + 1) : number;
}

void ZapList::NotePlayed(const std::string& channel_key) {
  if (channel_key.empty() || channel_key == current_key_) return;
  previous_key_ = current_key_;
  current_key_ = channel_key;
}

ZapList& Zapping() {
  static ZapList list;
  return list;
}

}  // namespace vidora
