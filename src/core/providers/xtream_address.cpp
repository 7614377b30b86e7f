#include "core/providers/xtream_address.h"

#include <cctype>
#include <charconv>

namespace vidora {
namespace {

bool IsUnreserved(unsigned char c) {
  return std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_' || c == '~';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i]) return false;
  }
  return true;
}

constexpr char kArchivePath[] = "/timeshift/";
constexpr char kGuidePath[] = "/xmltv.php";
constexpr char kFilmPath[] = "/movie/";
constexpr char kEpisodePath[] = "/series/";

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::string NormaliseXtreamServer(std::string_view typed) {
  while (!typed.empty() && std::isspace(static_cast<unsigned char>(typed.front())) != 0) typed.remove_prefix(1);
  while (!typed.empty() && std::isspace(static_cast<unsigned char>(typed.back())) != 0) typed.remove_suffix(1);
  std::string server(typed);
  const size_t query = server.find_first_of("?#");
  if (query != std::string::npos) server.resize(query);
  for (std::string_view page : {"/player_api.php", "/get.php", "/xmltv.php", "/panel_api.php"}) {
    if (EndsWithNoCase(server, page)) server.resize(server.size() - page.size());
  }
  while (!server.empty() && server.back() == '/') server.pop_back();
  if (server.empty()) return {};
  if (server.find("://") == std::string::npos) server.insert(0, "http://");
  if (server.size() <= 8 || server.compare(server.size() - 3, 3, "://") == 0) return {};
  return server;
}

std::string EscapeUrlPart(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (IsUnreserved(u)) {
      out += c;
    } else {
      out += '%';
      out += kDigits[u >> 4];
      out += kDigits[u & 15];
    }
  }
  return out;
}

