#include "core/document/doc_attribute.h"

#include "core/document/byte_cursor.h"

namespace vidora {

void DocAttribute::Reset(AttributeType type) {
  type_ = type;
  word_ = 0;
  value_ = std::monostate{};
}

void DocAttribute::SetInt(int32_t value) {
  Reset(AttributeType::Int);
  word_ = static_cast<uint32_t>(value);
}

void DocAttribute::SetBool(bool value) {
  Reset(AttributeType::Bool);
  word_ = value ? 1 : 0;
}

void DocAttribute::SetString(std::string text) {
  Reset(AttributeType::String);
  value_ = std::move(text);
}

void DocAttribute::SetWideString(std::u16string text) {
  Reset(AttributeType::WideString);
  value_ = std::move(text);
}

void DocAttribute::SetWideString(const uint8_t* bytes, uint32_t units) {
  Reset(AttributeType::WideString);
  std::u16string& text = value_.emplace<std::u16string>(units, u'\0');
  CopyWideUnits(bytes, units, text.data());
}

void DocAttribute::SetBinary(MemoryStream block) {
  Reset(AttributeType::Binary);
  value_.emplace<MemoryStream>(std::move(block));
}

void DocAttribute::SetValue64(const Value64Bytes& bytes) {
  Reset(AttributeType::Value64);
  value_ = bytes;
}

void DocAttribute::SetWord(AttributeType type, uint32_t word) {
  Reset(type);
  word_ = word;
}

void DocAttribute::SetValueless(int32_t type_code) { Reset(static_cast<AttributeType>(type_code)); }

const std::string* DocAttribute::string_value() const {
  return type_ == AttributeType::String ? std::get_if<std::string>(&value_) : nullptr;
}

const std::u16string* DocAttribute::wide_string_value() const {
  return type_ == AttributeType::WideString ? std::get_if<std::u16string>(&value_) : nullptr;
}

const MemoryStream* DocAttribute::binary_value() const {
  return type_ == AttributeType::Binary ? std::get_if<MemoryStream>(&value_) : nullptr;
}

MemoryStream* DocAttribute::mutable_binary_value() {
  return type_ == AttributeType::Binary ? std::get_if<MemoryStream>(&value_) : nullptr;
}

const Value64Bytes* DocAttribute::value64() const {
  return type_ == AttributeType::Value64 ? std::get_if<Value64Bytes>(&value_) : nullptr;
}

}  // namespace vidora
