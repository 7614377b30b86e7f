#ifndef VIDORA_CORE_DOCUMENT_DOC_ATTRIBUTE_H_
#define VIDORA_CORE_DOCUMENT_DOC_ATTRIBUTE_H_

#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "core/document/memory_stream.h"

namespace vidora {

// Type codes of document attributes, as stored in files (one byte). Codes 9
// to 255 are valid too: such an attribute has a name and no value.
enum class AttributeType : int32_t {
  Plain = 0,
  Int = 1,
  Bool = 2,
  Word3 = 3,
  Word4 = 4,
  Value64 = 5,
  String = 6,
  WideString = 7,
  Binary = 8,
};

using Value64Bytes = std::array<uint8_t, 8>;

// A named, typed value of a DocNode. Types 0 to 4 keep a 32-bit word;
// types 5 to 8 own their value object. The setters change type and value
// together. Moving takes the name and the value; the source keeps neither.
class DocAttribute {
 public:
  explicit DocAttribute(std::string name) : name_(std::move(name)) {}
  DocAttribute(const DocAttribute&) = default;
  DocAttribute& operator=(const DocAttribute&) = default;
  DocAttribute(DocAttribute&&) noexcept = default;
  DocAttribute& operator=(DocAttribute&&) noexcept = default;

  const std::string& name() const { return name_; }
  AttributeType type() const { return type_; }
  int32_t type_code() const { return static_cast<int32_t>(type_); }
  // The value word of types 0 to 4 (0 for the others).
  uint32_t word() const { return word_; }

  void SetInt(int32_t value);
  void SetBool(bool value);
  void SetString(std::string text);
  void SetWideString(std::u16string text);
  // The same from `units` little-endian UTF-16 units at `bytes`.
  void SetWideString(const uint8_t* bytes, uint32_t units);
  void SetBinary(MemoryStream block);
  void SetValue64(const Value64Bytes& bytes);
  // Types Plain, Word3 and Word4 (and Int/Bool given as a raw word).
  void SetWord(AttributeType type, uint32_t word);
  // Any type code without a value (the codes 9 to 255 of files).
  void SetValueless(int32_t type_code);

  // Borrowed views of the owned value; nullptr when the type differs.
  const std::string* string_value() const;
  const std::u16string* wide_string_value() const;
  const MemoryStream* binary_value() const;
  MemoryStream* mutable_binary_value();
  const Value64Bytes* value64() const;

 private:
  void Reset(AttributeType type);

  std::string name_;
  AttributeType type_ = AttributeType::Plain;
  uint32_t word_ = 0;
  std::variant<std::monostate, Value64Bytes, std::string, std::u16string, MemoryStream> value_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_DOC_ATTRIBUTE_H_
