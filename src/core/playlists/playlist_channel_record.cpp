#include "core/playlists/playlist_channel_record.h"

#include <cstring>

#include "core/playlists/playlist_library.h"

namespace vidora {
namespace {

constexpr size_t kFields = PlaylistChannelRecord::kFields;
// Where the node name and the tvg-id are among the texts.
constexpr size_t kName = 0;
constexpr size_t kGuideId = 5;

size_t VarintSize(uint64_t value) {
  size_t size = 1;
  while (value >= 0x80) {
    value >>= 7;
    ++size;
  }
  return size;
}

uint8_t* PutVarint(uint8_t* out, uint64_t value) {
  while (value >= 0x80) {
    *out++ = static_cast<uint8_t>(value | 0x80);
    value >>= 7;
  }
  *out++ = static_cast<uint8_t>(value);
  return out;
}

// Records are only read as this file wrote them: no bound to check.
const uint8_t* GetVarint(const uint8_t* in, uint64_t& value) {
  value = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t byte = *in++;
    value |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return in;
  }
}

// A record is: its head (position and whether its tvg-id is the node name
// less its "i"), the node name's length and bytes, then the lengths of the
// other texts and their bytes. The name comes first as look-ups and the
// sort by name read nothing else.
struct Head {
  uint32_t position = 0;
  bool id_in_name = false;
  std::string_view name;
  const uint8_t* rest = nullptr;  // the other texts' lengths
};

Head ReadHead(const uint8_t* at) {
  Head head;
  uint64_t value = 0;
  const uint8_t* in = GetVarint(at, value);
  head.position = static_cast<uint32_t>(value >> 1);
  head.id_in_name = (value & 1) != 0;
  in = GetVarint(in, value);
  head.name = {reinterpret_cast<const char*>(in), value};
  head.rest = in + value;
  return head;
}

}  // namespace

PlaylistChannelRecord PlaylistChannelRecord::Make(uint32_t position, Texts texts, CatalogueArena& arena) {
  const std::string_view name = texts[kName];
  const bool id_in_name = !texts[kGuideId].empty() && name.size() == texts[kGuideId].size() + 1 &&
                          name.front() == 'i' && name.substr(1) == texts[kGuideId];
  if (id_in_name) texts[kGuideId] = {};
  const uint64_t head_value = (uint64_t{position} << 1) | (id_in_name ? 1 : 0);
  size_t size = VarintSize(head_value);
  for (std::string_view text : texts) size += VarintSize(text.size()) + text.size();
  uint8_t* at = arena.MakeArray<uint8_t>(size).data();
  uint8_t* out = PutVarint(at, head_value);
  auto put_text = [&out](std::string_view text) {
    if (text.empty()) return;
    std::memcpy(out, text.data(), text.size());
    out += text.size();
  };
  out = PutVarint(out, name.size());
  put_text(name);
  for (size_t i = kName + 1; i < kFields; ++i) out = PutVarint(out, texts[i].size());
  for (size_t i = kName + 1; i < kFields; ++i) put_text(texts[i]);
  return PlaylistChannelRecord(at);
}

std::string_view PlaylistChannelRecord::name() const { return ReadHead(at_).name; }

uint32_t PlaylistChannelRecord::position() const { return ReadHead(at_).position; }

PlaylistChannelInfo PlaylistChannelRecord::info() const {
  const Head head = ReadHead(at_);
  std::array<uint64_t, kFields> lengths{};
  const uint8_t* in = head.rest;
  for (size_t i = kName + 1; i < kFields; ++i) in = GetVarint(in, lengths[i]);
  Texts texts;
  texts[kName] = head.name;
  for (size_t i = kName + 1; i < kFields; ++i) {
    texts[i] = {reinterpret_cast<const char*>(in), lengths[i]};
    in += lengths[i];
  }
  if (head.id_in_name) texts[kGuideId] = texts[kName].substr(1);
  PlaylistChannelInfo info;
  info.logo = texts[1];
  info.user_agent = texts[2];
  info.referrer = texts[3];
  info.cookie = texts[4];
  info.guide_id = texts[kGuideId];
  info.guide_name = texts[6];
  info.channel_number = texts[7];
  info.catchup = texts[8];
  info.properties = texts[9];
  info.source_headers = texts[10];
  info.position = head.position;
  return info;
}

}  // namespace vidora
