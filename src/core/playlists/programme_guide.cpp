#include "core/playlists/programme_guide.h"

#include <algorithm>

#include "core/document/text_codec.h"

namespace vidora {

std::string GuideKey(std::string_view tvg_id, std::string_view name) {
  if (!tvg_id.empty()) return "id:" + std::string(tvg_id);
  std::u16string lower = Utf8ToUtf16(name);
  for (char16_t& c : lower) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) || (c >= 0x0410 && c <= 0x042F)) {
      c = static_cast<char16_t>(c + 32);
    }
  }
  return "name:" + Utf16ToUtf8(lower);
}

void ProgrammeGuide::Add(const std::string& key, Programme programme) {
  channels_[key].push_back(std::move(programme));
}

void ProgrammeGuide::Finish() {
  for (auto& [key, programmes] : channels_) {
    std::stable_sort(programmes.begin(), programmes.end(),
                     [](const Programme& a, const Programme& b) { return a.start < b.start; });
    // A guide that lists a channel twice (two sources merged) would show
    // every broadcast twice; the first of overlapping entries stays.
    std::vector<Programme> kept;
    kept.reserve(programmes.size());
    for (Programme& programme : programmes) {
      if (!kept.empty() && programme.start < kept.back().stop) continue;
      kept.push_back(std::move(programme));
    }
    programmes = std::move(kept);
  }
}

const std::vector<Programme>* ProgrammeGuide::Find(const std::string& key) const {
  auto it = channels_.find(key);
  return it == channels_.end() ? nullptr : &it->second;
}

NowNext ProgrammeGuide::FindNowNext(const std::string& key, int64_t now) const {
  NowNext result;
  const std::vector<Programme>* programmes = Find(key);
  if (programmes == nullptr) return result;
  auto after = std::upper_bound(programmes->begin(), programmes->end(), now,
                                [](int64_t t, const Programme& p) { return t < p.start; });
  if (after != programmes->begin()) {
    const Programme& candidate = *(after - 1);
    if (now < candidate.stop) result.now = &candidate;
  }
  if (after != programmes->end()) result.next = &*after;
  return result;
}

size_t ProgrammeGuide::programme_count() const {
  size_t count = 0;
  for (const auto& [key, programmes] : channels_) count += programmes.size();
  return count;
}

}  // namespace vidora
