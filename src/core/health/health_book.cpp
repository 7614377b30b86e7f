#include "core/health/health_book.h"

#include <algorithm>
#include <charconv>

#include "core/catalogue/channel.h"
#include "core/document/text_codec.h"
#include "core/playlists/m3u_reader.h"

namespace vidora {
namespace {

const HealthBook* current_book = nullptr;

bool Fresh(const SourceCheck& check, int64_t now) {
  return check.checked_at <= now + 60 && now - check.checked_at < kHealthResultSeconds;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

// Splits off the text before the next tab; false when there is none.
bool NextField(std::string_view& line, std::string_view& field) {
  const size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return false;
  field = line.substr(0, tab);
  line.remove_prefix(tab + 1);
  return true;
}

}  // namespace

void HealthBook::Record(std::string address, const SourceCheck& check) {
  checks_.insert_or_assign(std::move(address), check);
}

const SourceCheck* HealthBook::Find(std::string_view address, int64_t now) const {
  const auto it = checks_.find(address);
  return it != checks_.end() && Fresh(it->second, now) ? &it->second : nullptr;
}

ChannelHealth HealthBook::Judge(const Channel& channel, int64_t now) const {
  ChannelHealth health;
  const auto sources = channel.sources();
  health.sources = static_cast<int>(sources.size());
  if (checks_.empty()) return health;
  for (size_t i = 0; i < sources.size(); ++i) {
    const SourceCheck* check = Find(sources[i].address, now);
    if (check == nullptr || check->state == SourceState::kUnknown) continue;
    ++health.checked;
    if (check->state != SourceState::kDead) continue;
    if (health.dead++ == 0) {
      health.first_dead = static_cast<int>(i);
      health.first_dead_check = check;
    }
  }
  return health;
}

std::vector<int> HealthBook::LiveFirst(const Channel& channel, int64_t now) const {
  const auto sources = channel.sources();
  std::vector<int> order(sources.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_partition(order.begin(), order.end(), [&](int i) {
    const SourceCheck* check = Find(sources[static_cast<size_t>(i)].address, now);
    return check == nullptr || check->state != SourceState::kDead;
  });
  return order;
}

void HealthBook::Merge(const HealthBook& other) {
  for (const auto& [address, check] : other.checks_) {
    const auto [it, added] = checks_.try_emplace(address, check);
    if (!added && it->second.checked_at < check.checked_at) it->second = check;
  }
}

std::vector<std::string> HealthBook::Stale(int64_t now) const {
  std::vector<std::string> stale;
  for (const auto& [address, check] : checks_) {
    if (!Fresh(check, now)) stale.push_back(address);
  }
  return stale;
}

std::string HealthBook::Encode() const {
  std::string out = kHealthBookHeader;
  out += '\n';
  for (const auto& [address, check] : checks_) {
    out += std::to_string(check.checked_at);
    out += '\t';
    out += std::to_string(static_cast<int>(check.state));
    out += '\t';
    out += std::to_string(static_cast<int>(check.reason));
    out += '\t';
    out += std::to_string(check.http_status);
    out += '\t';
    // Addresses never hold a line end or a tab that matters: both are
    // cut off here so that one cannot end or split a line.
    std::string text = address;
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
    out += text;
    out += '\n';
  }
  return out;
}

bool HealthBook::Decode(std::string_view text, HealthBook& out) {
  const size_t first_end = text.find('\n');
  std::string_view header = text.substr(0, first_end);
  if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
  if (header != kHealthBookHeader) return false;
  std::string_view rest = first_end == std::string_view::npos ? std::string_view() : text.substr(first_end + 1);
  std::vector<std::pair<std::string, SourceCheck>> read;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view time, state, reason, status;
    if (!NextField(line, time) || !NextField(line, state) || !NextField(line, reason) || !NextField(line, status)) {
      continue;
    }
    SourceCheck check;
    int state_number = 0, reason_number = 0;
    if (!ParseNumber(time, check.checked_at) || !ParseNumber(state, state_number) ||
        !ParseNumber(reason, reason_number) || !ParseNumber(status, check.http_status)) {
      continue;
    }
    if (state_number < 0 || state_number > static_cast<int>(SourceState::kDead)) continue;
    if (reason_number < 0 || reason_number > kLastDeadReason) continue;
    if (line.empty() || line.size() > kMaxEntryAddressBytes) continue;
    // No address holds a control character; a line with one is damaged.
    if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) continue;
    check.state = static_cast<SourceState>(state_number);
    check.reason = static_cast<DeadReason>(reason_number);
    read.emplace_back(line, check);
  }
  // Too many: the newest are kept.
  if (read.size() > kMaxStoredSourceChecks) {
    std::nth_element(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(kMaxStoredSourceChecks), read.end(),
                     [](const auto& a, const auto& b) { return a.second.checked_at > b.second.checked_at; });
    read.resize(kMaxStoredSourceChecks);
  }
  for (auto& [address, check] : read) out.Record(std::move(address), check);
  return true;
}

const HealthBook* CurrentHealthBook() { return current_book; }
void SetCurrentHealthBook(const HealthBook* book) { current_book = book; }

}  // namespace vidora
