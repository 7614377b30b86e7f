#ifndef VIDORA_CORE_PROVIDERS_XTREAM_FIELDS_H_
#define VIDORA_CORE_PROVIDERS_XTREAM_FIELDS_H_

#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/providers/bounded_json.h"
#include "core/providers/xtream_answers.h"

namespace vidora {

// What the readers of the API's answers (live lists and the short guide in
// xtream_answers, films and series in xtream_vod) share: the bounds of
// their texts and the shapes servers send. Pure; any thread.

inline constexpr size_t kXtreamMaxNameBytes = 512;
inline constexpr size_t kXtreamMaxAddressBytes = 2048;

// `text` with its control characters as blanks: a text the user reads.
std::string BlankControls(std::string text);

// The member `key` of `object`; nullptr when `object` is no object or has
// no such member.
const nlohmann::json* JsonMember(const nlohmann::json& object, const char* key);
// The same when the member is a list of rows (an array, or an object of
// rows, as servers send both); nullptr for anything else.
const nlohmann::json* JsonRowsMember(const nlohmann::json& object, const char* key);

// Parses a whole answer into `json`; false, with `failure` set, when it is
// no JSON.
bool ParseXtreamAnswer(std::string_view body, JsonAnswer& json, XtreamFailure& failure);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_XTREAM_FIELDS_H_
