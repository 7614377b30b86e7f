#include "core/document/document_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <utility>

#include "core/document/doc_node.h"
#include "core/document/text_codec.h"

namespace vidora {
namespace {

uint64_t LengthSize(uint32_t length) { return length < 0xFF ? 1 : length < 0xFFFF ? 3 : 7; }

uint64_t NarrowSize(const std::string& text) {
  const auto length = static_cast<uint32_t>(text.size());
  return LengthSize(length) + length;
}

uint64_t AttributeSize(const DocAttribute& attribute) {
  const uint64_t size = NarrowSize(attribute.name()) + 1;
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

bool IsAscii(std::string_view text) {
  unsigned char any = 0;
  for (char c : text) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

}  // namespace

DocumentWriter::DocumentWriter(Sink sink)
    : sink_(std::move(sink)), buffer_(std::make_unique<uint8_t[]>(kPieceBytes)) {
  start_ = at_ = buffer_.get();
  end_ = at_ + kPieceBytes;
}

DocumentWriter::DocumentWriter(uint8_t* block, size_t size)
    : in_block_(true), start_(block), at_(block), end_(block + size) {}

DocumentWriter::~DocumentWriter() = default;

inline void DocumentWriter::Wide(std::u16string_view text) {
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

uint64_t DocumentWriter::EncodedSize(const DocNode& node) {
  uint64_t size = 4 + NarrowSize(node.name()) + 4 + 4;
  for (const auto& attribute : node.attributes()) size += AttributeSize(*attribute);
  for (const auto& child : node.children()) size += EncodedSize(*child);
  return size;
}

void DocumentWriter::Node(const DocNode& node) {
  NodeHead(node.name(), static_cast<uint32_t>(node.attributes().size()));
  for (const auto& record : node.attributes()) {
    const DocAttribute& attribute = *record;
    // Written here, not through the attribute calls: one inlined copy of
    // the name's writes keeps trees at memory speed. The room is for
    // exactly what follows the name, as a block has no byte to spare.
    const int32_t code = attribute.type_code();
    Narrow(attribute.name());
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
        Narrow(text != nullptr ? std::string_view(*text) : std::string_view());
        break;
      }
      case 7: {
        const std::u16string* text = attribute.wide_string_value();
        Wide(text != nullptr ? std::u16string_view(*text) : std::u16string_view());
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
  ChildCount(static_cast<uint32_t>(node.children().size()));
  for (const auto& child : node.children()) Node(*child);
}

void DocumentWriter::WideAttribute(std::string_view name, std::u16string_view text) {
  AttributeHead(name, static_cast<uint8_t>(AttributeType::WideString), 0);
  Wide(text);
}

void DocumentWriter::WideAttributeFromUtf8(std::string_view name, std::string_view utf8) {
  AttributeHead(name, static_cast<uint8_t>(AttributeType::WideString), 0);
  // Most texts of playlists are ASCII: no UTF-16 copy for them.
  if (IsAscii(utf8)) {
    AsciiAsWide(utf8);
  } else {
    Wide(Utf8ToUtf16(utf8));
  }
}

bool DocumentWriter::Finish() {
  if (!in_block_) Spill();
  return ok_;
}

void DocumentWriter::AsciiAsWide(std::string_view text) {
  Length(static_cast<uint32_t>(text.size()));
  while (!text.empty()) {
    const size_t chunk = std::min(text.size(), static_cast<size_t>(end_ - at_) / 2);
    if (chunk == 0) {
      Spill();
      continue;
    }
    for (size_t i = 0; i < chunk; ++i) {
      at_[2 * i] = static_cast<uint8_t>(text[i]);
      at_[2 * i + 1] = 0;
    }
    at_ += 2 * chunk;
    text.remove_prefix(chunk);
  }
}

void DocumentWriter::Spill() {
  if (in_block_) {
    // The block was sized exactly, so only a wrong size gets here: the
    // writer has failed, and the rest goes to scratch space.
    if (ok_) {
      ok_ = false;
      buffer_ = std::make_unique<uint8_t[]>(kPieceBytes);
    }
  } else if (ok_ && at_ > start_) {
    if (!sink_(start_, static_cast<size_t>(at_ - start_))) ok_ = false;
  }
  start_ = at_ = buffer_.get();
  end_ = at_ + kPieceBytes;
}

}  // namespace vidora
