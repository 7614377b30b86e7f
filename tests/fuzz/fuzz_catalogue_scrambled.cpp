// The catalogue loader on scrambled files: the fuzzer's bytes are the
// plain catalogue, scrambled before the loader sees them, so mutations
// reach the document structure behind the key stream.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/catalogue/catalogue_reader.h"
#include "core/catalogue/catalogue_scrambler.h"
#include "core/catalogue/loader_warnings.h"
#include "core/document/doc_node.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  std::vector<uint8_t> bytes(data, data + size);
  vidora::UnscrambleCatalogue(bytes.data(), static_cast<uint32_t>(bytes.size()));
  vidora::DocNode document;
  if (vidora::ReadCatalogueBytes(bytes.data(), static_cast<uint32_t>(bytes.size()), document) == vidora::ReadStatus::kOk) {
    vidora::CatalogueHasLoaderWarnings(document);
  }
  return 0;
}
