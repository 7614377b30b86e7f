#include "core/playback/now_playing.h"

#include <algorithm>

namespace vidora {
namespace {

constexpr std::u16string_view kSeparator = u" \u2014 ";

bool IsBlankOrControl(char16_t c) { return c <= 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029; }

}  // namespace

std::u16string SanitizeStreamTitle(std::u16string_view raw) {
  std::u16string out;
  out.reserve(std::min(raw.size(), kMaxStreamTitleLength + 1));
  bool blank = false;
  for (char16_t c : raw) {
    if (IsBlankOrControl(c)) {
      blank = !out.empty();
      continue;
    }
    if (blank) out.push_back(u' ');
    blank = false;
    out.push_back(c);
    if (out.size() > kMaxStreamTitleLength) break;
  }
  if (out.size() > kMaxStreamTitleLength) {
    out.resize(kMaxStreamTitleLength - 1);
    // Never leave half of a surrogate pair.
    if (!out.empty() && out.back() >= 0xD800 && out.back() <= 0xDBFF) out.pop_back();
    while (!out.empty() && out.back() == u' ') out.pop_back();
    out.push_back(u'\u2026');
  }
  return out;
}

std::u16string WindowTitleFor(const NowPlaying& now, std::u16string_view app_title) {
  std::u16string title;
  if (!now.channel.empty()) {
    if (!now.stream_title.empty()) {
      title += now.stream_title;
      title += kSeparator;
    }
    title += now.channel;
    title += kSeparator;
  }
  title += app_title;
  return title;
}

}  // namespace vidora
