#include "core/document/doc_node.h"

namespace vidora {

void DocNode::Clear() {
  attributes_.Clear();
  children_.Clear();
}

DocNode* DocNode::FindChild(std::string_view name, bool create) {
  DocNode* found = children_.Find(name);
  if (found == nullptr && create) found = AddChild(name);
  return found;
}

const DocNode* DocNode::FindChild(std::string_view name) const { return children_.Find(name); }

DocNode* DocNode::AddChild(std::string_view name) {
  if (children_.Find(name) != nullptr) return nullptr;
  return children_.Insert(std::make_unique<DocNode>(std::string(name)));
}

DocNode* DocNode::InsertChild(std::unique_ptr<DocNode> child) {
  return children_.Insert(std::move(child));
}

DocAttribute* DocNode::FindAttribute(std::string_view name) const { return attributes_.Find(name); }

DocAttribute* DocNode::FindAttribute(std::string_view name, AttributeType type) const {
  DocAttribute* found = attributes_.Find(name);
  return found != nullptr && found->type() == type ? found : nullptr;
}

DocAttribute* DocNode::AddAttribute(std::string_view name) {
  if (attributes_.Find(name) != nullptr) return nullptr;
  return attributes_.Insert(std::make_unique<DocAttribute>(std::string(name)));
}

DocAttribute* DocNode::InsertAttribute(std::unique_ptr<DocAttribute> record) {
  return attributes_.Insert(std::move(record));
}

DocAttribute* DocNode::SetAttribute(std::unique_ptr<DocAttribute> record) {
  return attributes_.Replace(std::move(record));
}

DocAttribute* DocNode::SetBool(std::string_view name, bool flag) {
  auto record = std::make_unique<DocAttribute>(std::string(name));
  record->SetBool(flag);
  return SetAttribute(std::move(record));
}

DocAttribute* DocNode::SetInt(std::string_view name, int32_t value) {
  auto record = std::make_unique<DocAttribute>(std::string(name));
  record->SetInt(value);
  return SetAttribute(std::move(record));
}

DocAttribute* DocNode::SetString(std::string_view name, std::string text) {
  auto record = std::make_unique<DocAttribute>(std::string(name));
  record->SetString(std::move(text));
  return SetAttribute(std::move(record));
}

DocAttribute* DocNode::SetWideString(std::string_view name, std::u16string text) {
  auto record = std::make_unique<DocAttribute>(std::string(name));
  record->SetWideString(std::move(text));
  return SetAttribute(std::move(record));
}

DocAttribute* DocNode::SetBinary(std::string_view name, MemoryStream block) {
  auto record = std::make_unique<DocAttribute>(std::string(name));
  record->SetBinary(std::move(block));
  return SetAttribute(std::move(record));
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
