#include "core/recording/recording_schedule.h"

#include <algorithm>
#include <charconv>

namespace vidora {
namespace {

constexpr std::string_view kHeader = "vidora-schedule 1";
constexpr size_t kMaxItems = 1000;
// A line's fields; files written before recordings knew their provider
// have one fewer, and readers that know no provider ignore the last.
constexpr size_t kFields = 8;
constexpr size_t kFieldsWithoutProvider = 7;

bool Overlap(const ScheduledRecording& a, const ScheduledRecording& b) {
  return a.RecordFrom() < b.RecordUntil() && b.RecordFrom() < a.RecordUntil();
}

bool Covers(const ScheduledRecording& r, int64_t t) { return r.RecordFrom() <= t && t < r.RecordUntil(); }

// Fields are separated by tabs and items by line ends: neither may occur
// inside one.
std::string Field(const std::string& text) {
  std::string out = text;
  std::replace_if(out.begin(), out.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return out;
}

bool Number(std::string_view text, int64_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

RecordingSchedule::AddResult RecordingSchedule::Add(const ScheduledRecording& recording, int limit) {
  AddResult result;
  if (Contains(recording)) {
    result.added = true;
    return result;
  }
  if (recording.end <= recording.start || items_.size() >= kMaxItems) return result;
  std::vector<int64_t> moments{recording.RecordFrom()};
  for (const ScheduledRecording& other : items_) {
    if (!Overlap(other, recording)) continue;
    result.clashes.push_back(other);
    if (Covers(recording, other.RecordFrom())) moments.push_back(other.RecordFrom());
  }
  for (int64_t t : moments) {
    const auto running = std::count_if(items_.begin(), items_.end(), [t](const auto& r) { return Covers(r, t); });
    if (running + 1 > limit) return result;
  }
  result.clashes.clear();
  result.added = true;
  items_.push_back(recording);
  std::sort(items_.begin(), items_.end(), [](const auto& a, const auto& b) { return a.start < b.start; });
  return result;
}

bool RecordingSchedule::Remove(const ScheduledRecording& recording) {
  const auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& r) { return r.SameProgramme(recording); });
  if (it == items_.end()) return false;
  items_.erase(it);
  return true;
}

bool RecordingSchedule::Contains(const ScheduledRecording& recording) const {
  return std::any_of(items_.begin(), items_.end(), [&](const auto& r) { return r.SameProgramme(recording); });
}

std::vector<ScheduledRecording> RecordingSchedule::TakeDue(int64_t now) {
  std::vector<ScheduledRecording> due;
  std::vector<ScheduledRecording> waiting;
  for (ScheduledRecording& r : items_) {
    if (Covers(r, now)) due.push_back(std::move(r));
    else if (r.RecordUntil() > now) waiting.push_back(std::move(r));
  }
  items_ = std::move(waiting);
  return due;
}

std::string RecordingSchedule::Write() const {
  std::string out(kHeader);
  out += '\n';
  for (const ScheduledRecording& r : items_) {
    out += std::to_string(r.start) + '\t' + std::to_string(r.end) + '\t' + Field(r.channel) + '\t' + Field(r.title) +
           '\t' + Field(r.address) + '\t' + Field(r.user_agent) + '\t' + Field(r.referrer) + '\t' + Field(r.provider) +
           '\n';
  }
  return out;
}

RecordingSchedule RecordingSchedule::Read(std::string_view text) {
  RecordingSchedule schedule;
  if (text.substr(0, kHeader.size()) != kHeader) return schedule;
  size_t from = text.find('\n');
  while (from != std::string_view::npos && from + 1 < text.size() && schedule.items_.size() < kMaxItems) {
    const size_t end = text.find('\n', from + 1);
    const std::string_view line = text.substr(from + 1, end == std::string_view::npos ? std::string_view::npos : end - from - 1);
    from = end;
    std::vector<std::string_view> fields;
    size_t at = 0;
    while (fields.size() < kFields) {
      const size_t tab = line.find('\t', at);
      fields.push_back(line.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at));
      if (tab == std::string_view::npos) break;
      at = tab + 1;
    }
    ScheduledRecording r;
    if ((fields.size() != kFields && fields.size() != kFieldsWithoutProvider) || !Number(fields[0], r.start) || !Number(fields[1], r.end)) continue;
    constexpr int64_t kLatest = int64_t{1} << 40;  // keeps the minute arithmetic far from overflow
    if (r.start < 0 || r.end <= r.start || r.end > kLatest || fields[4].empty()) continue;
    r.channel = fields[2];
    r.title = fields[3];
    r.address = fields[4];
    r.user_agent = fields[5];
    r.referrer = fields[6];
    if (fields.size() == kFields) r.provider = fields[7];
    if (!schedule.Contains(r)) schedule.items_.push_back(std::move(r));
  }
  return schedule;
}

}  // namespace vidora
