#ifndef VIDORA_CORE_CATALOGUE_COUNTRY_H_
#define VIDORA_CORE_CATALOGUE_COUNTRY_H_

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/catalogue/catalogue_arena.h"
#include "core/catalogue/channel.h"
#include "core/catalogue/channel_store.h"
#include "core/catalogue/name_table.h"

namespace vidora {

class SkinImage;

// The storage of the countries built together (one catalogue file, or one
// extra file): their channels and the channels' texts and source lists.
// Each of those countries shares it; it goes when the last of them goes.
struct ChannelBatch {
  ChannelStore channels;
  CatalogueArena texts;
};

// A top-level group of the catalogue. Lists its channels by their node
// names in byte-wise order; the channels live in the country's batch.
// Owned by the catalogue; borrowed pointers stay valid until the next
// reload or the catalogue's destruction.
class Country {
 public:
  // The channels by node name, sorted byte-wise: iterates (name, channel)
  // pairs like a map. A name views the channel's key, past the country
  // key and "_".
  class ChannelIndex {
   public:
    using value_type = std::pair<std::string_view, Channel*>;

    class const_iterator {
     public:
      using iterator_category = std::forward_iterator_tag;
      using value_type = ChannelIndex::value_type;
      using difference_type = std::ptrdiff_t;
      using pointer = void;
      using reference = value_type;
      // What -> points at: the pair made for this position.
      struct Arrow {
        value_type pair;
        const value_type* operator->() const { return &pair; }
      };

      const_iterator() = default;
      value_type operator*() const { return {Name(*at_, prefix_), *at_}; }
      Arrow operator->() const { return Arrow{**this}; }
      const_iterator& operator++() {
        ++at_;
        return *this;
      }
      const_iterator operator++(int) {
        const_iterator before = *this;
        ++at_;
        return before;
      }
      bool operator==(const const_iterator& other) const { return at_ == other.at_; }

     private:
      friend class ChannelIndex;
      const_iterator(std::vector<Channel*>::const_iterator at, size_t prefix) : at_(at), prefix_(prefix) {}
      std::vector<Channel*>::const_iterator at_;
      size_t prefix_ = 0;
    };

    const_iterator begin() const { return {entries_.begin(), prefix_}; }
    const_iterator end() const { return {entries_.end(), prefix_}; }
    bool empty() const { return entries_.empty(); }
    size_t size() const { return entries_.size(); }
    // The channel named `name`, or end().
    const_iterator find(std::string_view name) const {
      auto at = std::lower_bound(entries_.begin(), entries_.end(), name, [this](const Channel* entry, std::string_view key) {
        return Name(entry, prefix_) < key;
      });
      return at != entries_.end() && Name(*at, prefix_) == name ? const_iterator(at, prefix_) : end();
    }

   private:
    friend class Country;
    static std::string_view Name(const Channel* channel, size_t prefix) {
      return channel->key().substr(prefix);
    }
    std::vector<Channel*> entries_;
    size_t prefix_ = 0;  // the country key's length and the "_"
  };

  // `batch` holds the channels; nullptr gives the country one of its own.
  Country(std::string key, const SkinImage* flag_image, std::u16string display_name,
          std::shared_ptr<ChannelBatch> batch = nullptr)
      : key_(std::move(key)),
        flag_image_(flag_image),
        display_name_(std::move(display_name)),
        batch_(batch != nullptr ? std::move(batch) : std::make_shared<ChannelBatch>()) {
    channels_.prefix_ = key_.size() + 1;
  }
  Country(const Country&) = delete;
  Country& operator=(const Country&) = delete;

  const std::string& key() const { return key_; }
  // The skin picture "f_" + key, or nullptr; borrowed from the skin.
  const SkinImage* flag_image() const { return flag_image_; }
  // The language-pack text of "c_" + key at loading, or the key itself.
  const std::u16string& display_name() const { return display_name_; }
  const ChannelIndex& channels() const { return channels_; }
  // The storage of the country's channels. While it is held, their keys
  // and names stay valid and unchanged, also after a reload or removal,
  // and may then be read on any thread.
  std::shared_ptr<const ChannelBatch> storage() const { return batch_; }

 private:
  friend class Channel;
  friend class ChannelCatalogue;
  friend class CatalogueBuilder;

  // A new channel named `name` (its key made from it), or nullptr when
  // the country has a channel of that name already: the first one wins.
  // Until FinishChannels the index is unsorted.
  Channel* AddChannel(std::string_view name) {
    const size_t prefix = channels_.prefix_;
    const std::vector<Channel*>& entries = channels_.entries_;
    auto name_of = [&entries, prefix](uint32_t index) { return ChannelIndex::Name(entries[index], prefix); };
    if (taken_.Find(name, name_of) != NameTable::kNone) return nullptr;
    Channel* channel = batch_->channels.Add(this);
    std::string key;
    key.reserve(key_.size() + 1 + name.size());
    key.append(key_).append("_").append(name);
    channel->key_ = batch_->texts.KeepCounted(key);
    const std::string_view own_name = channel->key().substr(key_.size() + 1);
    taken_.Insert(own_name, static_cast<uint32_t>(channels_.entries_.size()));
    channels_.entries_.push_back(channel);
    return channel;
  }
  // Room for `count` channels, when the build knows how many may come.
  void ReserveChannels(size_t count) {
    channels_.entries_.reserve(channels_.entries_.size() + count);
    taken_.Reserve(taken_.size() + count);
  }
  // Sorts the index once every channel has been added.
  void FinishChannels() {
    const size_t prefix = channels_.prefix_;
    std::sort(channels_.entries_.begin(), channels_.entries_.end(), [prefix](const Channel* a, const Channel* b) {
      return ChannelIndex::Name(a, prefix) < ChannelIndex::Name(b, prefix);
    });
    taken_.Clear();
  }
  // The storage is the batch's, not part of the country's own state: a
  // built channel may still keep a text in it.
  CatalogueArena& texts() const { return batch_->texts; }

  std::string key_;
  const SkinImage* flag_image_;
  std::u16string display_name_;
  std::shared_ptr<ChannelBatch> batch_;
  ChannelIndex channels_;
  // The names added while building, as positions in the unsorted index;
  // empty afterwards.
  NameTable taken_;
  // The language pack's "str_kb" at loading, which info lines end their
  // bitrate with; borrowed from the catalogue, nullptr when unset.
  const std::u16string* kb_text_ = nullptr;
};

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_COUNTRY_H_
