#include "core/document/document_format.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/byte_cursor.h"
#include "core/document/file_bytes.h"

#include "core/document/file_stream.h"
#include "core/document/memory_stream.h"

namespace vidora {
namespace {

constexpr char kMagic[4] = {'Q', 'D', 'O', 'C'};
// The smallest attribute is a 1-byte name prefix and a type byte; the
// smallest child is its 4-byte magic (a wrong magic ends it there).
constexpr uint32_t kMinAttributeBytes = 2;
constexpr uint32_t kMinChildBytes = 4;

}  // namespace

// Lets the reader hand a node whole tables at once; the first-one-wins
// rule is applied once per table as it is assigned.
struct DocumentReaderAccess {
  static DocArena& Arena(DocNode& node) { return node.Arena(); }
  static void AssignAttributes(DocNode& node, DocAttribute* const* records, size_t count) {
    node.attributes_.Assign(node.Arena(), records, count);
  }
  static void AssignChildren(DocNode& node, DocNode* const* children, size_t count) {
    node.children_.Assign(node.Arena(), children, count);
  }
};

namespace {

// Parses one tree from a contiguous block. Nodes and attributes come from
// the tree's arena; the entries of the tables being read wait on two
// stacks shared by all levels and are handed over, one exact array per
// table, when a node is complete.
class DocumentReader {
 public:
  DocumentReader(ByteCursor& in, DocArena& arena) : in_(in), arena_(arena) {}

  // kBadMagic only for a node whose magic is wrong; the caller decides
  // what that means (the end of the parse at the root, an empty child
  // below).
  ReadStatus ReadNode(DocNode& node, int depth) {
    const ByteCursor::Magic magic = in_.ReadMagic();
    if (magic == ByteCursor::Magic::kShort) return ReadStatus::kTruncated;
    if (magic == ByteCursor::Magic::kWrong) return ReadStatus::kBadMagic;
    if (depth > kMaxDocumentDepth) return ReadStatus::kTooDeep;

    std::string_view name;
    if (!in_.Narrow(name)) return ReadStatus::kTruncated;
    node.set_name(std::string(name));

    uint32_t attribute_count = 0;
    if (!in_.U32(attribute_count)) return ReadStatus::kTruncated;
    if (attribute_count > in_.remaining() / kMinAttributeBytes) return ReadStatus::kTooLarge;
    const size_t attributes_base = attributes_.size();
    for (uint32_t i = 0; i < attribute_count; ++i) {
      if (ReadStatus s = ReadAttribute(); s != ReadStatus::kOk) return s;
    }
    DocumentReaderAccess::AssignAttributes(node, attributes_.data() + attributes_base,
                                           attributes_.size() - attributes_base);
    attributes_.resize(attributes_base);

    uint32_t child_count = 0;
    if (!in_.U32(child_count)) return ReadStatus::kTruncated;
    if (child_count > in_.remaining() / kMinChildBytes) return ReadStatus::kTooLarge;
    const size_t children_base = children_.size();
    for (uint32_t i = 0; i < child_count; ++i) {
      DocNode* child = arena_.NewNode(std::string());
      const ReadStatus s = ReadNode(*child, depth + 1);
      // A child with a wrong magic stays empty and goes in under the empty
      // name; reading continues right after its four bytes.
      if (s != ReadStatus::kOk && s != ReadStatus::kBadMagic) return s;
      children_.push_back(child);
    }
    DocumentReaderAccess::AssignChildren(node, children_.data() + children_base, children_.size() - children_base);
    children_.resize(children_base);
    return ReadStatus::kOk;
  }

 private:
  ReadStatus ReadAttribute() {
    std::string_view name;
    uint8_t type = 0;
    if (!in_.Narrow(name) || !in_.U8(type)) return ReadStatus::kTruncated;
    DocAttribute* record = arena_.NewAttribute(std::string(name));
    switch (type) {
      case 0: case 1: case 2: case 3: case 4: {
        uint32_t word = 0;
        if (!in_.U32(word)) return ReadStatus::kTruncated;
        record->SetWord(static_cast<AttributeType>(type), word);
        break;
      }
      case 5: {
        const uint8_t* bytes = nullptr;
        if (!in_.View(8, bytes)) return ReadStatus::kTruncated;
        Value64Bytes value{};
        std::memcpy(value.data(), bytes, 8);
        record->SetValue64(value);
        break;
      }
      case 6: {
        std::string_view text;
        if (!in_.Narrow(text)) return ReadStatus::kTruncated;
        record->SetString(std::string(text));
        break;
      }
      case 7: {
        const uint8_t* bytes = nullptr;
        uint32_t units = 0;
        if (!in_.Wide(bytes, units)) return ReadStatus::kTruncated;
        record->SetWideString(bytes, units);
        break;
      }
      case 8: {
        uint32_t count = 0;
        const uint8_t* bytes = nullptr;
        if (!in_.U32(count)) return ReadStatus::kTruncated;
        if (!in_.View(count, bytes)) return ReadStatus::kTooLarge;
        MemoryStream block;
        if (count > 0) {
          if (!block.Reserve(count)) return ReadStatus::kOutOfMemory;
          std::memcpy(block.MutableData(), bytes, count);
        }
        record->SetBinary(std::move(block));
        break;
      }
      default:
        record->SetValueless(type);
        break;
    }
    attributes_.push_back(record);
    return ReadStatus::kOk;
  }

