#include "core/document/document_format.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/byte_cursor.h"
#include "core/document/document_writer.h"
#include "core/document/file_bytes.h"
#include "core/document/file_stream.h"
#include "core/document/memory_stream.h"
#include "core/document/record_reader.h"

namespace vidora {

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
  ReadStatus ReadNode(DocNode& node, uint32_t depth) {
    const ByteCursor::Magic magic = in_.ReadMagic();
    if (magic == ByteCursor::Magic::kShort) return ReadStatus::kTruncated;
    if (magic == ByteCursor::Magic::kWrong) return ReadStatus::kBadMagic;

    std::string_view name;
    uint32_t attribute_count = 0;
    if (ReadStatus s = ReadNodeHead(in_, depth, name, attribute_count); s != ReadStatus::kOk) return s;
    node.set_name(std::string(name));
    const size_t attributes_base = attributes_.size();
    for (uint32_t i = 0; i < attribute_count; ++i) {
      if (ReadStatus s = ReadAttribute(); s != ReadStatus::kOk) return s;
    }
    DocumentReaderAccess::AssignAttributes(node, attributes_.data() + attributes_base,
                                           attributes_.size() - attributes_base);
    attributes_.resize(attributes_base);

    uint32_t child_count = 0;
    if (ReadStatus s = ReadChildCount(in_, child_count); s != ReadStatus::kOk) return s;
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
    AttributeRecord in;
    if (ReadStatus s = ReadAttributeRecord(in_, in); s != ReadStatus::kOk) return s;
    DocAttribute* record = arena_.NewAttribute(std::string(in.name));
    switch (in.type) {
      case 0: case 1: case 2: case 3: case 4:
        record->SetWord(static_cast<AttributeType>(in.type), in.word);
        break;
      case 5: {
        Value64Bytes value{};
        std::memcpy(value.data(), in.bytes, 8);
        record->SetValue64(value);
        break;
      }
      case 6:
        record->SetString(std::string(in.text));
        break;
      case 7:
        record->SetWideString(in.bytes, in.count);
        break;
      case 8: {
        MemoryStream block;
        if (in.count > 0) {
          if (!block.Reserve(in.count)) return ReadStatus::kOutOfMemory;
          std::memcpy(block.MutableData(), in.bytes, in.count);
        }
        record->SetBinary(std::move(block));
        break;
      }
      default:
        record->SetValueless(in.type);
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

}  // namespace

ReadStatus ReadDocument(DocNode& node, ByteStream& stream) {
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

ReadStatus ReadDocumentBytes(DocNode& node, const uint8_t* bytes, uint32_t count) {
  node.Clear();
  uint32_t consumed = 0;
  return ParseRoot(bytes, count, node, consumed);
}

bool WriteDocument(const DocNode& node, ByteStream& stream) {
  try {
    if (auto* memory = dynamic_cast<MemoryStream*>(&stream); memory != nullptr) {
      // Encoded straight into the block, grown once to the exact size.
      const uint32_t start = memory->Position();
      const uint64_t end = uint64_t{start} + DocumentWriter::EncodedSize(node);
      if (end > UINT32_MAX) return false;
      if (end > memory->Size() && !memory->Reserve(static_cast<uint32_t>(end))) return false;
      DocumentWriter out(memory->MutableData() + start, static_cast<size_t>(end - start));
      out.Node(node);
      if (!out.Finish()) return false;
      memory->Seek(static_cast<int64_t>(end), kSeekBegin);
      return true;
    }
    DocumentWriter out([&stream](const uint8_t* bytes, size_t count) {
      return stream.Write(bytes, static_cast<uint32_t>(count)) == count;
    });
    out.Node(node);
    return out.Finish();
  } catch (const std::bad_alloc&) {
    return false;
  }
}

ReadStatus LoadDocumentFile(DocNode& node, const std::filesystem::path& path) {
  FileBytes bytes;
  if (!bytes.Read(path)) return ReadStatus::kNotOpened;
  return ReadDocumentBytes(node, bytes.data(), bytes.size());
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
