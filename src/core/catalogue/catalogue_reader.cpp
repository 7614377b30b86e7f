#include "core/catalogue/catalogue_reader.h"

#include <new>
#include <vector>

#include "core/catalogue/catalogue_scrambler.h"
#include "core/document/document_format.h"
#include "core/document/file_bytes.h"

namespace vidora {
namespace {

bool ReadStored(const uint8_t* bytes, uint32_t count, DocNode& document) {
  return ReadDocumentBytes(document, bytes, count) == ReadStatus::kOk;
}

}  // namespace

ReadStatus ReadCatalogueBytes(const uint8_t* bytes, uint32_t count, DocNode& document) {
  if (bytes == nullptr) count = 0;
  if (ReadStored(bytes, count, document)) return ReadStatus::kOk;
  // The file carries no mark of scrambling: whatever is not a document as
  // stored is tried once more through the key stream, on a copy.
  std::vector<uint8_t> copy;
  try {
    copy.assign(bytes, bytes + count);
  } catch (const std::bad_alloc&) {
    return ReadStatus::kOutOfMemory;  // `document` was left empty by the failed read
  }
  UnscrambleCatalogue(copy.data(), count);
  return ReadDocumentBytes(document, copy.data(), count);
}

bool ReadCatalogueDocument(const std::filesystem::path& path, DocNode& document) {
  FileBytes bytes;
  if (!bytes.Read(path)) return false;
  // The block is ours, so a scrambled file is unscrambled in place.
  if (!ReadStored(bytes.data(), bytes.size(), document)) {
    UnscrambleCatalogue(bytes.data(), bytes.size());
    ReadStored(bytes.data(), bytes.size(), document);
  }
  return true;
}

}  // namespace vidora
