#include "core/providers/xtream_fields.h"

namespace vidora {

std::string BlankControls(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

const nlohmann::json* JsonMember(const nlohmann::json& object, const char* key) {
  if (!object.is_object()) return nullptr;
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

const nlohmann::json* JsonRowsMember(const nlohmann::json& object, const char* key) {
  const nlohmann::json* member = JsonMember(object, key);
  return member != nullptr && (member->is_array() || member->is_object()) ? member : nullptr;
}

bool ParseXtreamAnswer(std::string_view body, JsonAnswer& json, XtreamFailure& failure) {
  json = ParseBoundedJson(body);
  if (json.failure == JsonFailure::kNone) return true;
  failure = FailureOf(json.failure);
  return false;
}

}  // namespace vidora
