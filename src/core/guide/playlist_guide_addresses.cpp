#include "core/guide/playlist_guide_addresses.h"

#include "core/document/text_codec.h"

namespace vidora {
namespace {

constexpr char16_t kFieldMark = u'\x1f';
constexpr char16_t kPlaylistMark = u'\x1e';

std::vector<std::u16string_view> Split(std::u16string_view text, char16_t mark) {
  std::vector<std::u16string_view> parts;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find(mark, at);
    if (end == std::u16string_view::npos) end = text.size();
    parts.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

}  // namespace

PlaylistGuideAddresses DecodePlaylistGuideAddresses(std::u16string_view text) {
  PlaylistGuideAddresses result;
  if (text.empty()) return result;
  for (std::u16string_view playlist : Split(text, kPlaylistMark)) {
    const std::vector<std::u16string_view> fields = Split(playlist, kFieldMark);
    if (fields.size() < 2 || fields[0].empty()) continue;
    std::vector<std::u16string>& list = result[Utf16ToUtf8(fields[0])];
    for (size_t i = 1; i < fields.size(); ++i) {
      if (!fields[i].empty()) list.emplace_back(fields[i]);
    }
    if (list.empty()) result.erase(Utf16ToUtf8(fields[0]));
  }
  return result;
}

std::u16string EncodePlaylistGuideAddresses(const PlaylistGuideAddresses& addresses) {
  std::u16string text;
  for (const auto& [key, list] : addresses) {
    if (key.empty() || list.empty()) continue;
    if (!text.empty()) text += kPlaylistMark;
    text += Utf8ToUtf16(key);
    for (const std::u16string& address : list) {
      if (address.empty()) continue;
      text += kFieldMark;
      text += address;
    }
  }
  return text;
}

}  // namespace vidora
