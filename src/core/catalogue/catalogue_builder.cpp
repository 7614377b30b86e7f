#include "core/catalogue/catalogue_builder.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/document_format.h"
#include "core/document/file_bytes.h"
#include "core/document/record_reader.h"
#include "core/document/text_codec.h"

namespace vidora {
namespace {

// At most this many channels of a country are made room for up front.
constexpr uint32_t kMaxReservedChannels = 1u << 20;

// Passes over a node and its subtree, checking it as the reader would.
ReadStatus SkipNode(ByteCursor& in, uint32_t depth) {
  const ByteCursor::Magic magic = in.ReadMagic();
  if (magic == ByteCursor::Magic::kShort) return ReadStatus::kTruncated;
  if (magic == ByteCursor::Magic::kWrong) return ReadStatus::kOk;  // an empty child
  std::string_view name;
  uint32_t count = 0;
  if (ReadStatus s = ReadNodeHead(in, depth, name, count); s != ReadStatus::kOk) return s;
  AttributeRecord attribute;
  for (uint32_t i = 0; i < count; ++i) {
    if (ReadStatus s = ReadAttributeRecord(in, attribute); s != ReadStatus::kOk) return s;
  }
  if (ReadStatus s = ReadChildCount(in, count); s != ReadStatus::kOk) return s;
  for (uint32_t i = 0; i < count; ++i) {
    if (ReadStatus s = SkipNode(in, depth + 1); s != ReadStatus::kOk) return s;
  }
  return ReadStatus::kOk;
}

// A source node's name as its number: decimal without leading zeros, as
// std::to_string writes it; -1 for any other name.
int64_t SourceNumber(std::string_view name) {
  if (name.empty() || name.size() > 10 || (name.size() > 1 && name[0] == '0')) return -1;
  int64_t value = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= INT32_MAX ? value : -1;
}

std::u16string WideText(const uint8_t* bytes, uint32_t units) {
  std::u16string text(units, u'\0');
  CopyWideUnits(bytes, units, text.data());
  return text;
}

// The first attribute of a name decides: a later one of the same name is
// dropped whatever its type, and one of another type counts as absent.
struct Wanted {
  bool seen = false;
  bool valid = false;
  AttributeRecord value;

