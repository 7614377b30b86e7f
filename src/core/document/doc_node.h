#ifndef VIDORA_CORE_DOCUMENT_DOC_NODE_H_
#define VIDORA_CORE_DOCUMENT_DOC_NODE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/document/doc_arena.h"
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
// node is cleared or destroyed. A replaced attribute is overwritten in
// place, so a pointer to it then sees the new value.
//
// Memory: a node the caller makes (on the stack, with make_unique) is the
// root of its tree and owns the tree's DocArena, created with the first
// child or attribute; every node below it is made by that arena and lives
// as long as it. Freeing a tree is therefore cheap, but what is cleared
// below the root keeps its memory until the root is cleared or destroyed.
// Not thread-safe; a tree that nobody changes may be read from any thread.
class DocNode {
 public:
  DocNode() = default;
  explicit DocNode(std::string name) : name_(std::move(name)) {}
  DocNode(const DocNode&) = delete;
  DocNode& operator=(const DocNode&) = delete;
  // Moving a root hands its whole tree over without copying; moving a node
  // below a root copies its subtree (its memory belongs to that root).
  // Either way the source is left empty (its name included) and pointers
  // into a moved root's tree stay valid. The name comes along, so a child
  // given a tree must be given one of its own name. A node must not be
  // given a tree that holds it.
  DocNode(DocNode&& other);
  DocNode& operator=(DocNode&& other);
  ~DocNode() = default;

  const std::string& name() const { return name_; }
  void set_name(std::string name) { name_ = std::move(name); }

  // Drops every attribute and child; keeps the name. On a root this frees
  // the whole tree's memory.
  void Clear();

  // Children.
  // The child of that name; when missing and `create` is true, a new empty
  // child of that name is added and returned; otherwise nullptr.
  DocNode* FindChild(std::string_view name, bool create = false);
  const DocNode* FindChild(std::string_view name) const;
  // A new empty child, or nullptr (and no change) when the name is taken.
  DocNode* AddChild(std::string_view name);
  // Inserts a complete child under its own name, taking its subtree over
  // as a move would; nullptr (and `child` is freed) when the name is taken.
  DocNode* InsertChild(std::unique_ptr<DocNode> child);
  const NamedTable<DocNode>& children() const { return children_; }

  // Attributes.
  DocAttribute* FindAttribute(std::string_view name) const;
  // The attribute when it exists with exactly `type`; otherwise nullptr.
  DocAttribute* FindAttribute(std::string_view name, AttributeType type) const;
  // A new Plain attribute with value 0, or nullptr when the name is taken.
  DocAttribute* AddAttribute(std::string_view name);
  // Inserts `record`'s name and value under its own name; nullptr when the
  // name is taken. `record` is freed either way.
  DocAttribute* InsertAttribute(std::unique_ptr<DocAttribute> record);
  // The same, overwriting the value of an attribute of the same name.
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
  // The document reader fills the tables in bulk.
  friend struct DocumentReaderAccess;
  friend class DocArena;

  // A node made by `arena`, below some root.
  DocNode(std::string name, DocArena* arena) : name_(std::move(name)), arena_(arena) {}

  // Whether this node is a root (it owns the arena its tree uses).
  bool IsRoot() const { return arena_ == own_arena_.get(); }
  // The arena this node allocates from, created on a root's first use.
  DocArena& Arena();
  // A new attribute of that name (free), added to the table.
  DocAttribute* NewAttribute(std::string_view name);
  // The attribute of that name, added as Plain when missing.
  DocAttribute* AttributeToSet(std::string_view name);
  // Copies `from`'s attributes and children (deeply) into this node.
  void CopyContent(const DocNode& from);

  std::string name_;
  // The tree's arena: the root's own one, or the one that made this node.
  DocArena* arena_ = nullptr;
  // Set on roots only (once they allocate).
  std::unique_ptr<DocArena> own_arena_;
  NamedTable<DocNode> children_;
  NamedTable<DocAttribute> attributes_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_DOC_NODE_H_
