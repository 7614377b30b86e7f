#ifndef VIDORA_CORE_CATALOGUE_CATALOGUE_BUILDER_H_
#define VIDORA_CORE_CATALOGUE_CATALOGUE_BUILDER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/byte_cursor.h"
#include "core/document/read_status.h"

namespace vidora {

struct ChannelBatch;
class ChannelCatalogue;
class Country;
class DocNode;
class FileBytes;

// Builds the countries and channels of a catalogue straight from the bytes
// of a catalogue document, in one pass and without a document tree. The
// result is what building from the tree the document reader makes would
// give: the same acceptance of the bytes (limits included), first one wins
// among equally named nodes and attributes, attributes of another type
// count as absent, sources run from "0" up to the first missing number,
// and the same warnings in the same order. UI thread (it fills the
// catalogue).
class CatalogueBuilder {
 public:
  // `saved_state` is the per-channel state to apply (nullptr for none).
  // `bytes`, when given, gets its finished pages released while building.
  CatalogueBuilder(ChannelCatalogue& catalogue, const DocNode* saved_state, FileBytes* bytes)
      : catalogue_(catalogue), saved_state_(saved_state), file_(bytes) {}

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
    uint32_t address_units;
  };

  ReadStatus CountryNode(ByteCursor& in, uint32_t depth);
  ReadStatus ChannelNode(ByteCursor& in, Country* country, uint32_t depth);
  ReadStatus SourceNode(ByteCursor& in, uint32_t depth, uint32_t child_count);

  ChannelCatalogue& catalogue_;
  const DocNode* saved_state_;
  FileBytes* file_;
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
