#include "core/providers/bounded_json.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace vidora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The deepest nesting of `text`, counted outside strings; stops as soon as
// it passes `limit`.
size_t NestingDepth(std::string_view text, size_t limit) {
  size_t depth = 0;
  size_t deepest = 0;
  bool in_string = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\') ++i;
      else if (c == '"') in_string = false;
      continue;
    }
    if (c == '"') in_string = true;
    else if (c == '[' || c == '{') {
      if (++depth > deepest) deepest = depth;
      if (deepest > limit) return deepest;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return deepest;
}

}  // namespace

JsonAnswer ParseBoundedJson(std::string_view text) {
  JsonAnswer answer;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  if (text.empty()) {
    answer.failure = JsonFailure::kEmpty;
    return answer;
  }
  if (text.front() == '<') {
    answer.failure = JsonFailure::kHtml;
    return answer;
  }
  if (NestingDepth(text, kMaxJsonDepth) > kMaxJsonDepth) {
    answer.failure = JsonFailure::kTooDeep;
    return answer;
  }
  answer.value = nlohmann::json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
  if (answer.value.is_discarded()) {
    answer.value = nullptr;
    answer.failure = JsonFailure::kNotJson;
  }
  return answer;
}

std::string JsonText(const nlohmann::json& object, const char* key, size_t max_bytes) {
  if (!object.is_object()) return {};
  const auto it = object.find(key);
  if (it == object.end()) return {};
  std::string text;
  if (it->is_string()) text = it->get_ref<const std::string&>();
  else if (it->is_number_integer()) text = std::to_string(it->get<int64_t>());
  else if (it->is_number_unsigned()) text = std::to_string(it->get<uint64_t>());
  else if (it->is_number_float()) text = it->dump();
  if (text.size() > max_bytes) text.resize(max_bytes);
  return text;
}

std::optional<int64_t> JsonInteger(const nlohmann::json& object, const char* key) {
  if (!object.is_object()) return std::nullopt;
  const auto it = object.find(key);
  if (it == object.end()) return std::nullopt;
  if (it->is_number_integer()) return it->get<int64_t>();
  if (it->is_number_unsigned()) {
    const uint64_t value = it->get<uint64_t>();
    return value <= static_cast<uint64_t>(INT64_MAX) ? std::optional<int64_t>(static_cast<int64_t>(value)) : std::nullopt;
  }
  if (it->is_number_float()) {
    const double value = it->get<double>();
    if (!std::isfinite(value) || std::fabs(value) > 9.0e18) return std::nullopt;
    return static_cast<int64_t>(value);
  }
  if (it->is_string()) {
    std::string_view text = it->get_ref<const std::string&>();
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size() && !text.empty()) return value;
  }
  return std::nullopt;
}

bool JsonFlag(const nlohmann::json& object, const char* key) {
  if (!object.is_object()) return false;
  const auto it = object.find(key);
  if (it == object.end()) return false;
  if (it->is_boolean()) return it->get<bool>();
  if (it->is_string()) {
    std::string text = it->get<std::string>();
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (text == "true") return true;
  }
  const std::optional<int64_t> number = JsonInteger(object, key);
  return number.has_value() && *number != 0;
}

}  // namespace vidora
