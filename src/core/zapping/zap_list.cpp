#include "core/zapping/zap_list.h"

#include <algorithm>

namespace vidora {

void ZapList::Set(std::vector<Channel*> channels, std::vector<std::string> numbers, uint64_t list_version) {
  numbers.resize(channels.size());
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (numbers[i].empty()) numbers[i] = std::to_string(i + 1);
  }
  channels_ = std::move(channels);
  numbers_ = std::move(numbers);
  list_version_ = list_version;
  held_ = !channels_.empty();
}

void ZapList::Clear() {
  channels_.clear();
  numbers_.clear();
  held_ = false;
}

bool ZapList::Holds(uint64_t list_version) const { return held_ && list_version == list_version_; }

Channel* ZapList::Step(const Channel* current, bool forward) const {
  if (channels_.empty()) return nullptr;
  const auto at = std::find(channels_.begin(), channels_.end(), current);
  if (at == channels_.end()) return forward ? channels_.front() : channels_.back();
  const size_t index = static_cast<size_t>(at - channels_.begin());
  const size_t size = channels_.size();
  return channels_[forward ? (index + 1) % size : (index + size - 1) % size];
}

Channel* ZapList::FindNumber(std::string_view number) const {
  // "007" and "7" are the same number.
  auto trimmed = [](std::string_view text) {
    while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
    return text;
  };
  const std::string_view wanted = trimmed(number);
  for (size_t i = 0; i < numbers_.size(); ++i) {
    if (trimmed(numbers_[i]) == wanted) return channels_[i];
  }
  return nullptr;
}

std::string ZapList::NumberOf(const Channel* channel) const {
  const auto at = std::find(channels_.begin(), channels_.end(), channel);
  return at == channels_.end() ? std::string() : numbers_[static_cast<size_t>(at - channels_.begin())];
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
