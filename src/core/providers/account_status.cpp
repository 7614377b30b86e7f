#include "core/providers/account_status.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <mutex>

namespace vidora {
namespace {

struct StatusTable {
  std::mutex mutex;
  std::map<std::string, XtreamAccountInfo> by_source;
};

StatusTable& Table() {
  static StatusTable table;
  return table;
}

constexpr char kField = '\x1f';
constexpr char kRecord = '\x1e';

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t at = 0;
  while (at <= text.size()) {
    const size_t end = std::min(text.find(separator, at), text.size());
    parts.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

int64_t Number(std::string_view text) {
  int64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

void RememberAccountInfo(const std::string& source, const XtreamAccountInfo& info) {
  StatusTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.by_source[source] = info;
}

std::optional<XtreamAccountInfo> KnownAccountInfo(const std::string& source) {
  StatusTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const auto found = table.by_source.find(source);
  if (found == table.by_source.end()) return std::nullopt;
  return found->second;
}

std::string EncodeAccountInfos(const std::vector<std::string>& sources) {
  StatusTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  std::string text;
  for (const std::string& source : sources) {
    const auto found = table.by_source.find(source);
    if (found == table.by_source.end()) continue;
    const XtreamAccountInfo& info = found->second;
    std::string formats;
    for (const std::string& format : info.formats) {
      if (!formats.empty()) formats += ',';
      formats += format;
    }
    for (const std::string& field :
         {source, info.status, std::to_string(info.expires_at), std::to_string(info.max_connections),
          std::to_string(info.active_connections), std::string(info.trial ? "1" : "0"), formats}) {
      // Separators inside a server's text would split the record.
      for (char c : field) text += c == kField || c == kRecord ? ' ' : c;
      text += kField;
    }
    text.back() = kRecord;
  }
  return text;
}

void RestoreAccountInfos(std::string_view text) {
  for (std::string_view record : Split(text, kRecord)) {
    const std::vector<std::string_view> fields = Split(record, kField);
    if (fields.size() != 7 || fields[0].empty()) continue;
    XtreamAccountInfo info;
    info.status = std::string(fields[1]);
    info.expires_at = std::max<int64_t>(0, Number(fields[2]));
    info.max_connections = Number(fields[3]);
    info.active_connections = Number(fields[4]);
    info.trial = fields[5] == "1";
    for (std::string_view format : Split(fields[6], ',')) {
      if (!format.empty() && info.formats.size() < 16) info.formats.emplace_back(format);
    }
    StatusTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.by_source.emplace(std::string(fields[0]), std::move(info));
  }
}

}  // namespace vidora
