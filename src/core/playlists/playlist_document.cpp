#include "core/playlists/playlist_document.h"

#include <cstdio>

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

std::string HashName(const PlaylistEntry& entry) { return "h" + Hex(Fnv1a64(entry.name, entry.address), 16); }

void AddSource(DocNode& channel, const std::string& address) {
  size_t index = 0;
  while (channel.FindChild(std::to_string(index)) != nullptr) ++index;
  DocNode* source = channel.AddChild(std::to_string(index));
  if (source == nullptr) return;
  source->SetInt("b", 0);
  source->SetWideString("u", Utf8ToUtf16(address));
}

}  // namespace

std::string PlaylistKey(std::u16string_view source) {
  return "pl" + Hex(Fnv1a64(Utf16ToUtf8(source)) & 0xFFFFFFFFull, 8);
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

void BuildPlaylistDocument(const M3uPlaylist& playlist, const PlaylistOrigin& origin, DocNode& root) {
  root.Clear();
  root.set_name(kPlaylistVersion);
  DocNode* country = root.AddChild(origin.key);
  country->SetWideString(kPlaylistNameAttr, origin.name);
  country->SetWideString(kPlaylistSourceAttr, origin.source);
  country->SetWideString(kPlaylistGuideAttr, Utf8ToUtf16(playlist.guide_address));
  country->SetString(kPlaylistTimeAttr, std::to_string(origin.fetched_at));
  country->SetInt(kPlaylistSkippedAttr, static_cast<int32_t>(playlist.skipped_lines));

  for (const PlaylistEntry& entry : playlist.entries) {
    std::string node_name = ChannelNodeName(entry);
    DocNode* channel = country->FindChild(node_name);
    if (channel != nullptr) {
      const std::u16string* name = channel->WideStringRef("n");
      if (name != nullptr && Utf16ToUtf8(*name) == entry.name) {
        // The same channel again: a further stream of it (or an exact
        // repetition, which adds nothing).
        bool known = false;
        for (const auto& source : channel->children()) {
          if (Utf16ToUtf8(source->GetWideString("u")) == entry.address) known = true;
        }
        if (!known) AddSource(*channel, entry.address);
        continue;
      }
      node_name = HashName(entry);
      if (country->FindChild(node_name) != nullptr) continue;  // an exact repetition
    }
    channel = country->AddChild(node_name);
    channel->SetWideString("n", Utf8ToUtf16(entry.name));
    channel->SetString("p", entry.tvg_id);
    channel->SetString("c", CategoryForGroup(entry.group));
    channel->SetBool("r", entry.radio || IsRadioGroup(entry.group));
    if (!entry.tvg_logo.empty()) channel->SetWideString(kChannelLogoAttr, Utf8ToUtf16(entry.tvg_logo));
    if (!entry.tvg_id.empty()) channel->SetString(kChannelGuideIdAttr, entry.tvg_id);
    if (!entry.group.empty()) channel->SetWideString(kChannelGroupAttr, Utf8ToUtf16(entry.group));
    if (!entry.user_agent.empty()) channel->SetWideString(kChannelAgentAttr, Utf8ToUtf16(entry.user_agent));
    if (!entry.referrer.empty()) channel->SetWideString(kChannelReferrerAttr, Utf8ToUtf16(entry.referrer));
    AddSource(*channel, entry.address);
  }
}

const DocNode* PlaylistCountryNode(const DocNode& root) {
  if (root.name() != kPlaylistVersion || root.children().size() != 1) return nullptr;
  const DocNode* country = root.children().begin()->get();
  return country->name().starts_with("pl") ? country : nullptr;
}

}  // namespace vidora
