#include "core/providers/account_status.h"

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

}  // namespace vidora
