#ifndef VIDORA_CORE_DOCUMENT_RECORD_READER_H_
#define VIDORA_CORE_DOCUMENT_RECORD_READER_H_

#include <cstdint>
#include <string_view>

#include "core/document/byte_cursor.h"
#include "core/document/document_format.h"
#include "core/document/read_status.h"

namespace vidora {

// The records of the document format as every reader of it checks them:
// the tree reader (ReadDocument) and the readers that take what they need
// straight from the bytes (the catalogue builder). Sharing them makes all
// of them accept exactly the same inputs, limits included.

// The smallest attribute is a 1-byte name prefix and a type byte; the
// smallest child is its 4-byte magic (a wrong magic ends it there). A
// count beyond what the input left could hold fails as kTooLarge.
inline constexpr uint32_t kMinAttributeBytes = 2;
inline constexpr uint32_t kMinChildBytes = 4;

// One attribute as it lies in the input; the views point into the bytes
// the cursor reads.
struct AttributeRecord {
  std::string_view name;
  uint8_t type = 0;
  uint32_t word = 0;              // types 0 to 4
  std::string_view text;          // type 6
  const uint8_t* bytes = nullptr;  // type 5 (8 bytes), 7 (2 * count), 8 (count)
  uint32_t count = 0;             // type 7: UTF-16 units; type 8: bytes
};

// Reads one attribute record. kTruncated when the input ends inside it;
// kTooLarge when a binary block is longer than the input left.
inline ReadStatus ReadAttributeRecord(ByteCursor& in, AttributeRecord& out) {
  if (!in.Narrow(out.name) || !in.U8(out.type)) return ReadStatus::kTruncated;
  switch (out.type) {
    case 0: case 1: case 2: case 3: case 4:
      return in.U32(out.word) ? ReadStatus::kOk : ReadStatus::kTruncated;
    case 5:
      return in.View(8, out.bytes) ? ReadStatus::kOk : ReadStatus::kTruncated;
    case 6:
      return in.Narrow(out.text) ? ReadStatus::kOk : ReadStatus::kTruncated;
    case 7:
      return in.Wide(out.bytes, out.count) ? ReadStatus::kOk : ReadStatus::kTruncated;
    case 8:
      if (!in.U32(out.count)) return ReadStatus::kTruncated;
      return in.View(out.count, out.bytes) ? ReadStatus::kOk : ReadStatus::kTooLarge;
    default:
      return ReadStatus::kOk;
  }
}

// Reads a node's name and attribute count, right after its magic, for a
// node at nesting `depth` (the root is 0): kTooDeep beyond
// kMaxDocumentDepth.
inline ReadStatus ReadNodeHead(ByteCursor& in, uint32_t depth, std::string_view& name, uint32_t& attributes) {
  if (depth > static_cast<uint32_t>(kMaxDocumentDepth)) return ReadStatus::kTooDeep;
  if (!in.Narrow(name) || !in.U32(attributes)) return ReadStatus::kTruncated;
  return attributes > in.remaining() / kMinAttributeBytes ? ReadStatus::kTooLarge : ReadStatus::kOk;
}

// Reads a node's child count, after its attributes.
inline ReadStatus ReadChildCount(ByteCursor& in, uint32_t& children) {
  if (!in.U32(children)) return ReadStatus::kTruncated;
  return children > in.remaining() / kMinChildBytes ? ReadStatus::kTooLarge : ReadStatus::kOk;
}

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_RECORD_READER_H_
