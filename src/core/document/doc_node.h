#ifndef VIDORA_CORE_DOCUMENT_DOC_NODE_H_
#define VIDORA_CORE_DOCUMENT_DOC_NODE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/document/doc_attribute.h"
#include "core/document/named_table.h"

namespace vidora {

// A named tree node owning its children and attributes. Names are 8-bit
// strings compared byte for byte; within one node children and attributes
// have unique names, and adding under a taken name keeps the existing
// entry (first one wins) except for SetAttribute and the Set* helpers,
// which replace. Both tables iterate in insertion order.
//
// Pointers returned by the node are borrowed: they stay valid until the
// node is cleared or destroyed, or (for attributes) until the attribute is
// replaced.
class DocNode {
 public:
  DocNode() = default;
  explicit DocNode(std::string name) : name_(std::move(name)) {}
  DocNode(const DocNode&) = delete;
  DocNode& operator=(const DocNode&) = delete;

  const std::string& name() const { return name_; }
  void set_name(std::string name) { name_ = std::move(name); }

  // Frees every attribute and child; keeps the name.
  void Clear();

  // Children.
  // The child of that name; when missing and `create` is true, a new empty
  // child of that name is added and returned; otherwise nullptr.
  DocNode* FindChild(std::string_view name, bool create = false);
  const DocNode* FindChild(std::string_view name) const;
  // A new empty child, or nullptr (and no change) when the name is taken.
  DocNode* AddChild(std::string_view name);
  // Inserts a complete child under its own name; nullptr when taken.
  DocNode* InsertChild(std::unique_ptr<DocNode> child);
  const NamedTable<DocNode>& children() const { return children_; }

  // Attributes.
  DocAttribute* FindAttribute(std::string_view name) const;
  // The attribute when it exists with exactly `type`; otherwise nullptr.
  DocAttribute* FindAttribute(std::string_view name, AttributeType type) const;
  // A new Plain attribute with value 0, or nullptr when the name is taken.
  DocAttribute* AddAttribute(std::string_view name);
  // Inserts `record` under its own name; nullptr when the name is taken.
  DocAttribute* InsertAttribute(std::unique_ptr<DocAttribute> record);
  // Inserts `record`, replacing an attribute of the same name.
  DocAttribute* SetAttribute(std::unique_ptr<DocAttribute> record);
  DocAttribute* SetBool(std::string_view name, bool flag);
  DocAttribute* SetInt(std::string_view name, int32_t value);
  DocAttribute* SetString(std::string_view name, std::string text);
  DocAttribute* SetWideString(std::string_view name, std::u16string text);
  DocAttribute* SetBinary(std::string_view name, MemoryStream block);
  const NamedTable<DocAttribute>& attributes() const { return attributes_; }

  // Getters with default: the value when the attribute exists with exactly
  // the getter's type, the default otherwise. Never converts.
  int32_t GetInt(std::string_view name, int32_t fallback) const;
  bool GetBool(std::string_view name, bool fallback) const;
  std::string GetString(std::string_view name, std::string_view fallback = {}) const;
  std::u16string GetWideString(std::string_view name, std::u16string_view fallback = {}) const;
  // The borrowed block, or `fallback`.
  const MemoryStream* GetBinary(std::string_view name, const MemoryStream* fallback = nullptr) const;

  // Reference getters: the stored text itself, or nullptr when the
  // attribute is missing or of another type (the caller treats the record
  // as incomplete).
  const std::string* StringRef(std::string_view name) const;
  const std::u16string* WideStringRef(std::string_view name) const;

 private:
  // The document reader fills the tables in bulk and seals them.
  friend struct DocumentReaderAccess;

  std::string name_;
  NamedTable<DocNode> children_;
  NamedTable<DocAttribute> attributes_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_DOC_NODE_H_
