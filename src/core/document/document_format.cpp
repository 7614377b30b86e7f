#include "core/document/document_format.h"

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

// Lets the reader append to a node's tables without a lookup per entry;
// the first-one-wins rule is applied once per table when it is sealed.
struct DocumentReaderAccess {
  static void AppendAttribute(DocNode& node, std::unique_ptr<DocAttribute> record) {
    node.attributes_.AppendUnchecked(std::move(record));
  }
  static void AppendChild(DocNode& node, std::unique_ptr<DocNode> child) {
    node.children_.AppendUnchecked(std::move(child));
  }
  static void SealAttributes(DocNode& node) { node.attributes_.Seal(); }
  static void SealChildren(DocNode& node) { node.children_.Seal(); }
};

namespace {

ReadStatus ReadAttribute(ByteCursor& in, DocNode& node) {
  std::string_view name;
  uint8_t type = 0;
  if (!in.Narrow(name) || !in.U8(type)) return ReadStatus::kTruncated;
  auto record = std::make_unique<DocAttribute>(std::string(name));
  switch (type) {
    case 0: case 1: case 2: case 3: case 4: {
      uint32_t word = 0;
      if (!in.U32(word)) return ReadStatus::kTruncated;
      record->SetWord(static_cast<AttributeType>(type), word);
      break;
    }
    case 5: {
      const uint8_t* bytes = nullptr;
      if (!in.View(8, bytes)) return ReadStatus::kTruncated;
      Value64Bytes value{};
      std::memcpy(value.data(), bytes, 8);
      record->SetValue64(value);
      break;
    }
    case 6: {
      std::string_view text;
      if (!in.Narrow(text)) return ReadStatus::kTruncated;
      record->SetString(std::string(text));
      break;
    }
    case 7: {
      const uint8_t* bytes = nullptr;
      uint32_t units = 0;
      if (!in.Wide(bytes, units)) return ReadStatus::kTruncated;
      std::u16string text(units, u'\0');
      CopyWideUnits(bytes, units, text.data());
      record->SetWideString(std::move(text));
      break;
    }
    case 8: {
      uint32_t count = 0;
      const uint8_t* bytes = nullptr;
      if (!in.U32(count)) return ReadStatus::kTruncated;
      if (!in.View(count, bytes)) return ReadStatus::kTooLarge;
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
  DocumentReaderAccess::AppendAttribute(node, std::move(record));
  return ReadStatus::kOk;
}

// kBadMagic only for a node whose magic is wrong; the caller decides what
// that means (the end of the parse at the root, an empty child below).
ReadStatus ReadNode(ByteCursor& in, DocNode& node, int depth) {
  const ByteCursor::Magic magic = in.ReadMagic();
  if (magic == ByteCursor::Magic::kShort) return ReadStatus::kTruncated;
  if (magic == ByteCursor::Magic::kWrong) return ReadStatus::kBadMagic;
  if (depth > kMaxDocumentDepth) return ReadStatus::kTooDeep;

  std::string_view name;
  if (!in.Narrow(name)) return ReadStatus::kTruncated;
  node.set_name(std::string(name));

  uint32_t attribute_count = 0;
  if (!in.U32(attribute_count)) return ReadStatus::kTruncated;
  if (attribute_count > in.remaining() / kMinAttributeBytes) return ReadStatus::kTooLarge;
  for (uint32_t i = 0; i < attribute_count; ++i) {
    if (ReadStatus s = ReadAttribute(in, node); s != ReadStatus::kOk) return s;
  }
  DocumentReaderAccess::SealAttributes(node);  // a later duplicate is dropped

  uint32_t child_count = 0;
  if (!in.U32(child_count)) return ReadStatus::kTruncated;
  if (child_count > in.remaining() / kMinChildBytes) return ReadStatus::kTooLarge;
  for (uint32_t i = 0; i < child_count; ++i) {
    auto child = std::make_unique<DocNode>();
    const ReadStatus s = ReadNode(in, *child, depth + 1);
    // A child with a wrong magic stays empty and goes in under the empty
    // name; reading continues right after its four bytes.
    if (s != ReadStatus::kOk && s != ReadStatus::kBadMagic) return s;
    DocumentReaderAccess::AppendChild(node, std::move(child));
  }
  DocumentReaderAccess::SealChildren(node);
  return ReadStatus::kOk;
}

// Parses the root from `bytes`; on failure `node` is left empty, its name
// included.
ReadStatus ParseRoot(const uint8_t* bytes, uint32_t count, DocNode& node, uint32_t& consumed) {
  ByteCursor in(bytes, count);
  ReadStatus status = ReadStatus::kOutOfMemory;
  try {
    status = ReadNode(in, node, 0);
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

// Stages the encoding in a growing buffer and hands it to the stream in
// large pieces: one virtual call per piece instead of one per field.
class Writer {
 public:
  explicit Writer(ByteStream& stream) : stream_(stream) { buffer_.reserve(kPiece + kPiece / 4); }

  void Bytes(const void* bytes, uint32_t count) {
    const auto* at = static_cast<const char*>(bytes);
    buffer_.append(at, count);
    if (buffer_.size() >= kPiece) Flush();
  }
  void U8(uint8_t v) { buffer_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    buffer_.append(b, 2);
  }
  void U32(uint32_t v) {
    const char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
    buffer_.append(b, 4);
  }
  void Length(uint32_t length) {
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
    Length(static_cast<uint32_t>(text.size()));
    Bytes(text.data(), static_cast<uint32_t>(text.size()));
  }
  void Wide(const std::u16string& text) {
    Length(static_cast<uint32_t>(text.size()));
    if constexpr (std::endian::native == std::endian::little) {
      Bytes(text.data(), static_cast<uint32_t>(2 * text.size()));
    } else {
      for (char16_t unit : text) U16(static_cast<uint16_t>(unit));
      if (buffer_.size() >= kPiece) Flush();
    }
  }

  void Flush() {
    if (buffer_.empty()) return;
    const auto count = static_cast<uint32_t>(buffer_.size());
    if (stream_.Write(buffer_.data(), count) != count) ok_ = false;
    buffer_.clear();
  }

  bool ok() const { return ok_; }

 private:
  static constexpr size_t kPiece = 1 << 20;

  ByteStream& stream_;
  std::string buffer_;
  bool ok_ = true;
};

void WriteAttribute(Writer& out, const DocAttribute& attribute) {
  out.Narrow(attribute.name());
  const int32_t code = attribute.type_code();
  out.U8(static_cast<uint8_t>(code));
  switch (code) {
    case 0: case 1: case 2: case 3: case 4:
      out.U32(attribute.word());
      break;
    case 5: {
      const Value64Bytes* bytes = attribute.value64();
      const Value64Bytes zero{};
      out.Bytes((bytes != nullptr ? bytes : &zero)->data(), 8);
      break;
    }
    case 6: {
      const std::string* text = attribute.string_value();
      out.Narrow(text != nullptr ? *text : std::string());
      break;
    }
    case 7: {
      const std::u16string* text = attribute.wide_string_value();
      out.Wide(text != nullptr ? *text : std::u16string());
      break;
    }
    case 8: {
      const MemoryStream* block = attribute.binary_value();
      const uint32_t count = block != nullptr ? block->size() : 0;
      out.U32(count);
      if (count > 0) out.Bytes(block->Data(), count);
      break;
    }
    default:
      break;
  }
}

void WriteNode(Writer& out, const DocNode& node) {
  out.Bytes(kMagic, 4);
  out.Narrow(node.name());
  out.U32(static_cast<uint32_t>(node.attributes().size()));
  for (const auto& attribute : node.attributes()) WriteAttribute(out, *attribute);
  out.U32(static_cast<uint32_t>(node.children().size()));
  for (const auto& child : node.children()) WriteNode(out, *child);
}

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
    // One read of everything left, then a parse of the contiguous copy.
    std::vector<uint8_t> bytes;
    try {
      bytes.resize(count);
    } catch (const std::bad_alloc&) {
      node.set_name({});
      return ReadStatus::kOutOfMemory;
    }
    uint32_t filled = 0;
    while (filled < count) {
      const uint32_t got = stream.Read(bytes.data() + filled, count - filled);
      if (got == 0) break;
      filled += got;
    }
    status = ParseRoot(bytes.data(), filled, node, consumed);
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
  Writer out(stream);
  WriteNode(out, node);
  out.Flush();
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
