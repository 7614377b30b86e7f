#include "core/playlists/m3u_reader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

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
// display name starts (after the comma; the end of `text` when there is
// none, as in "#EXTINF:10"), or npos when a quoted value never ends.
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
  return text.size();
}


bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

bool ContainsNoCase(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (StartsWithNoCase(text.substr(i), part)) return true;
  }
  return false;
}

// `text` cut to at most `max` bytes without splitting a UTF-8 character.
std::string_view Bounded(std::string_view text, size_t max, bool& cut) {
  if (text.size() <= max) return text;
  cut = true;
  size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

// The entry being read, with what its lines said about it.
struct EntryReader {
  PlaylistEntry entry;
  bool cut = false;

  void Set(std::string& field, std::string_view value, size_t max = kMaxEntryAttributeBytes) {
    field.assign(Bounded(value, max, cut));
  }
  void SetName(std::string& field, std::string_view value) { Set(field, value, kMaxEntryNameBytes); }
  CatchupAttributes& Catchup() {
    if (!entry.catchup) entry.catchup = std::make_shared<CatchupAttributes>();
    return const_cast<CatchupAttributes&>(*entry.catchup);
  }
};

// Stores a catch-up attribute in `to`; false when `key` is none.
template <typename Assign>
bool ReadCatchup(std::string_view key, std::string_view value, CatchupAttributes& to, Assign assign) {
  std::string* field = nullptr;
  if (EqualsNoCase(key, "catchup")) field = &to.catchup;
  else if (EqualsNoCase(key, "catchup-type")) field = &to.catchup_type;
  else if (EqualsNoCase(key, "catchup-source")) field = &to.source;
  else if (EqualsNoCase(key, "catchup-days")) field = &to.days;
  else if (EqualsNoCase(key, "catchup-correction")) field = &to.correction;
  else if (EqualsNoCase(key, "tvg-shift")) field = &to.tvg_shift;
  else if (EqualsNoCase(key, "timeshift")) field = &to.timeshift;
  else if (EqualsNoCase(key, "tvg-rec")) field = &to.tvg_rec;
  if (field == nullptr) return false;
  assign(*field, value);
  return true;
}

bool IsCatchupKey(std::string_view key) {
  CatchupAttributes probe;
  return ReadCatchup(key, {}, probe, [](std::string&, std::string_view) {});
}

// Request header names as written in "|Name=value&..." and #EXTHTTP.
void ApplyHeader(std::string_view name, std::string_view value, EntryReader& reader) {
  name = Trim(name);
  if (EqualsNoCase(name, "user-agent") || EqualsNoCase(name, "http-user-agent")) {
    reader.Set(reader.entry.user_agent, value);
  } else if (EqualsNoCase(name, "referer") || EqualsNoCase(name, "referrer") || EqualsNoCase(name, "http-referer") ||
             EqualsNoCase(name, "http-referrer")) {
    reader.Set(reader.entry.referrer, value);
  } else if (EqualsNoCase(name, "cookie") || EqualsNoCase(name, "http-cookie")) {
    reader.Set(reader.entry.cookie, value);
  }
}

std::string_view Unquoted(std::string_view value) {
  value = Trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Whether `text` at `at` names a request header followed by '=': the
// '&' before it then separates two headers rather than belonging to a
// value (a referrer with a query keeps its own '&').
bool StartsHeaderName(std::string_view text, size_t at) {
  static constexpr std::string_view kNames[] = {"user-agent", "referer", "referrer", "cookie", "origin",
                                                "accept", "authorization", "x-", "http-"};
  const size_t eq = text.find('=', at);
  if (eq == std::string_view::npos) return false;
  const std::string_view name = text.substr(at, eq - at);
  for (std::string_view known : kNames) {
    if (known.back() == '-' ? StartsWithNoCase(name, known) : EqualsNoCase(name, known)) return true;
  }
  return false;
}

// The "Name=value&Name=value" part after an address's '|'.
void ReadPipeHeaders(std::string_view text, EntryReader& reader) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = at;
    while (true) {
      end = text.find('&', end);
      if (end == std::string_view::npos || StartsHeaderName(text, end + 1)) break;
      ++end;
    }
    const std::string_view pair = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    const size_t eq = pair.find('=');
    if (eq != std::string_view::npos) ApplyHeader(pair.substr(0, eq), PercentDecoded(Trim(pair.substr(eq + 1))), reader);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
}

// A flat JSON object of strings, as #EXTHTTP writes it.
void ReadJsonHeaders(std::string_view text, EntryReader& reader) {
  auto read_string = [&](size_t& at, std::string& out) {
    out.clear();
    if (at >= text.size() || text[at] != '"') return false;
    for (++at; at < text.size(); ++at) {
      const char c = text[at];
      if (c == '"') {
        ++at;
        return true;
      }
      if (c != '\\' || at + 1 >= text.size()) {
        out += c;
        continue;
      }
      const char e = text[++at];
      if (e == 'u' && at + 4 < text.size()) {
        uint32_t code = 0;
        for (int i = 1; i <= 4; ++i) code = code * 16 + static_cast<uint32_t>(std::max(0, HexDigit(text[at + i])));
        at += 4;
        if (code < 0x80) {
          out += static_cast<char>(code);
        } else if (code < 0x800) {
          out += static_cast<char>(0xC0 | (code >> 6));
          out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
          out += static_cast<char>(0xE0 | (code >> 12));
          out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
          out += static_cast<char>(0x80 | (code & 0x3F));
        }
      } else {
        out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
      }
    }
    return false;
  };
  auto skip = [&](size_t& at) {
    while (at < text.size() && (IsSpace(text[at]) || text[at] == ',' || text[at] == ':' || text[at] == '{')) ++at;
  };
  size_t at = 0;
  std::string key, value;
  while (true) {
    skip(at);
    if (!read_string(at, key)) return;
    skip(at);
    if (!read_string(at, value)) return;
    ApplyHeader(key, value, reader);
  }
}

std::string LastSegment(std::string_view address) {
  const size_t end = address.find_first_of("?#");
  std::string_view path = address.substr(0, end == std::string_view::npos ? address.size() : end);
  while (!path.empty() && path.back() == '/') path.remove_suffix(1);
  const size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Lines such as "=====Sudan=====" or "---UHD | 4K Channels" that lists
// use as headings between their channels.
bool IsSeparator(std::string_view text) {
  constexpr std::string_view kMarks = "=-#*~_+";
  size_t marks = 0;
  while (marks < text.size() && kMarks.find(text[marks]) != std::string_view::npos) ++marks;
  return marks >= 3 || (marks > 0 && marks == text.size());
}

void ReadHeader(std::string_view line, M3uPlaylist& playlist) {
  ReadAttributes(line, [&](const Attribute& a) {
    const std::string_view value = Trim(a.value);
    bool cut = false;
    if (EqualsNoCase(a.key, "url-tvg") || EqualsNoCase(a.key, "x-tvg-url")) {
      // Both may be given, each a comma-separated list: all are kept.
      if (value.empty() || playlist.guide_address == value) return;
      std::string joined = playlist.guide_address.empty() ? std::string(value) : playlist.guide_address + "," + std::string(value);
      playlist.guide_address = std::string(Bounded(joined, kMaxEntryAttributeBytes, cut));
    } else if (EqualsNoCase(a.key, "x-tvg-shift")) {
      if (playlist.catchup.tvg_shift.empty()) playlist.catchup.tvg_shift = std::string(Bounded(value, kMaxEntryAttributeBytes, cut));
    } else if ((EqualsNoCase(a.key, "x-name") || EqualsNoCase(a.key, "name")) && playlist.name.empty()) {
      playlist.name = std::string(Bounded(value, kMaxEntryNameBytes, cut));
    } else {
      ReadCatchup(a.key, value, playlist.catchup,
                  [&](std::string& to, std::string_view v) { to.assign(Bounded(v, kMaxEntryAttributeBytes, cut)); });
    }
  });
}

// Reads an #EXTINF line (without its tag) into `reader`; false when a
// quoted value in it never ends.
bool ReadInfo(std::string_view line, std::string_view base, EntryReader& reader) {
  PlaylistEntry& entry = reader.entry;
  const size_t name_at = ReadAttributes(line, [&](const Attribute& a) {
    const std::string_view value = Trim(a.value);
    if (EqualsNoCase(a.key, "tvg-id")) reader.Set(entry.tvg_id, value);
    else if (EqualsNoCase(a.key, "tvg-name")) reader.SetName(entry.tvg_name, value);
    else if (EqualsNoCase(a.key, "tvg-logo")) reader.Set(entry.tvg_logo, ResolveAddress(base, Bounded(value, kMaxEntryAttributeBytes, reader.cut)));
    else if (EqualsNoCase(a.key, "tvg-country")) reader.Set(entry.tvg_country, value);
    else if (EqualsNoCase(a.key, "tvg-language")) reader.Set(entry.tvg_language, value);
    else if (EqualsNoCase(a.key, "tvg-chno")) reader.Set(entry.channel_number, value);
    else if (EqualsNoCase(a.key, "group-title")) reader.SetName(entry.group, value);
    else if (EqualsNoCase(a.key, "radio")) entry.radio = EqualsNoCase(value, "true") || value == "1";
    else if (IsCatchupKey(a.key)) {
      ReadCatchup(a.key, value, reader.Catchup(), [&](std::string& to, std::string_view v) { reader.Set(to, v); });
    } else {
      ApplyHeader(a.key, value, reader);
    }
  });
  if (name_at == std::string_view::npos) return false;
  std::string_view title = Trim(line.substr(name_at));
  // "#EXTINF:4,,Title": an empty field (an artist, in music lists) before
  // the title is no part of the name.
  while (!title.empty() && title.front() == ',') title = Trim(title.substr(1));
  reader.SetName(entry.name, title);
  return true;
}

// The address part of an address line, with the spaces some lists leave
// in paths encoded (in `scratch` then); `headers` gets what follows a '|'.
std::string_view AddressPart(std::string_view line, std::string_view& headers, std::string& scratch) {
  headers = {};
  size_t pipe = line.find('|');
  while (pipe != std::string_view::npos && line.find('=', pipe) == std::string_view::npos) pipe = line.find('|', pipe + 1);
  if (pipe != std::string_view::npos) {
    headers = line.substr(pipe + 1);
    line = Trim(line.substr(0, pipe));
  }
  if (line.find(' ') == std::string_view::npos) return line;
  scratch.clear();
  for (char c : line) {
    if (c == ' ') scratch += "%20";
    else scratch += c;
  }
  return scratch;
}

}  // namespace

M3uPlaylist ReadM3u(std::string_view text, std::string_view base_address) {
  M3uPlaylist playlist;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  // Real playlists spend about 150 bytes or more per entry.
  playlist.entries.reserve(text.size() / 150);
  // What the lines since the last address said: an #EXTINF and options.
  EntryReader pending;
  bool has_info = false;
  bool info_valid = true;
  bool has_options = false;
  // The last #EXTINF's entry (its place in `entries`), for further
  // address lines under it, and its headers before its own '|' part.
  size_t block = 0;
  bool block_open = false;
  bool block_dropped = false;  // its entry was left out: so are the further ones
  std::string block_agent, block_referrer, block_cookie;
  std::string group_line;
  bool header_seen = false;
  std::string scratch;

  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(text.substr(at, end - at));
    at = end + 1;
    if (line.empty()) continue;

    if (line.front() == '#') {
      if (StartsWithNoCase(line, "#EXTM3U")) {
        // A second header (lists pasted together) changes nothing.
        if (!header_seen && playlist.entries.empty()) ReadHeader(line.substr(7), playlist);
        header_seen = true;
      } else if (StartsWithNoCase(line, "#EXTINF:")) {
        if (has_info) ++playlist.skipped_lines;  // the previous one never got its address
        EntryReader next;
        if (has_options && !has_info) next = std::move(pending);  // options written before their #EXTINF
        pending = std::move(next);
        has_info = true;
        block_open = false;
        group_line.clear();
        info_valid = ReadInfo(line.substr(8), base_address, pending);
      } else if (StartsWithNoCase(line, "#PLAYLIST:")) {
        // The list's title as some players write it; the header's x-name wins.
        if (playlist.name.empty()) {
          bool cut = false;
          playlist.name = std::string(Bounded(Trim(line.substr(10)), kMaxEntryNameBytes, cut));
        }
      } else if (StartsWithNoCase(line, "#EXTGRP:")) {
        group_line = std::string(Bounded(Trim(line.substr(8)), kMaxEntryNameBytes, pending.cut));
      } else if (StartsWithNoCase(line, "#EXTVLCOPT:")) {
        has_options = true;
        const std::string_view option = Trim(line.substr(11));
        const size_t eq = option.find('=');
        if (eq != std::string_view::npos) ApplyHeader(option.substr(0, eq), Unquoted(option.substr(eq + 1)), pending);
      } else if (StartsWithNoCase(line, "#EXTHTTP:")) {
        has_options = true;
        ReadJsonHeaders(line.substr(9), pending);
      } else if (StartsWithNoCase(line, "#KODIPROP:")) {
        has_options = true;
        if (pending.entry.properties.size() < kMaxPropertiesPerEntry) {
          pending.entry.properties.emplace_back(Bounded(Trim(line.substr(10)), kMaxEntryAttributeBytes, pending.cut));
        }
      }
      continue;  // other tags and comments
    }

    EntryReader reader;
    bool valid = true;
    if (has_info) {
      reader = std::move(pending);
      valid = info_valid;
    } else if (block_open && block_dropped) {
      pending = EntryReader{};
      has_options = false;
      ++playlist.dropped_entries;
      continue;
    } else if (block_open) {
      // A further address under the same #EXTINF; options written just
      // before it are its own.
      reader.entry = playlist.entries[block];
      reader.entry.continues_previous = true;
      reader.entry.user_agent = !pending.entry.user_agent.empty() ? pending.entry.user_agent : block_agent;
      reader.entry.referrer = !pending.entry.referrer.empty() ? pending.entry.referrer : block_referrer;
      reader.entry.cookie = !pending.entry.cookie.empty() ? pending.entry.cookie : block_cookie;
    } else {
      reader = std::move(pending);
    }
    const bool from_info = has_info;
    pending = EntryReader{};
    has_info = false;
    has_options = false;
    info_valid = true;

    std::string_view headers;
    const std::string_view address = AddressPart(line, headers, scratch);
    PlaylistEntry& entry = reader.entry;
    // Without its own #EXTINF, a line is an address only when it looks
    // like one; a heading such as "=====Sudan=====" would otherwise
    // resolve against the playlist's own address.
    const bool plain_line = !from_info && !HasAddressScheme(address) && address.front() != '/' &&
                            (IsSeparator(address) || address.find_first_of("./") == std::string_view::npos);
    if (address.size() > kMaxEntryAddressBytes) {
      ++playlist.dropped_entries;
      if (from_info) block_open = block_dropped = true;
      continue;
    }
    entry.address = plain_line || IsSeparator(address) ? std::string() : ResolveAddress(base_address, address);
    if (!valid || entry.address.empty() || (from_info && IsSeparator(entry.name))) {
      ++playlist.skipped_lines;
      if (from_info) block_open = false;
      continue;
    }
    if (from_info) {
      if (entry.group.empty()) entry.group = std::move(group_line);
      group_line.clear();
      if (entry.name.empty()) entry.name = entry.tvg_name;
      if (entry.name.empty()) entry.name = std::string(Bounded(LastSegment(entry.address), kMaxEntryNameBytes, reader.cut));
      // Headers of the address's own '|' part stay with it.
      block_agent = entry.user_agent;
      block_referrer = entry.referrer;
      block_cookie = entry.cookie;
      block_open = true;
      block_dropped = false;
    } else if (!entry.continues_previous) {
      if (entry.name.empty()) entry.name = std::string(Bounded(LastSegment(entry.address), kMaxEntryNameBytes, reader.cut));
    }
    if (!headers.empty()) ReadPipeHeaders(headers, reader);
    if (!entry.radio) entry.radio = IsAudioOnlyAddress(entry.address);
    if (reader.cut) ++playlist.shortened_entries;
    if (from_info) block = playlist.entries.size();
    playlist.entries.push_back(std::move(entry));
  }
  if (has_info) ++playlist.skipped_lines;
  return playlist;
}

