#ifndef VIDORA_CORE_PROVIDERS_BOUNDED_JSON_H_
#define VIDORA_CORE_PROVIDERS_BOUNDED_JSON_H_

#include <cstdint>
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

// Field readers that accept what real servers send: a number as a string
// and a string as a number. `object` may be any JSON value; a missing key
// or a value of another kind gives the fallback / none.
std::string JsonText(const nlohmann::json& object, const char* key, size_t max_bytes = 4096);
std::optional<int64_t> JsonInteger(const nlohmann::json& object, const char* key);
// true, 1, "1", "true" (any case) are true; absent or other values false.
bool JsonFlag(const nlohmann::json& object, const char* key);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_BOUNDED_JSON_H_
