#ifndef VIDORA_CORE_CATALOGUE_CATALOGUE_BUILDER_H_
#define VIDORA_CORE_CATALOGUE_CATALOGUE_BUILDER_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/byte_cursor.h"
#include "core/document/read_status.h"

namespace vidora {

class CatalogueArena;
class Channel;
struct ChannelBatch;
class ChannelCatalogue;
class Country;
class DocNode;
class FileBytes;

// The attributes of one node as the builder met them, for the hooks of an
// extra build: views into the input, valid during the hook's call only.
// The first attribute of a name decides; one of another type counts as
// absent, as for the document reader's Get functions, except that a text
// asked for as a WideString may be a String in UTF-8.
class NodeAttributes {
 public:
  // The String attribute `name`, or empty.
  std::string_view String(std::string_view name) const;
  // The WideString attribute `name`, or `fallback`.
  std::u16string WideString(std::string_view name, std::u16string_view fallback = {}) const;
  // The String attribute `name`, or the WideString one converted into
  // `scratch` (whose storage is reused); empty when absent. Valid while
  // both the input and `scratch` are.
  std::string_view Utf8Text(std::string_view name, std::string& scratch) const;

  // One attribute as it lies in the input.
  struct Entry {
    std::string_view name;
    uint8_t type;
    std::string_view text;        // String
    const uint8_t* wide;          // WideString, little-endian units
    uint32_t wide_units;
  };

 private:
  friend class CatalogueBuilder;
  const Entry* Find(std::string_view name) const;
  std::vector<Entry> entries_;
};

// What a build of an extra file (an imported playlist beside the
// catalogue) does differently: its countries and channels go to lists of
// their own (the catalogue's stay untouched, also on failure, and its
// version is not set), countries are made by `make_country`, and
// `on_channel` sees each channel once it is complete. UI thread, or any
// thread with `warnings` set.
struct ExtraBuildHooks {
  using CountryMaker =
      std::function<std::unique_ptr<Country>(std::string_view key, const NodeAttributes&, std::shared_ptr<ChannelBatch>)>;
  std::map<std::string, std::unique_ptr<Country>, std::less<>>* countries = nullptr;
  std::vector<Channel*>* channels = nullptr;
  CountryMaker make_country;
  std::function<void(Channel&, const NodeAttributes&)> on_channel;
  // Set for a build away from the UI thread: the warnings go here instead
  // of to the catalogue's sink, and channel names are the file's own (no
  // language-pack text is asked for). The build then only reads the
  // catalogue's categories.
  std::vector<std::u16string>* warnings = nullptr;
  // When raised, the build stops as if the input ended (may be null).
  const std::atomic<bool>* cancel = nullptr;
};

// Builds the countries and channels of a catalogue straight from the bytes
// of a catalogue document, in one pass and without a document tree. The
// result is what building from the tree the document reader makes would
// give: the same acceptance of the bytes (limits included), first one wins
// among equally named nodes and attributes, attributes of another type
// count as absent (a channel's "n" and a source's "u" may be a WideString
// or a String in UTF-8), sources run from "0" up to the first missing number,
// and the same warnings in the same order. UI thread (it fills the
// catalogue).
class CatalogueBuilder {
 public:
  // `saved_state` is the per-channel state to apply (nullptr for none).
  // `bytes`, when given, gets its finished pages released while building.
  CatalogueBuilder(ChannelCatalogue& catalogue, const DocNode* saved_state, FileBytes* bytes)
      : catalogue_(catalogue), saved_state_(saved_state), file_(bytes) {}
  // An extra build with `hooks` (borrowed for the builder's lifetime; its
  // lists must be set).
  CatalogueBuilder(ChannelCatalogue& catalogue, const DocNode* saved_state, FileBytes* bytes,
                   const ExtraBuildHooks* hooks)
      : catalogue_(catalogue), saved_state_(saved_state), file_(bytes), hooks_(hooks) {}

  // Parses `count` bytes at `data` into the catalogue's countries and
  // all-channels list (unsorted) and sets its version. On any failure
  // nothing is added and the version is left alone; the warnings of a
  // successful build are handed to the catalogue's sink in file order.
  ReadStatus Build(const uint8_t* data, uint32_t count);

 private:
  struct SourceEntry {
    uint32_t number;
    int32_t bitrate;
    const uint8_t* address;
    uint32_t address_units;  // bytes when `narrow`
    bool narrow;             // a String in UTF-8, else a WideString
  };

  ReadStatus CountryNode(ByteCursor& in, uint32_t depth);
  ReadStatus ChannelNode(ByteCursor& in, Country* country, uint32_t depth);
  ReadStatus SourceNode(ByteCursor& in, uint32_t depth, uint32_t child_count);

  ChannelCatalogue& catalogue_;
  const DocNode* saved_state_;
  FileBytes* file_;
  const ExtraBuildHooks* hooks_ = nullptr;
  // The attributes of the node being read, kept for the hooks only.
  NodeAttributes attributes_;
  const uint8_t* base_ = nullptr;
  std::vector<std::u16string> warnings_;
  // Where the channels of this build live, shared by its countries.
  std::shared_ptr<ChannelBatch> batch_;
  // The countries made by this build, in file order.
  std::vector<const Country*> built_;
  // Sources of the channel being read, reused from channel to channel.
  std::vector<SourceEntry> sources_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CATALOGUE_BUILDER_H_
