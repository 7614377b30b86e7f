#include "core/playlists/playlist_channel_record.h"

#include <cstring>

#include "core/playlists/playlist_library.h"

namespace vidora {
namespace {

constexpr size_t kFields = PlaylistChannelRecord::kWideFields + PlaylistChannelRecord::kNarrowFields;

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

// The record's lengths (in units: UTF-16 ones for the wide texts) and
// where its texts begin, which is even so the UTF-16 ones are aligned.
struct Layout {
  uint32_t position = 0;
  std::array<uint64_t, kFields> lengths {};
  const uint8_t* texts = nullptr;
};

Layout Read(const uint8_t* at) {
  Layout layout;
  uint64_t value = 0;
  const uint8_t* in = GetVarint(at, value);
  layout.position = static_cast<uint32_t>(value);
  for (uint64_t& length : layout.lengths) in = GetVarint(in, length);
  layout.texts = at + ((in - at + 1) & ~ptrdiff_t{1});
  return layout;
}

}  // namespace

PlaylistChannelRecord PlaylistChannelRecord::Make(uint32_t position, const WideTexts& wide, const NarrowTexts& narrow,
                                                  CatalogueArena& arena) {
  size_t head = VarintSize(position), texts = 0;
  for (std::u16string_view text : wide) {
    head += VarintSize(text.size());
    texts += text.size() * sizeof(char16_t);
  }
  for (std::string_view text : narrow) {
    head += VarintSize(text.size());
    texts += text.size();
  }
  head += head & 1;
  // Units of char16_t: the record starts at an even address.
  std::span<char16_t> room = arena.MakeArray<char16_t>((head + texts + 1) / 2);
  auto* at = reinterpret_cast<uint8_t*>(room.data());
  uint8_t* out = PutVarint(at, position);
  for (std::u16string_view text : wide) out = PutVarint(out, text.size());
  for (std::string_view text : narrow) out = PutVarint(out, text.size());
  out = at + head;
  for (std::u16string_view text : wide) {
    if (text.empty()) continue;
    std::memcpy(out, text.data(), text.size() * sizeof(char16_t));
    out += text.size() * sizeof(char16_t);
  }
  for (std::string_view text : narrow) {
    if (text.empty()) continue;
    std::memcpy(out, text.data(), text.size());
    out += text.size();
  }
  return PlaylistChannelRecord(at);
}

std::string_view PlaylistChannelRecord::name() const {
  const Layout layout = Read(at_);
  size_t skip = 0;
  for (size_t i = 0; i < kWideFields; ++i) skip += layout.lengths[i] * sizeof(char16_t);
  return {reinterpret_cast<const char*>(layout.texts + skip), layout.lengths[kWideFields]};
}

PlaylistChannelInfo PlaylistChannelRecord::info() const {
  const Layout layout = Read(at_);
  const uint8_t* in = layout.texts;
  std::array<std::u16string_view, kWideFields> wide;
  for (size_t i = 0; i < kWideFields; ++i) {
    wide[i] = {reinterpret_cast<const char16_t*>(in), layout.lengths[i]};
    in += layout.lengths[i] * sizeof(char16_t);
  }
  std::array<std::string_view, kNarrowFields> narrow;
  for (size_t i = 0; i < kNarrowFields; ++i) {
    narrow[i] = {reinterpret_cast<const char*>(in), layout.lengths[kWideFields + i]};
    in += layout.lengths[kWideFields + i];
  }
  PlaylistChannelInfo info;
  info.logo = wide[0];
  info.user_agent = wide[1];
  info.referrer = wide[2];
  info.cookie = wide[3];
  info.group = wide[4];
  info.guide_id = narrow[1];
  info.guide_name = narrow[2];
  info.channel_number = narrow[3];
  info.catchup = narrow[4];
  info.properties = narrow[5];
  info.source_headers = narrow[6];
  info.position = layout.position;
  return info;
}

}  // namespace vidora
