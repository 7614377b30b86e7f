#include "json_document.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <limits>
#include <optional>

#include "core/document/text_codec.h"
#include "core/providers/base64_text.h"

namespace vidora {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kTypeNames[] = {"plain", "int", "bool", "word3", "word4",
                                      "value64", "string", "wstring", "binary"};

Json AttributeToJson(const DocAttribute& attribute) {
  Json out = Json::object();
  out["name"] = attribute.name();
  const int32_t code = attribute.type_code();
  if (code < 0 || code > 8) {
    out["type"] = code;
    return out;
  }
  out["type"] = kTypeNames[code];
  switch (attribute.type()) {
    case AttributeType::Int: out["value"] = static_cast<int32_t>(attribute.word()); break;
    case AttributeType::Bool: out["value"] = (attribute.word() & 0xFF) != 0; break;
    case AttributeType::Value64: {
      std::string hex;
      char digits[3];
      for (uint8_t b : *attribute.value64()) {
        std::snprintf(digits, sizeof digits, "%02x", b);
        hex += digits;
      }
      out["value"] = hex;
      break;
    }
    case AttributeType::String: out["value"] = *attribute.string_value(); break;
    case AttributeType::WideString: out["value"] = Utf16ToUtf8(*attribute.wide_string_value()); break;
    case AttributeType::Binary: {
      const MemoryStream* block = attribute.binary_value();
      out["value"] = block != nullptr ? EncodeBase64(block->Data(), block->size()) : std::string();
      break;
    }
    default: out["value"] = attribute.word(); break;
  }
  return out;
}

bool ParseHex64(const std::string& text, Value64Bytes& out) {
  if (text.size() != 16) return false;
  for (size_t i = 0; i < 8; ++i) {
    unsigned value = 0;
    if (std::sscanf(text.c_str() + 2 * i, "%2x", &value) != 1) return false;
    for (size_t k = 2 * i; k < 2 * i + 2; ++k) {
      if (!std::isxdigit(static_cast<unsigned char>(text[k]))) return false;
    }
    out[i] = static_cast<uint8_t>(value);
  }
  return true;
}

bool JsonToAttribute(const Json& json, DocNode& node, std::string& error) {
  if (!json.is_object() || !json.contains("name") || !json["name"].is_string() || !json.contains("type")) {
    error = "an attribute needs \"name\" (text) and \"type\"";
    return false;
  }
  auto record = std::make_unique<DocAttribute>(json["name"].get<std::string>());
  const std::string& name = record->name();
  const Json& type = json["type"];
  if (type.is_number_integer()) {
    const int64_t code = type.get<int64_t>();
    if (code < 9 || code > 255) {
      error = "attribute \"" + name + "\": a numeric type must be 9 to 255";
      return false;
    }
    record->SetValueless(static_cast<int32_t>(code));
    node.InsertAttribute(std::move(record));
    return true;
  }
  if (!type.is_string()) {
    error = "attribute \"" + name + "\": \"type\" must be a name or a number";
    return false;
  }
  const std::string type_name = type.get<std::string>();
  int code = -1;
  for (int i = 0; i < 9; ++i) {
    if (type_name == kTypeNames[i]) code = i;
  }
  if (code < 0) {
    error = "attribute \"" + name + "\": unknown type \"" + type_name + "\"";
    return false;
  }
  if (!json.contains("value")) {
    error = "attribute \"" + name + "\": missing \"value\"";
    return false;
  }
  const Json& value = json["value"];
  const auto bad = [&](const char* what) {
    error = "attribute \"" + name + "\": value must be " + what;
    return false;
  };
  switch (static_cast<AttributeType>(code)) {
    case AttributeType::Int:
      if (!value.is_number_integer()) return bad("a signed 32-bit number");
      // A number beyond the signed 64-bit range would wrap when read as one.
      if ((value.is_number_unsigned() && value.get<uint64_t>() > uint64_t{INT32_MAX}) ||
          value.get<int64_t>() < std::numeric_limits<int32_t>::min() ||
          value.get<int64_t>() > std::numeric_limits<int32_t>::max()) {
        return bad("a signed 32-bit number");
      }
      record->SetInt(static_cast<int32_t>(value.get<int64_t>()));
      break;
    case AttributeType::Bool:
      if (!value.is_boolean()) return bad("true or false");
      record->SetBool(value.get<bool>());
      break;
    case AttributeType::Plain:
    case AttributeType::Word3:
    case AttributeType::Word4:
      if (!value.is_number_unsigned() || value.get<uint64_t>() > 0xFFFFFFFFull) {
        return bad("an unsigned 32-bit number");
      }
      record->SetWord(static_cast<AttributeType>(code), static_cast<uint32_t>(value.get<uint64_t>()));
      break;
    case AttributeType::Value64: {
      Value64Bytes bytes{};
      if (!value.is_string() || !ParseHex64(value.get<std::string>(), bytes)) return bad("16 hex digits");
      record->SetValue64(bytes);
      break;
    }
    case AttributeType::String:
      if (!value.is_string()) return bad("text");
      record->SetString(value.get<std::string>());
      break;
    case AttributeType::WideString:
      if (!value.is_string()) return bad("text");
      record->SetWideString(Utf8ToUtf16(value.get<std::string>()));
      break;
    case AttributeType::Binary: {
      if (!value.is_string()) return bad("base64 text");
      const std::optional<std::string> bytes = DecodeBase64(value.get<std::string>());
      if (!bytes) return bad("base64 text");
      record->SetBinary(MemoryStream(bytes->data(), static_cast<uint32_t>(bytes->size())));
      break;
    }
  }
  // A reader keeps only the first of two equal names, so a second one
  // would vanish from the built file without a word.
  if (node.InsertAttribute(std::move(record)) == nullptr) {
    error = "node \"" + node.name() + "\": attribute \"" + json["name"].get<std::string>() + "\" appears twice";
    return false;
  }
  return true;
}

bool JsonToNode(const Json& json, DocNode& node, std::string& error, int depth) {
  if (depth > 256) {
    error = "nesting deeper than 256 levels";
    return false;
  }
  if (!json.is_object() || !json.contains("name") || !json["name"].is_string()) {
    error = "a node needs \"name\" (text)";
    return false;
  }
  node.set_name(json["name"].get<std::string>());
  if (json.contains("attributes")) {
    if (!json["attributes"].is_array()) {
      error = "node \"" + node.name() + "\": \"attributes\" must be an array";
      return false;
    }
    for (const Json& attribute : json["attributes"]) {
      if (!JsonToAttribute(attribute, node, error)) return false;
    }
  }
  if (json.contains("children")) {
    if (!json["children"].is_array()) {
      error = "node \"" + node.name() + "\": \"children\" must be an array";
      return false;
    }
    for (const Json& child_json : json["children"]) {
      auto child = std::make_unique<DocNode>();
      if (!JsonToNode(child_json, *child, error, depth + 1)) return false;
      const std::string child_name = child->name();
      if (node.InsertChild(std::move(child)) == nullptr) {
        error = "node \"" + node.name() + "\": child \"" + child_name + "\" appears twice";
        return false;
      }
    }
  }
  return true;
}

}  // namespace

Json DocumentToJson(const DocNode& node) {
  Json out = Json::object();
  out["name"] = node.name();
  Json attributes = Json::array();
  for (const auto& attribute : node.attributes()) attributes.push_back(AttributeToJson(*attribute));
  out["attributes"] = std::move(attributes);
  Json children = Json::array();
  for (const auto& child : node.children()) children.push_back(DocumentToJson(*child));
  out["children"] = std::move(children);
  return out;
}

bool JsonToDocument(const Json& json, DocNode& node, std::string& error) {
  node.Clear();
  return JsonToNode(json, node, error, 0);
}

}  // namespace vidora