  // `also`: a second type that counts (a text as a String in UTF-8 where
  // a WideString is expected).
  void Offer(const AttributeRecord& attribute, uint8_t type, uint8_t also = 0xFF) {
    if (seen) return;
    seen = true;
    valid = attribute.type == type || attribute.type == also;
    if (valid) value = attribute;
  }
};

// A text attribute (WideString, or String in UTF-8) as UTF-16.
std::u16string TextOf(const AttributeRecord& attribute) {
  if (attribute.type == 6) return Utf8ToUtf16(attribute.text);
  std::u16string text(attribute.count, u'\0');
  CopyWideUnits(attribute.bytes, attribute.count, text.data());
  return text;
}

// Keeps what a hook may ask for of an attribute.
void Capture(const AttributeRecord& attribute, std::vector<NodeAttributes::Entry>& out) {
  out.push_back({attribute.name, attribute.type, attribute.text, attribute.bytes, attribute.count});
}

}  // namespace

const NodeAttributes::Entry* NodeAttributes::Find(std::string_view name) const {
  for (const Entry& entry : entries_) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

std::string_view NodeAttributes::String(std::string_view name) const {
  const Entry* entry = Find(name);
  return entry != nullptr && entry->type == 6 ? entry->text : std::string_view();
}

std::u16string NodeAttributes::WideString(std::string_view name, std::u16string_view fallback) const {
  const Entry* entry = Find(name);
  if (entry != nullptr && entry->type == 6) return Utf8ToUtf16(entry->text);
  if (entry == nullptr || entry->type != 7) return std::u16string(fallback);
  return WideText(entry->wide, entry->wide_units);
}

std::string_view NodeAttributes::Utf8Text(std::string_view name, std::string& scratch) const {
  const Entry* entry = Find(name);
  if (entry != nullptr && entry->type == 6) return entry->text;
  if (entry == nullptr || entry->type != 7) return {};
  scratch = Utf16ToUtf8(WideText(entry->wide, entry->wide_units));
  return scratch;
}

ReadStatus CatalogueBuilder::Build(const uint8_t* data, uint32_t count) {
  base_ = data;
  warnings_.clear();
  batch_ = std::make_shared<ChannelBatch>();
  built_.clear();
  ByteCursor in(data, count);
  ReadStatus status = ReadStatus::kOk;
  const ByteCursor::Magic magic = in.ReadMagic();
  std::string_view version;
  uint32_t n = 0;
  if (magic == ByteCursor::Magic::kShort) {
    status = ReadStatus::kTruncated;
  } else if (magic == ByteCursor::Magic::kWrong) {
    status = ReadStatus::kBadMagic;
  } else {
    status = ReadNodeHead(in, 0, version, n);
  }
  // Copied now: the pages holding it may be released while building.
  std::string version_text(version);
  AttributeRecord attribute;
  for (uint32_t i = 0; status == ReadStatus::kOk && i < n; ++i) status = ReadAttributeRecord(in, attribute);
  if (status == ReadStatus::kOk) status = ReadChildCount(in, n);
  for (uint32_t i = 0; status == ReadStatus::kOk && i < n; ++i) status = CountryNode(in, 1);
  // Nothing more is added to this file's storage.
  batch_->channels.ReleaseUnused();
  batch_->texts.ReleaseUnused();
  batch_ = nullptr;
  if (status != ReadStatus::kOk) {
    if (hooks_ != nullptr) {
      hooks_->countries->clear();
      hooks_->channels->clear();
    } else {
      catalogue_.ClearChannels();
    }
    warnings_.clear();
    built_.clear();
    return status;
  }
  if (hooks_ == nullptr) catalogue_.version_ = std::move(version_text);
  // The list is made once at the end, at its final size: growing it
  // channel by channel would hold two copies at a time.
  std::vector<Channel*>& list = hooks_ != nullptr ? *hooks_->channels : catalogue_.all_channels_;
  size_t total = list.size();
  for (const Country* country : built_) total += country->channels().size();
  list.reserve(total);
  for (const Country* country : built_) {
    for (const auto& [name, channel] : country->channels()) list.push_back(channel);
  }
  built_.clear();
  if (hooks_ != nullptr && hooks_->warnings != nullptr) {
    hooks_->warnings->insert(hooks_->warnings->end(), warnings_.begin(), warnings_.end());
  } else {
    for (const std::u16string& warning : warnings_) catalogue_.Warn(warning);
  }
  warnings_.clear();
  return ReadStatus::kOk;
}

ReadStatus CatalogueBuilder::CountryNode(ByteCursor& in, uint32_t depth) {
  const ByteCursor::Magic magic = in.ReadMagic();
  if (magic == ByteCursor::Magic::kShort) return ReadStatus::kTruncated;
  std::string_view key;
  uint32_t attributes = 0;
  uint32_t children = 0;
  if (magic == ByteCursor::Magic::kOk) {
    if (ReadStatus s = ReadNodeHead(in, depth, key, attributes); s != ReadStatus::kOk) return s;
    AttributeRecord attribute;
    attributes_.entries_.clear();
    const bool capture = hooks_ != nullptr && hooks_->make_country;
    for (uint32_t i = 0; i < attributes; ++i) {
      if (ReadStatus s = ReadAttributeRecord(in, attribute); s != ReadStatus::kOk) return s;
      if (capture) Capture(attribute, attributes_.entries_);
    }
    if (ReadStatus s = ReadChildCount(in, children); s != ReadStatus::kOk) return s;
  } else {
    attributes_.entries_.clear();
  }
  // A wrong magic makes an empty country under the empty name.
  auto& countries = hooks_ != nullptr ? *hooks_->countries : catalogue_.countries_;
  auto at = countries.lower_bound(key);
  if (at != countries.end() && at->first == key) {
    for (uint32_t i = 0; i < children; ++i) {
      if (ReadStatus s = SkipNode(in, depth + 1); s != ReadStatus::kOk) return s;
    }
    return ReadStatus::kOk;
  }
  std::unique_ptr<Country> made = hooks_ != nullptr && hooks_->make_country
                                     ? hooks_->make_country(key, attributes_, batch_)
                                     : catalogue_.MakeCountry(key, batch_);
  Country* country = countries.emplace_hint(at, std::string(key), std::move(made))->second.get();
  country->kb_text_ = &catalogue_.kb_text_;
  built_.push_back(country);
  // The count is bounded by the input left, but a damaged file may still
  // name far more children than it holds channels.
  country->ReserveChannels(std::min<uint32_t>(children, kMaxReservedChannels));
  const std::atomic<bool>* cancel = hooks_ != nullptr ? hooks_->cancel : nullptr;
  for (uint32_t i = 0; i < children; ++i) {
    if (cancel != nullptr && i % 4096 == 0 && cancel->load()) return ReadStatus::kTruncated;
    if (ReadStatus s = ChannelNode(in, country, depth + 1); s != ReadStatus::kOk) return s;
  }
  country->FinishChannels();
  return ReadStatus::kOk;
}

ReadStatus CatalogueBuilder::ChannelNode(ByteCursor& in, Country* country, uint32_t depth) {
  const ByteCursor::Magic magic = in.ReadMagic();
  if (magic == ByteCursor::Magic::kShort) return ReadStatus::kTruncated;
  std::string_view name;
  Wanted n, p, g, r, c;
  sources_.clear();
  attributes_.entries_.clear();
  const bool capture = hooks_ != nullptr && hooks_->on_channel;
  if (magic == ByteCursor::Magic::kOk) {
    uint32_t attributes = 0;
    if (ReadStatus s = ReadNodeHead(in, depth, name, attributes); s != ReadStatus::kOk) return s;
    AttributeRecord attribute;
    for (uint32_t i = 0; i < attributes; ++i) {
      if (ReadStatus s = ReadAttributeRecord(in, attribute); s != ReadStatus::kOk) return s;
      if (capture) Capture(attribute, attributes_.entries_);
      if (attribute.name.size() != 1) continue;
      switch (attribute.name[0]) {
        case 'n': n.Offer(attribute, 7, 6); break;
        case 'p': p.Offer(attribute, 6); break;
        case 'g': g.Offer(attribute, 6); break;
        case 'r': r.Offer(attribute, 2); break;
        case 'c': c.Offer(attribute, 6); break;
        default: break;
      }
    }
    uint32_t children = 0;
    if (ReadStatus s = ReadChildCount(in, children); s != ReadStatus::kOk) return s;
    for (uint32_t i = 0; i < children; ++i) {
      if (ReadStatus s = SourceNode(in, depth + 1, children); s != ReadStatus::kOk) return s;
    }
  }
  Channel* added = country->AddChannel(name);
  if (added == nullptr) return ReadStatus::kOk;  // first one wins
  Channel& built = *added;
  CatalogueArena& texts = country->texts();
  std::u16string own_name = n.valid ? TextOf(n.value) : std::u16string();
  built.name_ = texts.KeepCounted(hooks_ != nullptr && hooks_->warnings != nullptr
                               ? std::move(own_name)
                               : catalogue_.TextOr("c_", built.key(), std::move(own_name)));
  if (p.valid && !p.value.text.empty()) built.extras().p_value = texts.KeepCounted(p.value.text);
  if (g.valid && !g.value.text.empty()) built.extras().provider = texts.KeepCounted(g.value.text);
  built.radio_ = r.valid && (r.value.word & 0xFF) != 0;
  built.category_ = catalogue_.FindCategory(c.valid ? c.value.text : std::string_view());
  if (built.category_ == nullptr) {
    warnings_.push_back(country->display_name() + u" : " + std::u16string(built.name()) + u" - Wrong category!");
  }

  // Sources run from "0" up to the first missing number; of two sources
  // with the same number the first one counts.
  std::stable_sort(sources_.begin(), sources_.end(),
                   [](const SourceEntry& a, const SourceEntry& b) { return a.number < b.number; });
  uint32_t next = 0;
  size_t usable = 0;
  for (const SourceEntry& entry : sources_) {
    if (entry.number == next) {
      sources_[usable++] = entry;
      ++next;
    } else if (entry.number > next) {
      break;
    }
  }
  usable = std::min(usable, Channel::kMaxSources);
  const std::span<StreamSource> kept = texts.MakeArray<StreamSource>(usable);
  for (size_t i = 0; i < usable; ++i) {
    const SourceEntry& entry = sources_[i];
    // Kept in UTF-8, as addresses are mostly ASCII: half the room of UTF-16.
    const std::string_view narrow(reinterpret_cast<const char*>(entry.address), entry.address_units);
    kept[i] = StreamSource{entry.bitrate, entry.narrow ? texts.Keep(narrow)
                                                       : texts.Keep(Utf16ToUtf8(WideText(entry.address, entry.address_units)))};
  }
  built.set_sources(kept);
  if (kept.empty()) {
    warnings_.push_back(country->display_name() + u" : " + std::u16string(built.name()) + u" - No url!");
  }
  catalogue_.ApplySavedState(built, saved_state_);
  if (capture) hooks_->on_channel(built, attributes_);

  // Everything of this channel has been copied out of the input.
  if (file_ != nullptr) file_->Release(static_cast<uint32_t>(in.position() - base_));
  return ReadStatus::kOk;
}

ReadStatus CatalogueBuilder::SourceNode(ByteCursor& in, uint32_t depth, uint32_t child_count) {
  const ByteCursor::Magic magic = in.ReadMagic();
  if (magic == ByteCursor::Magic::kShort) return ReadStatus::kTruncated;
  if (magic == ByteCursor::Magic::kWrong) return ReadStatus::kOk;  // an empty child named ""
  std::string_view name;
  uint32_t count = 0;
  if (ReadStatus s = ReadNodeHead(in, depth, name, count); s != ReadStatus::kOk) return s;
  Wanted b, u;
  AttributeRecord attribute;
  for (uint32_t i = 0; i < count; ++i) {
    if (ReadStatus s = ReadAttributeRecord(in, attribute); s != ReadStatus::kOk) return s;
    if (attribute.name == "b") b.Offer(attribute, 1);
    if (attribute.name == "u") u.Offer(attribute, 7, 6);
  }
  if (ReadStatus s = ReadChildCount(in, count); s != ReadStatus::kOk) return s;
  for (uint32_t i = 0; i < count; ++i) {
    if (ReadStatus s = SkipNode(in, depth + 1); s != ReadStatus::kOk) return s;
  }
  // A run from "0" cannot reach a number beyond the count of its siblings.
  const int64_t number = SourceNumber(name);
  if (number < 0 || number >= child_count) return ReadStatus::kOk;
  const bool narrow = u.valid && u.value.type == 6;
  const auto* address = !u.valid ? nullptr
                        : narrow ? reinterpret_cast<const uint8_t*>(u.value.text.data())
                                 : u.value.bytes;
  const uint32_t units = !u.valid ? 0 : narrow ? static_cast<uint32_t>(u.value.text.size()) : u.value.count;
  sources_.push_back(
      SourceEntry{static_cast<uint32_t>(number), b.valid ? static_cast<int32_t>(b.value.word) : 0, address, units, narrow});
  return ReadStatus::kOk;
}

}  // namespace vidora
