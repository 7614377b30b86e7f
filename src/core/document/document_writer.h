#ifndef VIDORA_CORE_DOCUMENT_DOCUMENT_WRITER_H_
#define VIDORA_CORE_DOCUMENT_DOCUMENT_WRITER_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

#include "core/document/doc_attribute.h"

namespace vidora {

class DocNode;

// The one encoder of the document format ("QDOC"), written as a stream of
// records: a node is its head (magic, name, attribute count), then that
// many attributes, then its child count, then that many child nodes. A
// caller that has no tree (a playlist written straight from its entries)
// states the counts itself; the writer does not check that what follows
// matches them. Integers are little-endian and length prefixes take the
// shortest form (one byte below 255; 255 and 16 bits below 65535; 255,
// 0xFFFF and 32 bits beyond).
//
// The bytes go either straight into one block the caller sized exactly
// (EncodedSize: no copy at all), or through a staging buffer to a sink in
// pieces of kPieceBytes. Once the sink refuses a piece, or a write would
// pass the block's end, the writer has failed: later bytes are dropped and
// Finish returns false. Not thread-safe; one writer per document.
class DocumentWriter {
 public:
  static constexpr size_t kPieceBytes = size_t{1} << 20;
  // Takes the next `count` bytes; false when it could not.
  using Sink = std::function<bool(const uint8_t* bytes, size_t count)>;

  // Pieces go to `sink`, in order. Allocates the staging buffer (throws
  // std::bad_alloc when it cannot).
  explicit DocumentWriter(Sink sink);
  // Bytes go to [block, block + size), which the writer borrows.
  DocumentWriter(uint8_t* block, size_t size);
  DocumentWriter(const DocumentWriter&) = delete;
  DocumentWriter& operator=(const DocumentWriter&) = delete;
  ~DocumentWriter();

  // The encoded size of `node` and its subtree, as Node writes it.
  static uint64_t EncodedSize(const DocNode& node);

  // `node` and its whole subtree.
  void Node(const DocNode& node);

  // The records of a node written without a tree. (The small writes are
  // defined here: inlined, they keep encoding at memory speed.)
  void NodeHead(std::string_view name, uint32_t attribute_count) {
    Bytes("QDOC", 4);
    Narrow(name);
    Room(4);
    U32(attribute_count);
  }
  void ChildCount(uint32_t count) {
    Room(4);
    U32(count);
  }
  // Types Plain to Word4 (Int and Bool included) with their 32-bit word.
  void WordAttribute(std::string_view name, AttributeType type, uint32_t word) {
    AttributeHead(name, static_cast<uint8_t>(type), 4);
    U32(word);
  }
  void IntAttribute(std::string_view name, int32_t value) {
    WordAttribute(name, AttributeType::Int, static_cast<uint32_t>(value));
  }
  void BoolAttribute(std::string_view name, bool value) { WordAttribute(name, AttributeType::Bool, value ? 1 : 0); }
  void StringAttribute(std::string_view name, std::string_view text) {
    AttributeHead(name, static_cast<uint8_t>(AttributeType::String), 0);
    Narrow(text);
  }
  void WideAttribute(std::string_view name, std::u16string_view text);
  // A WideString attribute given as UTF-8 text.
  void WideAttributeFromUtf8(std::string_view name, std::string_view utf8);

  // Hands what is staged to the sink. True when every byte written so far
  // was taken (the sink took every piece, or all fitted in the block).
  bool Finish();
  bool ok() const { return ok_; }

 private:
  void Room(size_t count) {
    if (static_cast<size_t>(end_ - at_) < count) Spill();
  }
  void U8(uint8_t v) { *at_++ = v; }
  void U16(uint16_t v) {
    at_[0] = static_cast<uint8_t>(v);
    at_[1] = static_cast<uint8_t>(v >> 8);
    at_ += 2;
  }
  void U32(uint32_t v) {
    at_[0] = static_cast<uint8_t>(v);
    at_[1] = static_cast<uint8_t>(v >> 8);
    at_[2] = static_cast<uint8_t>(v >> 16);
    at_[3] = static_cast<uint8_t>(v >> 24);
    at_ += 4;
  }
  // A length prefix, with its room.
  void Length(uint32_t length) {
    Room(length < 0xFF ? 1 : length < 0xFFFF ? 3 : 7);
    if (length < 0xFF) {
      U8(static_cast<uint8_t>(length));
    } else if (length < 0xFFFF) {
      U8(0xFF);
      U16(static_cast<uint16_t>(length));
    } else {
      U8(0xFF);
      U16(0xFFFF);
      U32(length);
    }
  }
  void Narrow(std::string_view text) {
    const auto length = static_cast<uint32_t>(text.size());
    Length(length);
    Bytes(text.data(), length);
  }
  void Wide(std::u16string_view text);
  // Text of ASCII characters only, one UTF-16 unit each.
  void AsciiAsWide(std::string_view text);
  // A name followed by a type byte, with room for `value_bytes` more.
  void AttributeHead(std::string_view name, uint8_t type, size_t value_bytes) {
    Narrow(name);
    // Room for exactly what follows: a block has no byte to spare.
    Room(1 + value_bytes);
    U8(type);
  }
  void Bytes(const void* bytes, size_t count) {
    const auto* from = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
      if (at_ == end_) Spill();
      const size_t piece = std::min(count, static_cast<size_t>(end_ - at_));
      std::memcpy(at_, from, piece);
      at_ += piece;
      from += piece;
      count -= piece;
    }
  }
  // Hands the staged bytes on and starts the buffer afresh.
  void Spill();

  Sink sink_;
  // Block mode: the caller's block; after a failure, scratch space.
  bool in_block_ = false;
  std::unique_ptr<uint8_t[]> buffer_;
  uint8_t* start_ = nullptr;
  uint8_t* at_ = nullptr;
  uint8_t* end_ = nullptr;
  bool ok_ = true;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_DOCUMENT_WRITER_H_
