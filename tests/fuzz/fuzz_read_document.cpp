// Feeds arbitrary bytes to the document reader; a document that reads is
// written back and must read again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/document/document_format.h"
#include "core/document/memory_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  vidora::MemoryStream input(data, static_cast<uint32_t>(size));
  vidora::DocNode root;
  if (vidora::ReadDocument(root, input) != vidora::ReadStatus::kOk) return 0;
  vidora::MemoryStream first;
  vidora::WriteDocument(root, first);
  first.Seek(0, vidora::kSeekBegin);
  vidora::DocNode again;
  if (vidora::ReadDocument(again, first) != vidora::ReadStatus::kOk) std::abort();
  vidora::MemoryStream second;
  vidora::WriteDocument(again, second);
  if (first.size() != second.size() || std::memcmp(first.Data(), second.Data(), first.size()) != 0) {
    std::abort();
  }
  return 0;
}
