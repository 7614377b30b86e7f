#include "core/providers/xtream_answers.h"

#include <algorithm>
#include <cctype>

#include "core/providers/base64_text.h"
#include "core/providers/bounded_json.h"
#include "core/providers/xtream_fields.h"

namespace vidora {

XtreamFailure FailureOf(JsonFailure failure) {
  switch (failure) {
    case JsonFailure::kNone: return XtreamFailure::kNone;
    case JsonFailure::kEmpty: return XtreamFailure::kEmpty;
    case JsonFailure::kHtml: return XtreamFailure::kHtml;
    case JsonFailure::kNotJson:
    case JsonFailure::kTooDeep: return XtreamFailure::kNotJson;
  }
  return XtreamFailure::kNotJson;
}

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Servers send the list as an array, some as an object keyed by index.
template <typename Row>
void ForEachRow(const nlohmann::json& list, Row row) {
  for (const nlohmann::json& item : list) row(item);
}

// A list answer: rows as an array, or as an object of rows (servers send
// both). `failure` says why there is none.
JsonAnswer ReadRowList(std::string_view body, XtreamFailure& failure) {
  JsonAnswer json;
  if (ParseXtreamAnswer(body, json, failure) && !json.value.is_array() && !json.value.is_object()) {
    failure = XtreamFailure::kWrongTypes;
  }
  return json;
}

// A guide text as the user reads it: Base64 decoded when it is Base64,
// cut to `max_bytes` at a character boundary, control characters blanks.
std::string GuideText(const nlohmann::json& row, const char* key, size_t max_bytes) {
  std::string text = JsonText(row, key, max_bytes * 2);
  if (std::optional<std::string> decoded = DecodeBase64(text)) text = std::move(*decoded);
  if (text.size() > max_bytes) {
    size_t cut = max_bytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
  }
  return BlankControls(std::move(text));
}

}  // namespace

XtreamFailure ReadXtreamRows(std::string_view body, const std::function<void(const nlohmann::json& row)>& row) {
  const JsonRows rows = ForEachJsonRow(body, row);
  if (rows.failure != JsonFailure::kNone) return FailureOf(rows.failure);
  return rows.list ? XtreamFailure::kNone : XtreamFailure::kWrongTypes;
}

bool XtreamAccountInfo::PrefersHls() const {
  return formats.empty() || std::find(formats.begin(), formats.end(), "m3u8") != formats.end();
}

XtreamAccountAnswer ReadXtreamAccount(std::string_view body, int64_t now) {
  XtreamAccountAnswer answer;
  JsonAnswer json;
  if (!ParseXtreamAnswer(body, json, answer.failure)) return answer;
  const nlohmann::json* user = JsonMember(json.value, "user_info");
  if (user == nullptr || !user->is_object()) {
    answer.failure = XtreamFailure::kWrongTypes;
    return answer;
  }
  if (!JsonFlag(*user, "auth")) {
    answer.failure = XtreamFailure::kWrongCredentials;
    return answer;
  }
  XtreamAccountInfo& info = answer.info;
  info.status = JsonText(*user, "status", 64);
  info.expires_at = std::max<int64_t>(0, JsonInteger(*user, "exp_date").value_or(0));
  info.max_connections = JsonInteger(*user, "max_connections").value_or(0);
  info.active_connections = JsonInteger(*user, "active_cons").value_or(0);
  info.trial = JsonFlag(*user, "is_trial");
  const auto formats = user->find("allowed_output_formats");
  if (formats != user->end() && formats->is_array()) {
    for (const nlohmann::json& format : *formats) {
      if (format.is_string() && format.get_ref<const std::string&>().size() <= 16 && info.formats.size() < 16) {
        info.formats.push_back(Lower(format.get<std::string>()));
      }
    }
  }
  const std::string status = Lower(info.status);
  if (status == "expired" || (info.expires_at != 0 && info.expires_at < now)) {
    answer.failure = XtreamFailure::kExpired;
  } else if (status == "disabled" || status == "banned") {
    answer.failure = XtreamFailure::kDisabled;
  }
  return answer;
}

XtreamCategories ReadXtreamCategories(std::string_view body) {
  XtreamCategories result;
  JsonAnswer json = ReadRowList(body, result.failure);
  if (result.failure != XtreamFailure::kNone) return result;
  ForEachRow(json.value, [&result](const nlohmann::json& row) {
    const std::string id = JsonText(row, "category_id", 64);
    if (!id.empty()) result.names.emplace(id, JsonText(row, "category_name", kXtreamMaxNameBytes));
  });
  return result;
}

XtreamStreams ReadXtreamStreams(std::string_view body) {
  XtreamStreams result;
  // Row by row: a provider's list of 20,000 channels never stands in
  // memory as one document.
  result.failure = ReadXtreamRows(body, [&result](const nlohmann::json& row) {
    XtreamStream stream;
    const std::optional<int64_t> id = JsonInteger(row, "stream_id");
    stream.name = JsonText(row, "name", kXtreamMaxNameBytes);
    if (!id || *id < 0 || stream.name.empty()) {
      ++result.skipped;
      return;
    }
    stream.id = *id;
    stream.icon = JsonText(row, "stream_icon", kXtreamMaxAddressBytes);
    stream.guide_id = JsonText(row, "epg_channel_id", 256);
    stream.category_id = JsonText(row, "category_id", 64);
    stream.archive = JsonFlag(row, "tv_archive");
    stream.archive_days = std::max<int64_t>(0, JsonInteger(row, "tv_archive_duration").value_or(0));
    result.streams.push_back(std::move(stream));
  });
  if (result.failure != XtreamFailure::kNone) result.streams.clear();
  return result;
}

XtreamShortGuide ReadXtreamShortGuide(std::string_view body) {
  XtreamShortGuide result;
  JsonAnswer json;
  if (!ParseXtreamAnswer(body, json, result.failure)) return result;
  const nlohmann::json* list = JsonRowsMember(json.value, "epg_listings");
  if (list == nullptr) {
    result.failure = XtreamFailure::kWrongTypes;
    return result;
  }
  ForEachRow(*list, [&result](const nlohmann::json& row) {
    if (result.programmes.size() >= kMaxShortGuideProgrammes) return;
    XtreamProgramme programme;
    programme.start = JsonInteger(row, "start_timestamp").value_or(0);
    programme.stop = JsonInteger(row, "stop_timestamp").value_or(0);
    programme.title = GuideText(row, "title", kXtreamMaxNameBytes);
    if (programme.start <= 0 || programme.stop <= programme.start || programme.title.empty()) return;
    programme.description = GuideText(row, "description", 4096);
    result.programmes.push_back(std::move(programme));
  });
  std::stable_sort(result.programmes.begin(), result.programmes.end(),
                   [](const XtreamProgramme& a, const XtreamProgramme& b) { return a.start < b.start; });
  return result;
}

}  // namespace vidora
