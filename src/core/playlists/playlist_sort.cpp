#include "core/playlists/playlist_sort.h"

#include <string>
#include <utility>
#include <vector>

#include "core/document/text_codec.h"
#include "core/stores/settings_store.h"

namespace vidora {

namespace {

constexpr char kFieldSeparator = '\x1f';
constexpr char kPairSeparator = '\x1e';

using Choices = std::vector<std::pair<std::string, int>>;

Choices ReadChoices() {
  Choices choices;
  const std::string text = Utf16ToUtf8(GetSetting(kPlaylistSortSetting));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(kPairSeparator, start);
    if (end == std::string::npos) end = text.size();
    const std::string_view pair(text.data() + start, end - start);
    const size_t field = pair.find(kFieldSeparator);
    // A damaged pair is skipped rather than read as some other sort.
    if (field != std::string_view::npos && field + 2 == pair.size() && pair[field + 1] >= '0' && pair[field + 1] <= '9') {
      choices.emplace_back(std::string(pair.substr(0, field)), pair[field + 1] - '0');
    }
    start = end + 1;
  }
  return choices;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

PlaylistSort StoredPlaylistSort(std::string_view key) {
  for (const auto& [playlist, value] : ReadChoices()) {
    if (playlist != key) continue;
    if (value == static_cast<int>(PlaylistSort::kName)) return PlaylistSort::kName;
    if (value == static_cast<int>(PlaylistSort::kNumber)) return PlaylistSort::kNumber;
    return PlaylistSort::kPlaylistOrder;
  }
  return PlaylistSort::kPlaylistOrder;
}

void StorePlaylistSort(std::string_view key, PlaylistSort sort) {
  if (key.empty()) return;
  Choices choices = ReadChoices();
  std::erase_if(choices, [key](const auto& choice) { return choice.first == key; });
  if (sort != PlaylistSort::kPlaylistOrder) choices.emplace_back(std::string(key), static_cast<int>(sort));
  std::string text;
  for (const auto& [playlist, value] : choices) {
    if (!text.empty()) text += kPairSeparator;
    text += playlist;
    text += kFieldSeparator;
    text += static_cast<char>('0' + value);
  }
  SetSetting(kPlaylistSortSetting, Utf8ToUtf16(text));
}

bool ChannelNumberLess(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      // Leading zeros say nothing about the size of a number.
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      size_t a_end = i, b_end = j;
      while (a_end < a.size() && IsDigit(a[a_end])) ++a_end;
      while (b_end < b.size() && IsDigit(b[b_end])) ++b_end;
      if (a_end - i != b_end - j) return a_end - i < b_end - j;
      const int digits = a.substr(i, a_end - i).compare(b.substr(j, b_end - j));
      if (digits != 0) return digits < 0;
      i = a_end;
      j = b_end;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

}  // namespace vidora
