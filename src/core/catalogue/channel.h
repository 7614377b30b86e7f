#ifndef VIDORA_CORE_CATALOGUE_CHANNEL_H_
#define VIDORA_CORE_CATALOGUE_CHANNEL_H_

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/catalogue/catalogue_arena.h"

namespace vidora {

class Category;
class Country;

// One stream address of a channel, with the bitrate shown to the user.
// The address is borrowed from the storage of the channel's country (see
// ChannelBatch): valid as long as the channel.
struct StreamSource {
  int32_t bitrate = 0;       // attribute "b" (0 when absent); display only
  std::string_view address;  // attribute "u" in UTF-8: the address handed to playback
};

// A TV channel or radio station of the catalogue. Built by the catalogue
// loader and kept, with its texts, in the storage of its Country (one
// block for many channels); everything else holds borrowed pointers that
// stay valid until the next reload or the catalogue's destruction. The
// views it returns live as long as the channel. UI thread only.
class Channel {
 public:
  // Sources a channel keeps at most; a file entry's further ones are
  // dropped.
  static constexpr size_t kMaxSources = INT16_MAX;

  explicit Channel(const Country* country) : country_(country) {}
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  const Country* country() const { return country_; }
  // nullptr when the file named a category key that does not exist.
  const Category* category() const { return category_; }
  // Country key + "_" + the channel's node name; unique in the catalogue
  // and the channel's name in the settings file.
  // Kept in the storage of the channel's country.
  std::string_view key() const { return key_.view(); }
  // The display name: the language-pack text of "c_" + key, else "n".
  // Kept in the storage of the channel's country.
  std::u16string_view name() const { return name_.view(); }
  // Attribute "p", kept as it was read; nothing interprets it.
  std::string_view p_value() const { return extras_ != nullptr ? extras_->p_value.view() : std::string_view(); }
  // Stream address provider name; empty = play the address directly.
  std::string_view provider() const { return extras_ != nullptr ? extras_->provider.view() : std::string_view(); }
  // At most kMaxSources.
  std::span<const StreamSource> sources() const { return {sources_, source_count_}; }
  // The group a playlist gave the channel (group-title, else #EXTGRP) in
  // UTF-8, or empty. Kept in the storage of the channel's country.
  std::string_view group() const { return group_.view(); }
  // Always a valid index into sources() when there are any, else 0.
  int32_t current_source() const { return current_source_; }
  bool favourite() const { return favourite_; }
  void set_favourite(bool favourite) { favourite_ = favourite; }
  bool radio() const { return radio_; }
  // "<country name> <channel name>"; the all-channels list's sort key.
  // Made from texts fixed at loading, on the first call (most channels are
  // never asked for it).
  const std::u16string& title() const;
  // "<country name> (<bitrate><str_kb>)", or the country name alone for a
  // channel without sources. A playlist's channel without a bitrate shows
  // "<country name> · <group>" instead (the country name alone without a
  // group). The texts and the bitrate are the ones of the moment of
  // loading; the line is made on the first call.
  const std::u16string& info_line() const;
  // False for a channel whose file entry had no stream source: it stays
  // listed but must not be played.
  bool playable() const { return !sources().empty(); }

 private:
  friend class ChannelCatalogue;
  friend class CatalogueBuilder;
  friend class Country;

  void set_sources(std::span<const StreamSource> sources) {
    sources_ = sources.data();
    source_count_ = static_cast<uint16_t>(std::min(sources.size(), kMaxSources));
  }
  // `index` when it names one of the sources, else 0.
  void set_current_source(int32_t index) {
    current_source_ = index < 0 || static_cast<size_t>(index) >= source_count_ ? int16_t{0} : static_cast<int16_t>(index);
  }

  // What few channels have: texts a few file entries carry, and the texts
  // made when asked for (most channels never are). Kept apart, a channel
  // takes 64 bytes where these would take 32 more.
  struct Extras {
    ArenaText p_value;
    ArenaText provider;
    std::u16string title;      // cache of title()
    std::u16string info_line;  // cache of info_line()
  };
  // Made on the first call.
  Extras& extras() const;

  const Country* country_;
  const Category* category_ = nullptr;
  ArenaText key_;
  ArenaWideText name_;
  // Its count is kept here, in room the fields around it leave.
  const StreamSource* sources_ = nullptr;
  // Kept rather than the info line that may show it: most lines are never
  // shown.
  ArenaText group_;
  uint16_t source_count_ = 0;
  int16_t current_source_ = 0;
  bool favourite_ = false;
  bool radio_ = false;
  bool group_line_ = false;  // the info line names the group, not a bitrate
  // nullptr until something of it is set or asked for.
  mutable std::unique_ptr<Extras> extras_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CHANNEL_H_
