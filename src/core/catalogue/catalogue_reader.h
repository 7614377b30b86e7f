#ifndef VIDORA_CORE_CATALOGUE_CATALOGUE_READER_H_
#define VIDORA_CORE_CATALOGUE_CATALOGUE_READER_H_

#include <cstdint>
#include <filesystem>

#include "core/document/doc_node.h"
#include "core/document/read_status.h"

namespace vidora {

// Parses a catalogue held in memory the way the loader reads the file: as
// stored, and when that is no document, once more after UnscrambleCatalogue
// over a copy of the bytes. `bytes` is not changed. Returns kOk when one of
// the two reads gave a complete document; otherwise why the second read
// failed (kOutOfMemory when no copy could be made), and `document` is
// empty. The update service uses this to check a download before it
// replaces the local file. Any thread.
ReadStatus ReadCatalogueBytes(const uint8_t* bytes, uint32_t count, DocNode& document);

// Reads the catalogue file at `path` into `document` (cleared first) with
// ReadCatalogueBytes. Only the bytes the file really holds are used, so a
// truncated or damaged file gives an empty document, never a
// crash. Returns false only when the file cannot be opened or read; a file
// that is no catalogue returns true with an empty, unnamed document.
bool ReadCatalogueDocument(const std::filesystem::path& path, DocNode& document);

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CATALOGUE_READER_H_
