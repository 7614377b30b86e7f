#include "core/playback/now_playing.h"

#include <algorithm>

namespace vidora {
namespace {

constexpr std::u16string_view kSeparator = u" \u2014 ";

bool IsBlankOrControl(char16_t c) { return c <= 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029; }

// Marks and embeddings that reorder what follows them: a title could turn
// the rest of the window title around.
bool IsBidiControl(char16_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// The length of the terminal escape sequence at the start of `text`, 0 when
// there is none: ESC or CSI sequences (ESC [ params final), operating
// system commands (ESC ] ... BEL or ESC \), two-character escapes, and a
// colour sequence whose ESC a server already dropped ("[31m").
size_t EscapeLength(std::u16string_view text) {
  size_t i = 0;
  const auto params_from = [&text](size_t at) {
    while (at < text.size() && text[at] >= 0x30 && text[at] <= 0x3F) ++at;
    while (at < text.size() && text[at] >= 0x20 && text[at] <= 0x2F) ++at;
    return at < text.size() && text[at] >= 0x40 && text[at] <= 0x7E ? at + 1 : text.size();
  };
  if (text[0] == 0x9B) return params_from(1);
  if (text[0] == 0x1B) {
    if (text.size() < 2) return 1;
    if (text[1] == u'[') return params_from(2);
    if (text[1] == u']') {
      for (i = 2; i < text.size(); ++i) {
        if (text[i] == 0x07) return i + 1;
        if (text[i] == 0x1B && i + 1 < text.size() && text[i + 1] == u'\\') return i + 2;
      }
      return text.size();
    }
    return 2;
  }
  if (text[0] == u'[') {
    for (i = 1; i < text.size() && ((text[i] >= u'0' && text[i] <= u'9') || text[i] == u';'); ++i) {
    }
    if (i > 1 && i < text.size() && text[i] == u'm') return i + 1;
  }
  return 0;
}

}  // namespace

std::u16string SanitizeStreamTitle(std::u16string_view raw) {
  std::u16string out;
  out.reserve(std::min(raw.size(), kMaxStreamTitleLength + 1));
  bool blank = false;
  for (size_t at = 0; at < raw.size(); ++at) {
    if (const size_t escape = EscapeLength(raw.substr(at))) {
      at += escape - 1;
      continue;
    }
    const char16_t c = raw[at];
    if (IsBidiControl(c)) continue;
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
