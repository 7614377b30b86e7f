#include "core/playlists/playlist_document.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <unordered_map>
#include <vector>

#include "core/catalogue/catalogue_reader.h"
#include "core/document/atomic_file.h"
#include "core/document/document_format.h"
#include "core/document/document_writer.h"
#include "core/document/memory_stream.h"

#include "core/document/text_codec.h"
#include "core/playlists/group_category.h"

namespace vidora {
namespace {

constexpr size_t kMaxIdNameBytes = 64;

uint64_t Fnv1a64(std::string_view a, std::string_view b = {}) {
  uint64_t hash = 0xcbf29ce484222325ull;
  auto mix = [&hash](std::string_view text) {
    for (char c : text) {
      hash ^= static_cast<unsigned char>(c);
      hash *= 0x100000001b3ull;
    }
  };
  mix(a);
  if (!b.empty()) {
    mix("\n");
    mix(b);
  }
  return hash;
}

std::string Hex(uint64_t value, int digits) {
  char text[17];
  std::snprintf(text, sizeof(text), "%0*llx", digits, static_cast<unsigned long long>(value));
  return std::string(text, static_cast<size_t>(digits));
}

bool IsPrintableId(std::string_view id) {
  if (id.empty() || id.size() > kMaxIdNameBytes) return false;
  for (char c : id) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x21 || u == 0x7F) return false;
  }
  return true;
}

std::string HashName(const PlaylistEntry& entry) {
  std::string name("h");
  name += Hex(Fnv1a64(entry.name, entry.address), 16);
  return name;
}

// One channel of the document: its first entry and the entries whose
// addresses become its sources.
struct ChannelGroup {
  std::string node_name;
  const PlaylistEntry* first;
  // Most channels have one source: no allocation for them.
  std::vector<const PlaylistEntry*> more;

  size_t size() const { return 1 + more.size(); }
  const PlaylistEntry& operator[](size_t i) const { return i == 0 ? *first : *more[i - 1]; }
};

std::vector<ChannelGroup> GroupChannels(const M3uPlaylist& playlist, size_t& dropped) {
  std::vector<ChannelGroup> groups;
  groups.reserve(playlist.entries.size());
  // Keys view the groups' own names: the groups never move (reserved).
  std::unordered_map<std::string_view, size_t> by_name;
  by_name.reserve(playlist.entries.size());
  auto add_source = [&dropped](ChannelGroup& group, const PlaylistEntry& entry) {
    // The same channel again: a further stream of it (or an exact
    // repetition, which adds nothing). The bound keeps both this search
    // and the channel's list of sources small.
    if (group.size() >= kMaxSourcesPerChannel) {
      ++dropped;
      return;
    }
    bool known = false;
    for (size_t i = 0; i < group.size(); ++i) known = known || group[i].address == entry.address;
    if (!known) group.more.push_back(&entry);
  };
  for (const PlaylistEntry& entry : playlist.entries) {
    if (entry.continues_previous && !groups.empty()) {
      add_source(groups.back(), entry);
      continue;
    }
    std::string node_name = ChannelNodeName(entry);
    auto found = by_name.find(node_name);
    if (found != by_name.end()) {
      ChannelGroup& group = groups[found->second];
      if (group.first->name == entry.name) {
        add_source(group, entry);
        continue;
      }
      node_name = HashName(entry);
      if (by_name.count(node_name) != 0) continue;  // an exact repetition
    }
    groups.push_back(ChannelGroup{std::move(node_name), &entry, {}});
    by_name.emplace(groups.back().node_name, groups.size() - 1);
  }
  return groups;
}

bool SameHeaders(const PlaylistEntry& a, const PlaylistEntry& b) {
  return a.user_agent == b.user_agent && a.referrer == b.referrer && a.cookie == b.cookie;
}

// Tabs and line ends cannot occur in the stored fields' values.
void AppendField(std::string& out, std::string_view value) {
  for (char c : value) out += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
}

std::string EncodeSourceHeaders(const ChannelGroup& group) {
  std::string out;
  for (size_t i = 1; i < group.size(); ++i) {
    if (SameHeaders(group[i], *group.first)) continue;
    AppendField(out, group[i].address);
    out += '\t';
    AppendField(out, group[i].user_agent);
    out += '\t';
    AppendField(out, group[i].referrer);
    out += '\t';
    AppendField(out, group[i].cookie);
    out += '\n';
  }
  return out;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    AppendField(out, line);
    out += '\n';
  }
  return out;
}

}  // namespace

std::string PlaylistKey(std::u16string_view source) {
  return "pl" + Hex(Fnv1a64(Utf16ToUtf8(source)) & 0xFFFFFFFFull, 8);
}

