#include "core/history/recent_channels.h"

#include <algorithm>

#include "core/document/text_codec.h"
#include "core/stores/settings_store.h"

namespace vidora {

namespace {

constexpr char kRecordEnd = '\x1e';
constexpr char kFieldEnd = '\x1f';

}  // namespace

bool RecentChannels::Add(std::string_view key) {
  if (key.empty() || key.find(kRecordEnd) != std::string_view::npos || key.find(kFieldEnd) != std::string_view::npos) {
    return false;
  }
  std::erase(keys_, key);
  keys_.insert(keys_.begin(), std::string(key));
  if (keys_.size() > capacity_) keys_.resize(capacity_);
  return true;
}

std::string RecentChannels::Encode() const {
  std::string text;
  for (const std::string& key : keys_) {
    text += key;
    text += kRecordEnd;
  }
  return text;
}

RecentChannels RecentChannels::Decode(std::string_view text, size_t capacity) {
  RecentChannels recent(capacity);
  size_t at = 0;
  while (at < text.size() && recent.keys_.size() < capacity) {
    size_t end = text.find(kRecordEnd, at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view key = text.substr(at, end - at);
    at = end + 1;
    if (key.empty() || key.find(kFieldEnd) != std::string_view::npos) continue;
    if (std::find(recent.keys_.begin(), recent.keys_.end(), key) != recent.keys_.end()) continue;
    recent.keys_.emplace_back(key);
  }
  return recent;
}

RecentChannels LoadRecentChannels() { return RecentChannels::Decode(Utf16ToUtf8(GetSetting(kRecentChannelsSetting))); }

void NoteChannelWatched(std::string_view key) {
  RecentChannels recent = LoadRecentChannels();
  if (!recent.Add(key)) return;
  SetSetting(kRecentChannelsSetting, Utf8ToUtf16(recent.Encode()));
}

}  // namespace vidora