std::string UnescapeUrlPart(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string XtreamApiAddress(const XtreamAccount& account, std::string_view password, std::string_view action) {
  std::string address = account.server + "/player_api.php?username=" + EscapeUrlPart(account.user) +
                        "&password=" + EscapeUrlPart(password);
  if (!action.empty()) address += "&action=" + std::string(action);
  return address;
}

std::string XtreamLiveAddress(const XtreamAccount& account, std::string_view password, int64_t stream_id,
                              std::string_view extension) {
  return account.server + "/live/" + EscapeUrlPart(account.user) + "/" + EscapeUrlPart(password) + "/" +
         std::to_string(stream_id) + "." + std::string(extension);
}

std::string XtreamSource(const XtreamAccount& account) {
  return kXtreamScheme + account.server + "#" + EscapeUrlPart(account.user);
}

std::optional<XtreamAccount> ParseXtreamSource(std::string_view source) {
  if (!source.starts_with(kXtreamScheme)) return std::nullopt;
  source.remove_prefix(sizeof(kXtreamScheme) - 1);
  const size_t hash = source.rfind('#');
  if (hash == std::string_view::npos || hash == 0) return std::nullopt;
  // The user name is stored escaped: a slash after it starts a path.
  if (source.find('/', hash) != std::string_view::npos) return std::nullopt;
  XtreamAccount account{std::string(source.substr(0, hash)), UnescapeUrlPart(source.substr(hash + 1))};
  if (account.user.empty() || account.server.find("://") == std::string::npos) return std::nullopt;
  return account;
}

std::string XtreamChannelAddress(const XtreamAccount& account, int64_t stream_id, std::string_view extension) {
  return XtreamSource(account) + "/" + std::to_string(stream_id) + "." + std::string(extension);
}

std::optional<XtreamChannelRef> ParseXtreamChannelAddress(std::string_view address) {
  const size_t slash = address.rfind('/');
  const size_t hash = address.rfind('#');
  if (slash == std::string_view::npos || hash == std::string_view::npos || slash < hash) return std::nullopt;
  std::optional<XtreamAccount> account = ParseXtreamSource(address.substr(0, slash));
  if (!account) return std::nullopt;
  const std::string_view file = address.substr(slash + 1);
  const size_t dot = file.find('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  XtreamChannelRef ref{std::move(*account), 0, std::string(file.substr(dot + 1))};
  const auto [end, error] = std::from_chars(file.data(), file.data() + dot, ref.stream_id);
  if (error != std::errc() || end != file.data() + dot || ref.stream_id < 0) return std::nullopt;
  if (ref.extension != "m3u8" && ref.extension != "ts") return std::nullopt;
  return ref;
}

std::string XtreamArchiveTemplate(const XtreamAccount& account, int64_t stream_id) {
  return XtreamSource(account) + kArchivePath + "{duration:60}/{Y}-{m}-{d}:{H}-{M}/" + std::to_string(stream_id) +
         ".ts";
}

std::optional<XtreamArchiveRef> ParseXtreamArchiveAddress(std::string_view address) {
  const size_t hash = address.rfind('#');
  if (hash == std::string_view::npos) return std::nullopt;
  const size_t path = address.find(kArchivePath, hash);
  if (path == std::string_view::npos) return std::nullopt;
  std::optional<XtreamAccount> account = ParseXtreamSource(address.substr(0, path));
  if (!account) return std::nullopt;
  std::string_view rest = address.substr(path + sizeof(kArchivePath) - 1);
  const size_t first = rest.find('/');
  const size_t second = first == std::string_view::npos ? first : rest.find('/', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  XtreamArchiveRef ref{std::move(*account), std::string(rest.substr(0, first)),
                       std::string(rest.substr(first + 1, second - first - 1)), 0};
  const std::string_view file = rest.substr(second + 1);
  if (ref.minutes.empty() || ref.minutes.size() > 6 || !AllDigits(ref.minutes)) return std::nullopt;
  // "2026-12-10:21-05": digits where the template put them.
  if (ref.start.size() != 16) return std::nullopt;
  for (size_t i = 0; i < ref.start.size(); ++i) {
    const char expected = i == 4 || i == 7 || i == 13 ? '-' : i == 10 ? ':' : '0';
    if (expected == '0' ? std::isdigit(static_cast<unsigned char>(ref.start[i])) == 0 : ref.start[i] != expected) {
      return std::nullopt;
    }
  }
  if (!file.ends_with(".ts") || file.size() == 3) return std::nullopt;
  const auto [end, error] = std::from_chars(file.data(), file.data() + file.size() - 3, ref.stream_id);
  if (error != std::errc() || end != file.data() + file.size() - 3 || ref.stream_id < 0) return std::nullopt;
  return ref;
}

std::string XtreamTimeshiftAddress(const XtreamArchiveRef& archive, std::string_view password) {
  return archive.account.server + kArchivePath + EscapeUrlPart(archive.account.user) + "/" + EscapeUrlPart(password) +
         "/" + archive.minutes + "/" + archive.start + "/" + std::to_string(archive.stream_id) + ".ts";
}

std::string XtreamMediaAddress(const XtreamMediaRef& media) {
  return XtreamSource(media.account) + (media.episode ? kEpisodePath : kFilmPath) + std::to_string(media.id) + "." +
         media.extension;
}

std::optional<XtreamMediaRef> ParseXtreamMediaAddress(std::string_view address) {
  const size_t hash = address.rfind('#');
  if (hash == std::string_view::npos) return std::nullopt;
  XtreamMediaRef media;
  size_t path = address.find(kFilmPath, hash);
  if (path == std::string_view::npos) {
    path = address.find(kEpisodePath, hash);
    media.episode = true;
  }
  if (path == std::string_view::npos) return std::nullopt;
  std::optional<XtreamAccount> account = ParseXtreamSource(address.substr(0, path));
  if (!account) return std::nullopt;
  media.account = std::move(*account);
  const std::string_view file = address.substr(path + (media.episode ? sizeof(kEpisodePath) : sizeof(kFilmPath)) - 1);
  const size_t dot = file.find('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  const auto [end, error] = std::from_chars(file.data(), file.data() + dot, media.id);
  if (error != std::errc() || end != file.data() + dot || media.id < 0) return std::nullopt;
  media.extension = std::string(file.substr(dot + 1));
  if (media.extension.empty() || media.extension.size() > 8) return std::nullopt;
  for (char c : media.extension) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) return std::nullopt;
  }
  return media;
}

std::string XtreamPlayAddress(const XtreamMediaRef& media, std::string_view password) {
  return media.account.server + (media.episode ? kEpisodePath : kFilmPath) + EscapeUrlPart(media.account.user) + "/" +
         EscapeUrlPart(password) + "/" + std::to_string(media.id) + "." + media.extension;
}

std::string XtreamGuideSource(const XtreamAccount& account) { return XtreamSource(account) + kGuidePath; }

std::optional<XtreamAccount> ParseXtreamGuideSource(std::string_view source) {
  if (!source.ends_with(kGuidePath)) return std::nullopt;
  return ParseXtreamSource(source.substr(0, source.size() - (sizeof(kGuidePath) - 1)));
}

std::string XtreamGuideAddress(const XtreamAccount& account, std::string_view password) {
  return account.server + kGuidePath + "?username=" + EscapeUrlPart(account.user) + "&password=" +
         EscapeUrlPart(password);
}

}  // namespace vidora
