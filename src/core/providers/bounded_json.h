#ifndef VIDORA_CORE_PROVIDERS_BOUNDED_JSON_H_
#define VIDORA_CORE_PROVIDERS_BOUNDED_JSON_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace vidora {

// Limits every JSON answer of a service is read within.
inline constexpr size_t kMaxJsonDepth = 32;

// Why an answer could not be read as JSON.
enum class JsonFailure {
  kNone,
  kEmpty,    // no body, or blanks only
  kHtml,     // a web page (a login or error page of the server)
  kNotJson,  // anything else that does not parse
  kTooDeep,  // nested deeper than kMaxJsonDepth
};

struct JsonAnswer {
  JsonFailure failure = JsonFailure::kNone;
  nlohmann::json value;  // null unless failure is kNone
};

// Parses `text` (at most the HTTP client's body bound; the caller has
// bounded its size) without exceptions leaving it. Nesting is measured
// before parsing, so hostile depth costs one pass. Any thread.
JsonAnswer ParseBoundedJson(std::string_view text);

// Reads a list answer (an array of rows, or an object whose values are the
// rows, as servers send both) one row at a time, so that a list of 100,000
// rows never stands in memory as one document: `row` gets each row that is
// an object, whole; other rows are skipped. The same bounds and failures
// as ParseBoundedJson; `list` says whether the answer was an array or an
// object at all (false: a scalar, so not the list asked for). Any thread.
struct JsonRows {
  JsonFailure failure = JsonFailure::kNone;
  bool list = false;
};
JsonRows ForEachJsonRow(std::string_view text, const std::function<void(const nlohmann::json& row)>& row);

// Field readers that accept what real servers send: a number as a string
// and a string as a number. `object` may be any JSON value; a missing key
// or a value of another kind gives the fallback / none.
std::string JsonText(const nlohmann::json& object, const char* key, size_t max_bytes = 4096);
std::optional<int64_t> JsonInteger(const nlohmann::json& object, const char* key);
// true, 1, "1", "true" (any case) are true; absent or other values false.
bool JsonFlag(const nlohmann::json& object, const char* key);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_BOUNDED_JSON_H_
