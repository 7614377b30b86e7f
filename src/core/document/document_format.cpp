#include "core/document/document_format.h"

#include <cstring>
#include <new>
#include <string>

#include "core/document/file_stream.h"
#include "core/document/memory_stream.h"

namespace vidora {
namespace {

constexpr char kMagic[4] = {'Q', 'D', 'O', 'C'};
// The smallest attribute is a 1-byte name prefix and a type byte; the
// smallest child is its 4-byte magic (a wrong magic ends it there).
constexpr uint32_t kMinAttributeBytes = 2;

enum class Parse { kOk, kBadMagic, kFailed };

// Reads with a running budget of the input left, so no count from the
// input can make the reader allocate more than the input could fill.
class Reader {
 public:
  explicit Reader(ByteStream& stream) : stream_(stream) {
    const uint32_t size = stream.Size();
    const uint32_t at = stream.Position();
    remaining_ = size > at ? size - at : 0;
  }

  bool Bytes(void* out, uint32_t count) {
    if (count > remaining_) return false;
    if (count == 0) return true;
    if (stream_.Read(out, count) != count) return false;
    remaining_ -= count;
    return true;
  }

  bool U8(uint8_t& out) { return Bytes(&out, 1); }

  bool U16(uint16_t& out) {
    uint8_t b[2];
    if (!Bytes(b, 2)) return false;
    out = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
  }

  bool U32(uint32_t& out) {
    uint8_t b[4];
    if (!Bytes(b, 4)) return false;
    out = uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
    return true;
  }

  bool Length(uint32_t& out) {
    uint8_t b = 0;
    if (!U8(b)) return false;
    if (b != 0xFF) {
      out = b;
      return true;
    }
    uint16_t w = 0;
    if (!U16(w)) return false;
    if (w != 0xFFFF) {
      out = w;
      return true;
    }
    return U32(out);
  }

  bool Narrow(std::string& out) {
    uint32_t length = 0;
    if (!Length(length) || length > remaining_) return false;
    out.resize(length);
    return Bytes(out.data(), length);
  }

  bool Wide(std::u16string& out) {
    uint32_t length = 0;
    if (!Length(length) || length > remaining_ / 2) return false;
    out.resize(length);
    for (char16_t& unit : out) {
      uint16_t w = 0;
      if (!U16(w)) return false;
      unit = static_cast<char16_t>(w);
    }
    return true;
  }

  uint32_t remaining() const { return remaining_; }

 private:
  ByteStream& stream_;
  uint32_t remaining_;
};

bool ReadAttribute(Reader& in, DocNode& node) {
  std::string name;
  uint8_t type = 0;
  if (!in.Narrow(name) || !in.U8(type)) return false;
  auto record = std::make_unique<DocAttribute>(std::move(name));
  switch (type) {
    case 0: case 1: case 2: case 3: case 4: {
      uint32_t word = 0;
      if (!in.U32(word)) return false;
      record->SetWord(static_cast<AttributeType>(type), word);
      break;
    }
    case 5: {
      Value64Bytes bytes{};
      if (!in.Bytes(bytes.data(), 8)) return false;
      record->SetValue64(bytes);
      break;
    }
    case 6: {
      std::string text;
      if (!in.Narrow(text)) return false;
      record->SetString(std::move(text));
      break;
    }
    case 7: {
      std::u16string text;
      if (!in.Wide(text)) return false;
      record->SetWideString(std::move(text));
      break;
    }
    case 8: {
      uint32_t count = 0;
      if (!in.U32(count) || count > in.remaining()) return false;
      MemoryStream block;
      if (count > 0) {
        if (!block.Reserve(count)) return false;
        if (!in.Bytes(block.MutableData(), count)) return false;
        block.Seek(0, kSeekBegin);
      }
      record->SetBinary(std::move(block));
      break;
    }
    default:
      record->SetValueless(type);
      break;
  }
  node.InsertAttribute(std::move(record));  // a later duplicate is dropped
  return true;
}

Parse ReadNode(Reader& in, DocNode& node, int depth) {
  char magic[4];
  if (!in.Bytes(magic, 4)) return Parse::kFailed;
  if (std::memcmp(magic, kMagic, 4) != 0) return Parse::kBadMagic;
  if (depth > kMaxDocumentDepth) return Parse::kFailed;

  std::string name;
  if (!in.Narrow(name)) return Parse::kFailed;
  node.set_name(std::move(name));

  uint32_t attribute_count = 0;
  if (!in.U32(attribute_count) || attribute_count > in.remaining() / kMinAttributeBytes) {
    return Parse::kFailed;
  }
  for (uint32_t i = 0; i < attribute_count; ++i) {
    if (!ReadAttribute(in, node)) return Parse::kFailed;
  }

  uint32_t child_count = 0;
  if (!in.U32(child_count) || child_count > in.remaining() / 4) return Parse::kFailed;
  for (uint32_t i = 0; i < child_count; ++i) {
    auto child = std::make_unique<DocNode>();
    if (ReadNode(in, *child, depth + 1) == Parse::kFailed) return Parse::kFailed;
    // A child with a wrong magic stays empty and goes in under the empty
    // name; reading continues right after its four bytes.
    node.InsertChild(std::move(child));
  }
  return Parse::kOk;
}

class Writer {
 public:
  explicit Writer(ByteStream& stream) : stream_(stream) {}

  void Bytes(const void* bytes, uint32_t count) {
    if (count == 0) return;
    if (stream_.Write(bytes, count) != count) ok_ = false;
  }
  void U8(uint8_t v) { Bytes(&v, 1); }
  void U16(uint16_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    Bytes(b, 2);
  }
  void U32(uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    Bytes(b, 4);
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
    for (char16_t unit : text) U16(static_cast<uint16_t>(unit));
  }

  bool ok() const { return ok_; }

 private:
  ByteStream& stream_;
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

bool ReadDocument(DocNode& node, ByteStream& stream) {
  node.Clear();
  Reader in(stream);
  Parse result = Parse::kFailed;
  try {
    result = ReadNode(in, node, 0);
  } catch (const std::bad_alloc&) {
    result = Parse::kFailed;
  }
  if (result != Parse::kOk) {
    node.Clear();
    node.set_name({});
    return false;
  }
  return true;
}

bool WriteDocument(const DocNode& node, ByteStream& stream) {
  Writer out(stream);
  WriteNode(out, node);
  return out.ok();
}

bool LoadDocumentFile(DocNode& node, const std::filesystem::path& path) {
  FileStream file;
  if (!file.Open(path, FileStream::Mode::kRead)) return false;
  const bool ok = ReadDocument(node, file);
  file.Close();
  return ok;
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
