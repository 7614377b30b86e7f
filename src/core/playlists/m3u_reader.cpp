#include "core/playlists/m3u_reader.h"

#include <optional>

#include "core/playlists/playlist_address.h"

namespace vidora {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// ASCII only, without the C locale's per-call cost: tags and attribute
// keys are ASCII, and these run for every byte of a large playlist.
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

bool IsKeyChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// Whether `text` at `at` starts another attribute ("key=").
bool StartsAttribute(std::string_view text, size_t at) {
  size_t end = at;
  while (end < text.size() && IsKeyChar(text[end])) ++end;
  return end > at && end < text.size() && text[end] == '=';
}

// Where a quoted value that opened before `from` ends. Real playlists put
// commas and even quotes inside values, so a quote closes the value only
// when what follows is the end, the name's comma, or another attribute.
size_t FindClosingQuote(std::string_view text, size_t from, char quote) {
  for (size_t at = text.find(quote, from); at != std::string_view::npos; at = text.find(quote, at + 1)) {
    size_t next = at + 1;
    if (next >= text.size() || text[next] == ',') return at;
    if (!IsSpace(text[next])) continue;
    while (next < text.size() && IsSpace(text[next])) ++next;
    if (next >= text.size() || text[next] == ',' || StartsAttribute(text, next)) return at;
  }
  return std::string_view::npos;
}

struct Attribute {
  std::string_view key;
  std::string_view value;
};

// Calls `take` for each key="value" of `text` and returns where the
// display name starts (after the comma), or npos when there is no comma.
template <typename Take>
size_t ReadAttributes(std::string_view text, Take take) {
  size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ',') return at + 1;
    if (IsSpace(text[at])) {
      ++at;
      continue;
    }
    if (!StartsAttribute(text, at)) {
      // The duration or a stray word: up to the next space or comma.
      while (at < text.size() && !IsSpace(text[at]) && text[at] != ',') ++at;
      continue;
    }
    const size_t eq = text.find('=', at);
    const std::string_view key = text.substr(at, eq - at);
    size_t value_start = eq + 1;
    size_t value_end;
    if (value_start < text.size() && (text[value_start] == '"' || text[value_start] == '\'')) {
      const char quote = text[value_start];
      ++value_start;
      value_end = FindClosingQuote(text, value_start, quote);
      if (value_end == std::string_view::npos) return std::string_view::npos;
      at = value_end + 1;
    } else {
      value_end = value_start;
      while (value_end < text.size() && !IsSpace(text[value_end]) && text[value_end] != ',') ++value_end;
      at = value_end;
    }
    take(Attribute{key, text.substr(value_start, value_end - value_start)});
  }
  return std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

std::string LastSegment(std::string_view address) {
  const size_t end = address.find_first_of("?#");
  std::string_view path = address.substr(0, end == std::string_view::npos ? address.size() : end);
  while (!path.empty() && path.back() == '/') path.remove_suffix(1);
  const size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void ReadHeader(std::string_view line, M3uPlaylist& playlist) {
  ReadAttributes(line, [&](const Attribute& a) {
    if ((EqualsNoCase(a.key, "url-tvg") || EqualsNoCase(a.key, "x-tvg-url")) && playlist.guide_address.empty()) {
      playlist.guide_address = std::string(Trim(a.value));
    }
  });
}

// Reads an #EXTINF line (without its tag) into `entry`; false when it has
// no name part.
bool ReadInfo(std::string_view line, std::string_view base, PlaylistEntry& entry) {
  const size_t name_at = ReadAttributes(line, [&](const Attribute& a) {
    const std::string_view value = Trim(a.value);
    if (EqualsNoCase(a.key, "tvg-id")) entry.tvg_id.assign(value);
    else if (EqualsNoCase(a.key, "tvg-name")) entry.tvg_name.assign(value);
    else if (EqualsNoCase(a.key, "tvg-logo")) entry.tvg_logo = ResolveAddress(base, value);
    else if (EqualsNoCase(a.key, "tvg-country")) entry.tvg_country.assign(value);
    else if (EqualsNoCase(a.key, "tvg-language")) entry.tvg_language.assign(value);
    else if (EqualsNoCase(a.key, "group-title")) entry.group.assign(value);
    else if (EqualsNoCase(a.key, "radio")) entry.radio = EqualsNoCase(value, "true") || value == "1";
  });
  if (name_at == std::string_view::npos) return false;
  entry.name = std::string(Trim(line.substr(name_at)));
  return true;
}

}  // namespace

M3uPlaylist ReadM3u(std::string_view text, std::string_view base_address) {
  M3uPlaylist playlist;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  // Real playlists spend about 150 bytes or more per entry.
  playlist.entries.reserve(text.size() / 150);
  std::optional<PlaylistEntry> pending;
  bool pending_valid = true;
  bool pending_has_info = false;
  std::string group_line;

  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(text.substr(at, end - at));
    at = end + 1;
    if (line.empty()) continue;

    if (line.front() == '#') {
      if (StartsWithNoCase(line, "#EXTM3U")) {
        ReadHeader(line.substr(7), playlist);
      } else if (StartsWithNoCase(line, "#EXTINF:")) {
        PlaylistEntry next;
        if (pending && pending_has_info) {
          ++playlist.skipped_lines;  // the previous one never got its address
        } else if (pending) {
          // Options written before their #EXTINF still belong to it.
          next.user_agent = std::move(pending->user_agent);
          next.referrer = std::move(pending->referrer);
        }
        pending = std::move(next);
        pending_has_info = true;
        group_line.clear();
        pending_valid = ReadInfo(line.substr(8), base_address, *pending);
      } else if (StartsWithNoCase(line, "#EXTGRP:")) {
        group_line = std::string(Trim(line.substr(8)));
      } else if (StartsWithNoCase(line, "#EXTVLCOPT:")) {
        if (!pending) pending.emplace();
        const std::string_view option = Trim(line.substr(11));
        if (StartsWithNoCase(option, "http-user-agent=")) pending->user_agent = std::string(Trim(option.substr(16)));
        else if (StartsWithNoCase(option, "http-referrer=")) pending->referrer = std::string(Trim(option.substr(14)));
        else if (StartsWithNoCase(option, "http-referer=")) pending->referrer = std::string(Trim(option.substr(13)));
      }
      continue;  // other tags and comments
    }

    PlaylistEntry entry = pending ? std::move(*pending) : PlaylistEntry{};
    const bool valid = !pending || pending_valid;
    pending.reset();
    pending_valid = true;
    pending_has_info = false;
    entry.address = ResolveAddress(base_address, line);
    if (!valid || entry.address.empty()) {
      ++playlist.skipped_lines;
      continue;
    }
    if (entry.group.empty()) entry.group = std::move(group_line);
    group_line.clear();
    if (entry.name.empty()) entry.name = entry.tvg_name;
    if (entry.name.empty()) entry.name = LastSegment(entry.address);
    if (!entry.radio) entry.radio = IsAudioOnlyAddress(entry.address);
    playlist.entries.push_back(std::move(entry));
  }
  if (pending && pending_has_info) ++playlist.skipped_lines;
  return playlist;
}

}  // namespace vidora