  ByteCursor& in_;
  DocArena& arena_;
  std::vector<DocAttribute*> attributes_;
  std::vector<DocNode*> children_;
};

// Parses the root from `bytes`; on failure `node` is left empty, its name
// included.
ReadStatus ParseRoot(const uint8_t* bytes, uint32_t count, DocNode& node, uint32_t& consumed) {
  ByteCursor in(bytes, count);
  ReadStatus status = ReadStatus::kOutOfMemory;
  try {
    DocumentReader reader(in, DocumentReaderAccess::Arena(node));
    status = reader.ReadNode(node, 0);
  } catch (const std::bad_alloc&) {
    status = ReadStatus::kOutOfMemory;
  }
  consumed = count - in.remaining();
  if (status != ReadStatus::kOk) {
    node.Clear();
    node.set_name({});
  }
  return status;
}

// The encoded size of the parts of the format, as the writer emits them.
uint64_t LengthSize(uint32_t length) { return length < 0xFF ? 1 : length < 0xFFFF ? 3 : 7; }
uint64_t NarrowSize(const std::string& text) {
  const auto length = static_cast<uint32_t>(text.size());
  return LengthSize(length) + length;
}

uint64_t AttributeSize(const DocAttribute& attribute) {
  uint64_t size = NarrowSize(attribute.name()) + 1;
  switch (attribute.type_code()) {
    case 0: case 1: case 2: case 3: case 4:
      return size + 4;
    case 5:
      return size + 8;
    case 6: {
      const std::string* text = attribute.string_value();
      return size + (text != nullptr ? NarrowSize(*text) : 1);
    }
    case 7: {
      const std::u16string* text = attribute.wide_string_value();
      const auto units = static_cast<uint32_t>(text != nullptr ? text->size() : 0);
      return size + LengthSize(units) + 2 * uint64_t{units};
    }
    case 8: {
      const MemoryStream* block = attribute.binary_value();
      return size + 4 + (block != nullptr ? block->size() : 0);
    }
    default:
      return size;
  }
}

uint64_t NodeSize(const DocNode& node) {
  uint64_t size = 4 + NarrowSize(node.name()) + 4 + 4;
  for (const auto& attribute : node.attributes()) size += AttributeSize(*attribute);
  for (const auto& child : node.children()) size += NodeSize(*child);
  return size;
}

// Encodes into a staging area [at_, end_) with a bounds check per group
// of fields and no call per field. The area is either the target memory
// stream's own block, grown once to the exact encoded size (no copy at
// all), or a fixed buffer handed to any other stream in large pieces.
// When the target fails, encoding goes on into the buffer and is dropped.
class Encoder {
 public:
  // Encodes straight into `memory` from its position on; false when the
  // block cannot be grown to `size` more bytes.
  bool StartInMemory(MemoryStream& memory, uint64_t size) {
    const uint64_t end = uint64_t{memory.Position()} + size;
    if (end > UINT32_MAX) return false;
    if (end > memory.Size() && !memory.Reserve(static_cast<uint32_t>(end))) return false;
    memory_ = &memory;
    at_ = memory.MutableData() + memory.Position();
    end_ = memory.MutableData() + end;
    return true;
  }
  void StartInPieces(ByteStream& stream) {
    stream_ = &stream;
    buffer_ = std::make_unique<uint8_t[]>(kPiece);
    at_ = buffer_.get();
    end_ = at_ + kPiece;
  }

  // Hands what is staged to the stream; a memory stream is left right
  // after the encoding.
  void Finish() {
    if (memory_ != nullptr && ok_) {
      memory_->Seek(at_ - memory_->MutableData(), kSeekBegin);
    } else {
      Spill();
    }
  }
  bool ok() const { return ok_; }

  void Node(const DocNode& node) {
    Bytes(kMagic, 4);
    Narrow(node.name());
    Room(4);
    U32(static_cast<uint32_t>(node.attributes().size()));
    for (const auto& attribute : node.attributes()) Attribute(*attribute);
    Room(4);
    U32(static_cast<uint32_t>(node.children().size()));
    for (const auto& child : node.children()) Node(*child);
  }

 private:
  static constexpr size_t kPiece = size_t{1} << 20;