PlaylistTextKind ClassifyPlaylistText(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return PlaylistTextKind::kBinary;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  text = Trim(text);
  if (text.empty()) return PlaylistTextKind::kEmpty;
  // Tags every HLS master (variant streams) or media playlist (target
  // duration) must carry, and that channel lists never do.
  const std::string_view head = text.substr(0, 256 * 1024);
  if (head.front() == '<' && (ContainsNoCase(head.substr(0, 4096), "<html") || ContainsNoCase(head.substr(0, 256), "<!doctype"))) {
    return PlaylistTextKind::kWebPage;
  }
  for (size_t at = head.find("#EXT-X-"); at != std::string_view::npos; at = head.find("#EXT-X-", at + 7)) {
    if (at > 0 && head[at - 1] != '\n') continue;
    const std::string_view tag = head.substr(at + 7);
    if (tag.starts_with("STREAM-INF") || tag.starts_with("TARGETDURATION") || tag.starts_with("I-FRAME-STREAM-INF")) {
      return PlaylistTextKind::kStream;
    }
  }
  return PlaylistTextKind::kPlaylist;
}

std::string WebPageTitle(std::string_view html) {
  const std::string_view head = html.substr(0, 64 * 1024);
  size_t open = std::string_view::npos;
  for (size_t i = 0; i + 7 <= head.size(); ++i) {
    if (StartsWithNoCase(head.substr(i), "<title")) {
      open = head.find('>', i);
      break;
    }
  }
  if (open == std::string_view::npos) return {};
  const size_t close = head.find('<', open + 1);
  std::string_view title = Trim(head.substr(open + 1, close == std::string_view::npos ? 0 : close - open - 1));
  bool cut = false;
  std::string out;
  for (char c : Bounded(title, 80, cut)) out += IsSpace(c) ? ' ' : c;
  return out;
}

}  // namespace vidora
