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

// Replaces the query value of `name` (as "name=") in `text` by "***".
void MaskQueryValue(std::string& text, std::string_view name) {
  size_t at = 0;
  while ((at = text.find(name, at)) != std::string::npos) {
    const bool starts = at > 0 && (text[at - 1] == '?' || text[at - 1] == '&');
    at += name.size();
    if (!starts) continue;
    const size_t end = text.find_first_of("&#", at);
    text.replace(at, (end == std::string::npos ? text.size() : end) - at, "***");
    at += 3;
  }
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

std::string MaskCredentials(std::string_view address) {
  std::string text(address);
  const size_t scheme = text.find("://");
  if (scheme != std::string::npos) {
    const size_t host = scheme + 3;
    const size_t end = text.find_first_of("/?#", host);
    const size_t at = text.rfind('@', end == std::string::npos ? text.size() : end);
    if (at != std::string::npos && at >= host) text.replace(host, at - host, "***");
  }
  MaskQueryValue(text, "username=");
  MaskQueryValue(text, "password=");
  for (std::string_view kind : {"/live/", "/movie/", "/series/", "/timeshift/"}) {
    size_t at = text.find(kind);
    if (at == std::string::npos) continue;
    at += kind.size();
    for (int segment = 0; segment < 2; ++segment) {
      const size_t end = text.find('/', at);
      if (end == std::string::npos) break;
      text.replace(at, end - at, "***");
      at += 4;
    }
  }
  return text;
}

}  // namespace vidora
