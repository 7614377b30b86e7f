#include "core/document/doc_node.h"

namespace vidora {

DocNode::DocNode(DocNode&& other) { *this = std::move(other); }

DocNode& DocNode::operator=(DocNode&& other) {
  if (this == &other) return *this;
  if (!other.IsRoot()) {
    // Its memory belongs to another tree: copy it out first (so that this
    // may even be that tree's root), then take the copy over.
    DocNode copy(std::move(other.name_));
    copy.CopyContent(other);
    other.Clear();
    other.name_.clear();
    return *this = std::move(copy);
  }
  Clear();
  name_ = std::move(other.name_);
  other.name_.clear();
  if (other.own_arena_ == nullptr) return *this;  // an empty root
  if (IsRoot()) {
    own_arena_ = std::move(other.own_arena_);
    arena_ = own_arena_.get();
  } else {
    arena_->Adopt(std::move(other.own_arena_));
  }
  other.arena_ = nullptr;
  children_ = other.children_;
  attributes_ = other.attributes_;
  other.children_.Clear();
  other.attributes_.Clear();
  return *this;
}

void DocNode::Clear() {
  attributes_.Clear();
  children_.Clear();
  if (IsRoot() && own_arena_ != nullptr) own_arena_->Reset();
}

DocArena& DocNode::Arena() {
  if (arena_ == nullptr) {
    own_arena_ = std::make_unique<DocArena>();
    arena_ = own_arena_.get();
  }
  return *arena_;
}

void DocNode::CopyContent(const DocNode& from) {
  for (const auto& attribute : from.attributes()) {
    attributes_.Append(Arena(), Arena().NewAttribute(DocAttribute(*attribute)));
  }
  for (const auto& child : from.children()) {
    DocNode* copy = Arena().NewNode(child->name());
    copy->CopyContent(*child);
    children_.Append(Arena(), copy);
  }
}

DocNode* DocNode::FindChild(std::string_view name, bool create) {
  DocNode* found = children_.Find(name);
  if (found == nullptr && create) found = AddChild(name);
  return found;
}

const DocNode* DocNode::FindChild(std::string_view name) const { return children_.Find(name); }

DocNode* DocNode::AddChild(std::string_view name) {
  if (children_.Find(name) != nullptr) return nullptr;
  DocNode* child = Arena().NewNode(std::string(name));
  children_.Append(Arena(), child);
  return child;
}

DocNode* DocNode::InsertChild(std::unique_ptr<DocNode> child) {
  if (child == nullptr || children_.Find(child->name()) != nullptr) return nullptr;
  DocNode* added = Arena().NewNode(std::string());
  *added = std::move(*child);
  children_.Append(Arena(), added);
  return added;
}

DocAttribute* DocNode::FindAttribute(std::string_view name) const { return attributes_.Find(name); }

DocAttribute* DocNode::FindAttribute(std::string_view name, AttributeType type) const {
  DocAttribute* found = attributes_.Find(name);
  return found != nullptr && found->type() == type ? found : nullptr;
}

DocAttribute* DocNode::NewAttribute(std::string_view name) {
  DocAttribute* added = Arena().NewAttribute(std::string(name));
  attributes_.Append(Arena(), added);
  return added;
}

DocAttribute* DocNode::AttributeToSet(std::string_view name) {
  DocAttribute* found = attributes_.Find(name);
  return found != nullptr ? found : NewAttribute(name);
}

DocAttribute* DocNode::AddAttribute(std::string_view name) {
  if (attributes_.Find(name) != nullptr) return nullptr;
  return NewAttribute(name);
}

DocAttribute* DocNode::InsertAttribute(std::unique_ptr<DocAttribute> record) {
  if (record == nullptr || attributes_.Find(record->name()) != nullptr) return nullptr;
  DocAttribute* added = Arena().NewAttribute(std::move(*record));
  attributes_.Append(Arena(), added);
  return added;
}

DocAttribute* DocNode::SetAttribute(std::unique_ptr<DocAttribute> record) {
  if (record == nullptr) return nullptr;
  if (DocAttribute* found = attributes_.Find(record->name()); found != nullptr) {
    *found = std::move(*record);
    return found;
  }
  DocAttribute* added = Arena().NewAttribute(std::move(*record));
  attributes_.Append(Arena(), added);
  return added;
}

DocAttribute* DocNode::SetBool(std::string_view name, bool flag) {
  DocAttribute* record = AttributeToSet(name);
  record->SetBool(flag);
  return record;
}

DocAttribute* DocNode::SetInt(std::string_view name, int32_t value) {
  DocAttribute* record = AttributeToSet(name);
  record->SetInt(value);
  return record;
}

DocAttribute* DocNode::SetString(std::string_view name, std::string text) {
  DocAttribute* record = AttributeToSet(name);
  record->SetString(std::move(text));
  return record;
}

DocAttribute* DocNode::SetWideString(std::string_view name, std::u16string text) {
  DocAttribute* record = AttributeToSet(name);
  record->SetWideString(std::move(text));
  return record;
}

DocAttribute* DocNode::SetBinary(std::string_view name, MemoryStream block) {
  DocAttribute* record = AttributeToSet(name);
  record->SetBinary(std::move(block));
  return record;
}

int32_t DocNode::GetInt(std::string_view name, int32_t fallback) const {
  const DocAttribute* found = FindAttribute(name, AttributeType::Int);
  return found != nullptr ? static_cast<int32_t>(found->word()) : fallback;
}

bool DocNode::GetBool(std::string_view name, bool fallback) const {
  const DocAttribute* found = FindAttribute(name, AttributeType::Bool);
  return found != nullptr ? (found->word() & 0xFF) != 0 : fallback;
}

std::string DocNode::GetString(std::string_view name, std::string_view fallback) const {
  const std::string* text = StringRef(name);
  return text != nullptr ? *text : std::string(fallback);
}

std::u16string DocNode::GetWideString(std::string_view name, std::u16string_view fallback) const {
  const std::u16string* text = WideStringRef(name);
  return text != nullptr ? *text : std::u16string(fallback);
}

const MemoryStream* DocNode::GetBinary(std::string_view name, const MemoryStream* fallback) const {
  const DocAttribute* found = FindAttribute(name, AttributeType::Binary);
  return found != nullptr ? found->binary_value() : fallback;
}

const std::string* DocNode::StringRef(std::string_view name) const {
  const DocAttribute* found = FindAttribute(name, AttributeType::String);
  return found != nullptr ? found->string_value() : nullptr;
}

const std::u16string* DocNode::WideStringRef(std::string_view name) const {
  const DocAttribute* found = FindAttribute(name, AttributeType::WideString);
  return found != nullptr ? found->wide_string_value() : nullptr;
}

}  // namespace vidora
