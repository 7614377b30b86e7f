#include "core/providers/bounded_json.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

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

// Why `text` cannot be JSON at a glance, after a byte order mark and
// blanks are skipped (kNone: it may be).
JsonFailure Precheck(std::string_view& text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  if (text.empty()) return JsonFailure::kEmpty;
  if (text.front() == '<') return JsonFailure::kHtml;
  if (NestingDepth(text, kMaxJsonDepth) > kMaxJsonDepth) return JsonFailure::kTooDeep;
  return JsonFailure::kNone;
}

// A SAX reader that builds one row (a value at depth 1) at a time.
class RowReader {
 public:
  using json = nlohmann::json;
  explicit RowReader(const std::function<void(const json&)>& row) : row_(row) {}

  bool null() { return Value(nullptr); }
  bool boolean(bool value) { return Value(value); }
  bool number_integer(json::number_integer_t value) { return Value(value); }
  bool number_unsigned(json::number_unsigned_t value) { return Value(value); }
  bool number_float(json::number_float_t value, const std::string&) { return Value(value); }
  bool string(std::string& value) { return Value(std::move(value)); }
  bool binary(json::binary_t&) { return Value(nullptr); }
  bool start_object(std::size_t) { return Open(json::object()); }
  bool start_array(std::size_t) { return Open(json::array()); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }
  bool key(std::string& name) {
    key_ = std::move(name);
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    failed_ = true;
    return false;
  }

  bool failed() const { return failed_; }
  bool list() const { return list_; }

 private:
  // Where a value at the current depth goes inside the row being built.
  json* Place(json value) {
    json& parent = *stack_.back();
    if (parent.is_object()) {
      json& slot = parent[key_];
      slot = std::move(value);
      return &slot;
    }
    parent.push_back(std::move(value));
    return &parent.back();
  }
  bool Value(json value) {
    if (depth_ >= 2) Place(std::move(value));
    return true;  // a scalar row, or a scalar answer, is no row
  }
  bool Open(json container) {
    if (depth_ == 0) {
      list_ = true;
    } else if (depth_ == 1) {
      current_ = std::move(container);
      stack_.assign(1, &current_);
    } else {
      stack_.push_back(Place(std::move(container)));
    }
    ++depth_;
    return true;
  }
  bool Close() {
    --depth_;
    if (depth_ == 1) {
      if (current_.is_object()) row_(current_);
      current_ = nullptr;
      stack_.clear();
    } else if (depth_ > 1) {
      stack_.pop_back();
    }
    return true;
  }

  const std::function<void(const json&)>& row_;
  json current_;
  std::vector<json*> stack_;
  std::string key_;
  size_t depth_ = 0;
  bool list_ = false;
  bool failed_ = false;
};

}  // namespace

JsonRows ForEachJsonRow(std::string_view text, const std::function<void(const nlohmann::json& row)>& row) {
  JsonRows rows;
  rows.failure = Precheck(text);
  if (rows.failure != JsonFailure::kNone) return rows;
  RowReader reader(row);
  const bool parsed = nlohmann::json::sax_parse(text.begin(), text.end(), &reader, nlohmann::json::input_format_t::json,
                                                /*strict=*/true);
  if (!parsed || reader.failed()) {
    rows.failure = JsonFailure::kNotJson;
    return rows;
  }
  rows.list = reader.list();
  return rows;
}

JsonAnswer ParseBoundedJson(std::string_view text) {
  JsonAnswer answer;
  answer.failure = Precheck(text);
  if (answer.failure != JsonFailure::kNone) return answer;
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