bool IsPlaylistKey(std::string_view key) {
  if (key.size() != 10 || !key.starts_with("pl")) return false;
  return std::all_of(key.begin() + 2, key.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

std::string ChannelNodeName(const PlaylistEntry& entry) {
  return IsPrintableId(entry.tvg_id) ? "i" + entry.tvg_id : HashName(entry);
}

std::u16string PlaylistNameFromSource(std::u16string_view source) {
  std::u16string_view name = source;
  const size_t end = name.find_first_of(u"?#");
  if (end != std::u16string_view::npos) name = name.substr(0, end);
  while (!name.empty() && name.back() == u'/') name.remove_suffix(1);
  const size_t slash = name.rfind(u'/');
  if (slash != std::u16string_view::npos) name.remove_prefix(slash + 1);
  const size_t dot = name.rfind(u'.');
  if (dot != std::u16string_view::npos && dot > 0) name = name.substr(0, dot);
  return name.empty() ? std::u16string(source) : std::u16string(name);
}

bool WritePlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin,
                           const std::function<bool(std::string_view)>& write, PlaylistWriteCounts* counts) {
  size_t dropped = 0;
  const std::vector<ChannelGroup> groups = GroupChannels(playlist, dropped);
  if (counts != nullptr) *counts = PlaylistWriteCounts{groups.size(), dropped};
  // Written in pieces: a whole large document in memory would cost more
  // in fresh pages than its encoding.
  DocumentWriter writer([&write](const uint8_t* bytes, size_t count) {
    return write(std::string_view(reinterpret_cast<const char*>(bytes), count));
  });
  // Playlists repeat a few group titles many times.
  struct GroupKind {
    const char* category;
    bool radio;
  };
  std::unordered_map<std::string_view, GroupKind> kinds;
  writer.NodeHead(kPlaylistVersion, 0);
  writer.ChildCount(1);
  const std::string header_catchup = EncodeCatchup(playlist.catchup);
  writer.NodeHead(origin.key, 5 + (header_catchup.empty() ? 0 : 1));
  writer.WideAttributeFromUtf8(kPlaylistNameAttr, Utf16ToUtf8(origin.name));
  writer.WideAttributeFromUtf8(kPlaylistSourceAttr, Utf16ToUtf8(origin.source));
  writer.WideAttributeFromUtf8(kPlaylistGuideAttr, playlist.guide_address);
  writer.StringAttribute(kPlaylistTimeAttr, std::to_string(origin.fetched_at));
  writer.IntAttribute(kPlaylistSkippedAttr, static_cast<int32_t>(playlist.skipped_lines));
  if (!header_catchup.empty()) writer.StringAttribute(kPlaylistCatchupAttr, header_catchup);
  writer.ChildCount(static_cast<uint32_t>(groups.size()));
  for (const ChannelGroup& group : groups) {
    const PlaylistEntry& entry = *group.first;
    const std::string catchup = entry.catchup ? EncodeCatchup(*entry.catchup) : std::string();
    const std::string properties = JoinLines(entry.properties);
    const std::string source_headers = group.more.empty() ? std::string() : EncodeSourceHeaders(group);
    const bool own_guide_name = !entry.tvg_name.empty() && entry.tvg_name != entry.name;
    const uint32_t attributes = 3 + (entry.tvg_logo.empty() ? 0 : 1) + (entry.tvg_id.empty() ? 0 : 1) +
                                (own_guide_name ? 1 : 0) +
                                (entry.group.empty() ? 0 : 1) + (entry.user_agent.empty() ? 0 : 1) +
                                (entry.referrer.empty() ? 0 : 1) + (entry.cookie.empty() ? 0 : 1) +
                                (entry.channel_number.empty() ? 0 : 1) + (catchup.empty() ? 0 : 1) +
                                (properties.empty() ? 0 : 1) + (source_headers.empty() ? 0 : 1) +
                                (entry.provider.empty() ? 0 : 1);
    writer.NodeHead(group.node_name, attributes);
    writer.StringAttribute("n", entry.name);
    auto kind = kinds.find(entry.group);
    if (kind == kinds.end()) {
      kind = kinds.emplace(entry.group, GroupKind{CategoryForGroup(entry.group), IsRadioGroup(entry.group)}).first;
    }
    writer.StringAttribute("c", kind->second.category);
    writer.BoolAttribute("r", entry.radio || kind->second.radio);
    if (!entry.tvg_logo.empty()) writer.StringAttribute(kChannelLogoAttr, entry.tvg_logo);
    if (!entry.tvg_id.empty()) writer.StringAttribute(kChannelGuideIdAttr, entry.tvg_id);
    if (own_guide_name) writer.StringAttribute(kChannelGuideNameAttr, entry.tvg_name);
    if (!entry.group.empty()) writer.StringAttribute(kChannelGroupAttr, entry.group);
    if (!entry.user_agent.empty()) writer.StringAttribute(kChannelAgentAttr, entry.user_agent);
    if (!entry.referrer.empty()) writer.StringAttribute(kChannelReferrerAttr, entry.referrer);
    if (!entry.cookie.empty()) writer.StringAttribute(kChannelCookieAttr, entry.cookie);
    if (!entry.channel_number.empty()) writer.StringAttribute(kChannelNumberAttr, entry.channel_number);
    if (!catchup.empty()) writer.StringAttribute(kChannelCatchupAttr, catchup);
    if (!properties.empty()) writer.StringAttribute(kChannelPropertiesAttr, properties);
    if (!source_headers.empty()) writer.StringAttribute(kChannelSourceHeadersAttr, source_headers);
    if (!entry.provider.empty()) writer.StringAttribute("g", entry.provider);
    writer.ChildCount(static_cast<uint32_t>(group.size()));
    for (size_t i = 0; i < group.size(); ++i) {
      writer.NodeHead(std::to_string(i), 1);
      writer.StringAttribute("u", group[i].address);
      writer.ChildCount(0);
    }
    // A refused piece ends the writing: the rest would be dropped.
    if (!writer.ok()) return false;
  }
  return writer.Finish();
}

void EncodePlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin, std::string& out) {
  out.clear();
  WritePlaylistDocument(playlist, origin, [&out](std::string_view piece) {
    out.append(piece);
    return true;
  });
}

void BuildPlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin, DocNode& root) {
  std::string bytes;
  EncodePlaylistDocument(playlist, origin, bytes);
  MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  ReadDocument(root, stream);
}

namespace {

struct CatchupField {
  const char* key;
  std::string CatchupAttributes::*field;
};
constexpr CatchupField kCatchupFields[] = {
    {"catchup", &CatchupAttributes::catchup},
    {"catchup-type", &CatchupAttributes::catchup_type},
    {"catchup-source", &CatchupAttributes::source},
    {"catchup-days", &CatchupAttributes::days},
    {"catchup-correction", &CatchupAttributes::correction},
    {"tvg-shift", &CatchupAttributes::tvg_shift},
    {"timeshift", &CatchupAttributes::timeshift},
    {"tvg-rec", &CatchupAttributes::tvg_rec},
};

}  // namespace

std::string EncodeCatchup(const CatchupAttributes& catchup) {
  std::string out;
  for (const CatchupField& f : kCatchupFields) {
    const std::string& value = catchup.*f.field;
    if (value.empty()) continue;
    out += f.key;
    out += '=';
    AppendField(out, value);
    out += '\n';
  }
  return out;
}

CatchupAttributes DecodeCatchup(std::string_view stored) {
  CatchupAttributes catchup;
  while (!stored.empty()) {
    const size_t end = std::min(stored.find('\n'), stored.size());
    const std::string_view line = stored.substr(0, end);
    stored.remove_prefix(std::min(end + 1, stored.size()));
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    for (const CatchupField& f : kCatchupFields) {
      if (line.substr(0, eq) == f.key) (catchup.*f.field).assign(line.substr(eq + 1));
    }
  }
  return catchup;
}

bool FindSourceHeaders(std::string_view stored, std::string_view address, SourceHeaders& out) {
  while (!stored.empty()) {
    const size_t end = std::min(stored.find('\n'), stored.size());
    std::string_view line = stored.substr(0, end);
    stored.remove_prefix(std::min(end + 1, stored.size()));
    std::string_view fields[4];
    for (int i = 0; i < 4; ++i) {
      const size_t tab = std::min(line.find('\t'), line.size());
      fields[i] = line.substr(0, tab);
      line.remove_prefix(std::min(tab + 1, line.size()));
    }
    if (fields[0] != address) continue;
    out = SourceHeaders{fields[1], fields[2], fields[3]};
    return true;
  }
  return false;
}

const DocNode* PlaylistCountryNode(const DocNode& root) {
  if ((root.name() != kPlaylistVersion && root.name() != kPlaylistOldVersion) || root.children().size() != 1) {
    return nullptr;
  }
  const DocNode* country = root.children().begin()->get();
  return country->name().starts_with("pl") ? country : nullptr;
}

namespace {

// The WideString attribute `name` of `node` as a String in UTF-8.
void NarrowAttribute(DocNode& node, std::string_view name) {
  DocAttribute* attribute = node.FindAttribute(name);
  if (attribute == nullptr) return;
  if (const std::u16string* wide = attribute->wide_string_value()) attribute->SetString(Utf16ToUtf8(*wide));
}

}  // namespace

bool RewritePlaylistDocument(const std::filesystem::path& file) {
  DocNode root;
  if (!ReadCatalogueDocument(file, root) || root.name() != kPlaylistOldVersion) return false;
  const DocNode* country = PlaylistCountryNode(root);
  if (country == nullptr) return false;
  DocNode* channels = root.FindChild(country->name(), false);
  std::vector<std::string> names;
  for (const auto& channel : channels->children()) names.push_back(channel->name());
  for (const std::string& name : names) {
    DocNode* channel = channels->FindChild(name, false);
    for (const char* attribute : {"n", kChannelLogoAttr, kChannelGroupAttr, kChannelAgentAttr, kChannelReferrerAttr, kChannelCookieAttr}) {
      NarrowAttribute(*channel, attribute);
    }
    for (size_t i = 0;; ++i) {
      DocNode* source = channel->FindChild(std::to_string(i), false);
      if (source == nullptr) break;
      NarrowAttribute(*source, "u");
    }
  }
  root.set_name(kPlaylistVersion);
  return SaveDocumentFileAtomically(root, file);
}

}  // namespace vidora
