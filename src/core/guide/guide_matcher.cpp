#include "core/guide/guide_matcher.h"

#include <array>
#include <unordered_map>

namespace vidora {
namespace {

std::string LowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return result;
}

std::string_view WithoutFeed(std::string_view id) { return id.substr(0, id.find('@')); }

// Decodes one UTF-8 sequence at `at` (advancing it); U+FFFD for a bad one.
char32_t NextCodePoint(std::string_view text, size_t& at) {
  const auto c = static_cast<unsigned char>(text[at++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
  if (extra < 0) return 0xFFFD;
  char32_t value = c & (0x3F >> extra);
  while (extra-- > 0) {
    if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) return 0xFFFD;
    value = (value << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
  }
  return value;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The base letter of a Latin-1 or Latin Extended-A letter, lower case; 0
// for no letter.
char BaseLetter(char32_t c) {
  static constexpr char kLatin1[] = "aaaaaaaceeeeiiiidnooooo_ouuuuyts";  // U+00C0..U+00DF
  if (c >= 0xC0 && c <= 0xDF) return kLatin1[c - 0xC0] == '_' ? 0 : kLatin1[c - 0xC0];
  if (c >= 0xE0 && c <= 0xFF) return c == 0xF7 ? 0 : c == 0xFF ? 'y' : kLatin1[c - 0xE0];
  if (c >= 0x100 && c <= 0x17F) {
    static constexpr char kExtA[] =
        "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkkllllllllllnnnnnnnnnoooooooorrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
    return kExtA[c - 0x100];
  }
  return 0;
}

bool IsQualityMark(std::string_view word) {
  static constexpr std::array<std::string_view, 16> kMarks = {
      "hd", "fhd", "uhd", "sd", "4k", "8k", "hq", "720p", "1080p", "1080i", "576p", "576i", "2160p", "hevc", "h265", "50fps"};
  for (std::string_view mark : kMarks) {
    if (word == mark) return true;
  }
  return false;
}

}  // namespace

std::string NormaliseChannelName(std::string_view name) {
  // Words of letters and digits, folded; the rest separates them.
  std::vector<std::string> words(1);
  size_t at = 0;
  while (at < name.size()) {
    const char32_t c = NextCodePoint(name, at);
    std::string& word = words.back();
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      word += static_cast<char>(c);
    } else if (c >= 'A' && c <= 'Z') {
      word += static_cast<char>(c + 32);
    } else if (const char base = BaseLetter(c)) {
      word += base;
      if (c == 0xDF) word += 's';  // ß
    } else if (c >= 0x410 && c <= 0x42F) {
      AppendUtf8(word, c + 32);  // Cyrillic capitals
    } else if (c == 0x401) {
      AppendUtf8(word, 0x435);  // Ё as е
    } else if (c == 0x451) {
      AppendUtf8(word, 0x435);
    } else if (c >= 0x80 && c != 0xFFFD && !(c >= 0x2000 && c <= 0x206F) && c != 0xA0 && c != 0xD7) {
      AppendUtf8(word, c);  // other scripts as they are
    } else if (!word.empty()) {
      words.emplace_back();
    }
  }
  if (words.back().empty()) words.pop_back();
  while (words.size() > 1 && IsQualityMark(words.back())) words.pop_back();
  std::string result;
  for (const std::string& word : words) result += word;
  return result;
}

std::vector<GuideMatch> MatchGuideChannels(const GuideStore& store, const GuideMatchSource& channels) {
  std::vector<GuideMatch> result(channels.size());
  std::unordered_map<std::string_view, int32_t> exact;
  std::unordered_map<std::string, int32_t> by_id, by_feedless, by_display, by_normalised;
  const size_t count = store.channel_count();
  exact.reserve(count);
  by_id.reserve(count);
  by_feedless.reserve(count);
  by_display.reserve(count * 2);
  by_normalised.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    const auto index = static_cast<int32_t>(i);
    const std::string_view id = store.Text(store.channel(i).id);
    exact.emplace(id, index);
    by_id.emplace(LowerAscii(id), index);
    by_feedless.emplace(LowerAscii(WithoutFeed(id)), index);
    for (TextRef name : store.DisplayNames(i)) {
      const std::string_view text = store.Text(name);
      by_display.emplace(LowerAscii(text), index);
      std::string folded = NormaliseChannelName(text);
      if (!folded.empty()) by_normalised.emplace(std::move(folded), index);
    }
  }
  auto set = [&result](size_t i, auto it, const auto& map, GuideMatchPass pass) {
    if (it == map.end()) return false;
    result[i] = {it->second, pass};
    return true;
  };
  std::string scratch;
  for (size_t i = 0; i < channels.size(); ++i) {
    const GuideMatchInput c = channels.Input(i, scratch);
    if (!c.chosen.empty() && set(i, exact.find(c.chosen), exact, GuideMatchPass::kChosen)) continue;
    if (c.tvg_id.empty()) continue;
    set(i, by_id.find(LowerAscii(c.tvg_id)), by_id, GuideMatchPass::kId);
  }
  for (size_t i = 0; i < channels.size(); ++i) {
    if (result[i].channel >= 0) continue;
    const std::string_view tvg_id = channels.Input(i, scratch).tvg_id;
    if (tvg_id.empty()) continue;
    set(i, by_feedless.find(LowerAscii(WithoutFeed(tvg_id))), by_feedless, GuideMatchPass::kIdWithoutFeed);
  }
  for (size_t i = 0; i < channels.size(); ++i) {
    if (result[i].channel >= 0) continue;
    const std::string_view tvg_name = channels.Input(i, scratch).tvg_name;
    if (tvg_name.empty()) continue;
    set(i, by_display.find(LowerAscii(tvg_name)), by_display, GuideMatchPass::kTvgName);
  }
  for (size_t i = 0; i < channels.size(); ++i) {
    if (result[i].channel >= 0) continue;
    const std::string folded = NormaliseChannelName(channels.Input(i, scratch).name);
    if (!folded.empty()) set(i, by_normalised.find(folded), by_normalised, GuideMatchPass::kName);
  }
  return result;
}

}  // namespace vidora
