#include "core/playlists/group_category.h"

#include <string>

#include "core/document/text_codec.h"

namespace vidora {
namespace {

struct CategoryKeywords {
  const char* key;
  std::u16string_view words[12];
};

// Lower-case keywords; a group matches when it contains one of them.
constexpr CategoryKeywords kKeywords[] = {
    {"ad", {u"adult", u"xxx", u"erotic", u"erotik", u"érotique", u"18+", u"adulto", u"взросл", u"эрот"}},
    {"k", {u"kid", u"child", u"cartoon", u"kinder", u"enfant", u"jeunesse", u"infantil", u"niños", u"детск",
           u"мульт", u"дети"}},
    {"n", {u"news", u"nachrichten", u"actualit", u"infos", u"information", u"noticia", u"новост", u"информ"}},
    {"sp", {u"sport", u"football", u"soccer", u"fußball", u"deporte", u"fútbol", u"futbol", u"спорт",
            u"футбол"}},
    {"mu", {u"music", u"musik", u"musique", u"música", u"musica", u"музык"}},
    {"mo", {u"movie", u"film", u"cinema", u"ciné", u"cine", u"kino", u"кино", u"фильм"}},
    {"r", {u"relig", u"church", u"kirche", u"christ", u"église", u"iglesia", u"религ", u"правосл", u"церк"}},
    {"l", {u"local", u"lokal", u"regional", u"région", u"региональ", u"местн"}},
    {"wc", {u"webcam", u"веб-кам", u"вебкам"}},
};

char16_t Lower(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return static_cast<char16_t>(c + 32);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 32);
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 80);
  return c;
}

std::u16string LowerText(std::string_view text) {
  std::u16string lower = Utf8ToUtf16(text);
  for (char16_t& c : lower) c = Lower(c);
  return lower;
}

}  // namespace

const char* CategoryForGroup(std::string_view group) {
  if (group.empty()) return kGeneralCategoryKey;
  const std::u16string lower = LowerText(group);
  for (const CategoryKeywords& category : kKeywords) {
    for (std::u16string_view word : category.words) {
      if (!word.empty() && lower.find(word) != std::u16string::npos) return category.key;
    }
  }
  return kGeneralCategoryKey;
}

bool IsRadioGroup(std::string_view group) {
  if (group.empty()) return false;
  const std::u16string lower = LowerText(group);
  return lower.find(u"radio") != std::u16string::npos || lower.find(u"радио") != std::u16string::npos;
}

}  // namespace vidora