  void Attribute(const DocAttribute& attribute) {
    Narrow(attribute.name());
    const int32_t code = attribute.type_code();
    // Room for exactly what follows: the memory block has no byte to spare.
    switch (code) {
      case 0: case 1: case 2: case 3: case 4: case 8: Room(5); break;
      case 5: Room(9); break;
      default: Room(1); break;
    }
    U8(static_cast<uint8_t>(code));
    switch (code) {
      case 0: case 1: case 2: case 3: case 4:
        U32(attribute.word());
        break;
      case 5: {
        const Value64Bytes* bytes = attribute.value64();
        const Value64Bytes zero{};
        std::memcpy(at_, (bytes != nullptr ? bytes : &zero)->data(), 8);
        at_ += 8;
        break;
      }
      case 6: {
        const std::string* text = attribute.string_value();
        if (text != nullptr) Narrow(*text); else Length(0);
        break;
      }
      case 7: {
        const std::u16string* text = attribute.wide_string_value();
        if (text != nullptr) Wide(*text); else Length(0);
        break;
      }
      case 8: {
        const MemoryStream* block = attribute.binary_value();
        const uint32_t count = block != nullptr ? block->size() : 0;
        U32(count);
        if (count > 0) Bytes(block->Data(), count);
        break;
      }
      default:
        break;
    }
  }

  // Makes sure `count` (at most a few) bytes fit.
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
    Room(LengthSize(length));
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
  void Narrow(const std::string& text) {
    const auto length = static_cast<uint32_t>(text.size());
    Length(length);
    Bytes(text.data(), length);
  }
  void Wide(const std::u16string& text) {
    const auto units = static_cast<uint32_t>(text.size());
    Length(units);
    if constexpr (std::endian::native == std::endian::little) {
      Bytes(text.data(), 2 * size_t{units});
    } else {
      for (char16_t unit : text) {
        Room(2);
        U16(static_cast<uint16_t>(unit));
      }
    }
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

  // Hands the staged bytes to the stream and starts the buffer afresh. In
  // memory the block was sized exactly, so only a failed target (whose
  // rest is dropped) gets here.
  void Spill() {
    if (memory_ != nullptr) {
      if (ok_) {
        ok_ = false;
        buffer_ = std::make_unique<uint8_t[]>(kPiece);
      }
    } else if (ok_ && at_ > buffer_.get()) {
      const auto count = static_cast<uint32_t>(at_ - buffer_.get());
      if (stream_->Write(buffer_.get(), count) != count) ok_ = false;
    }
    at_ = buffer_.get();
    end_ = at_ + kPiece;
  }

  MemoryStream* memory_ = nullptr;
  ByteStream* stream_ = nullptr;
  std::unique_ptr<uint8_t[]> buffer_;
  uint8_t* at_ = nullptr;
  uint8_t* end_ = nullptr;
  bool ok_ = true;
};

}  // namespace

ReadStatus ReadDocumentStatus(DocNode& node, ByteStream& stream) {
  node.Clear();
  const uint32_t start = stream.Position();
  const uint32_t size = stream.Size();
  const uint32_t count = size > start ? size - start : 0;
  uint32_t consumed = 0;
  ReadStatus status = ReadStatus::kOk;
  if (auto* memory = dynamic_cast<MemoryStream*>(&stream); memory != nullptr) {
    // The block is already contiguous: parse it where it lies.
    status = ParseRoot(memory->Data() == nullptr ? nullptr : memory->Data() + start, count, node, consumed);
  } else {
    // One read of everything left (into memory nobody fills with zeros
    // first), then a parse of the contiguous copy.
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[count == 0 ? 1 : count]);
    if (bytes == nullptr) {
      node.set_name({});
      return ReadStatus::kOutOfMemory;
    }
    uint32_t filled = 0;
    while (filled < count) {
      const uint32_t got = stream.Read(bytes.get() + filled, count - filled);
      if (got == 0) break;
      filled += got;
    }
    status = ParseRoot(bytes.get(), filled, node, consumed);
  }
  // The stream ends up right after what the parse took.
  stream.Seek(static_cast<int64_t>(start) + consumed, kSeekBegin);
  return status;
}

bool ReadDocument(DocNode& node, ByteStream& stream) { return ReadDocumentStatus(node, stream) == ReadStatus::kOk; }

ReadStatus ReadDocumentBytes(DocNode& node, const uint8_t* bytes, uint32_t count) {
  node.Clear();
  uint32_t consumed = 0;
  return ParseRoot(bytes, count, node, consumed);
}

bool WriteDocument(const DocNode& node, ByteStream& stream) {
  Encoder out;
  try {
    if (auto* memory = dynamic_cast<MemoryStream*>(&stream); memory != nullptr) {
      if (!out.StartInMemory(*memory, NodeSize(node))) return false;
    } else {
      out.StartInPieces(stream);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  out.Node(node);
  out.Finish();
  return out.ok();
}

ReadStatus LoadDocumentFileStatus(DocNode& node, const std::filesystem::path& path) {
  FileBytes bytes;
  if (!bytes.Read(path)) return ReadStatus::kNotOpened;
  return ReadDocumentBytes(node, bytes.data(), bytes.size());
}

bool LoadDocumentFile(DocNode& node, const std::filesystem::path& path) {
  const ReadStatus status = LoadDocumentFileStatus(node, path);
  return status == ReadStatus::kOk;
}

bool SaveDocumentFile(const DocNode& node, const std::filesystem::path& path) {
  FileStream file;
  if (!file.Open(path, FileStream::Mode::kWrite)) return false;
  const bool written = WriteDocument(node, file);
  const bool flushed = file.Sync();
  file.Close();
  return written && flushed;
}

}  // namespace vidora
