#ifndef VIDORA_CORE_GUIDE_GUIDE_STORE_H_
#define VIDORA_CORE_GUIDE_GUIDE_STORE_H_

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/document/text_key_map.h"
#include "core/guide/text_arena.h"

namespace vidora {

// How far around the reading time a guide is kept: the past for catch-up,
// two weeks ahead for the grid.
inline constexpr int64_t kGuideDaysBack = 7;
inline constexpr int64_t kGuideDaysAhead = 14;

// Bounds a hostile or absurd guide cannot pass: programmes kept per channel
// (about one every five minutes for three weeks) and in total, channels,
// and the bytes of interned text.
struct GuideCaps {
  uint32_t programmes_per_channel = 6048;
  uint32_t programmes = 6'000'000;
  uint32_t channels = 100'000;
  uint64_t text_bytes = 512ull << 20;
};

// One broadcast, fixed size. Times are seconds since 1970 UTC, start < stop.
// Texts are TextArena references (0: none).
struct ProgrammeRecord {
  int64_t start = 0;
  int64_t stop = 0;
  TextRef title = 0;
  TextRef sub_title = 0;
  TextRef episode = 0;      // "S2 E5" (from xmltv_ns) or the onscreen form
  TextRef description = 0;
  TextRef categories = 0;   // ", "-joined
  TextRef rating = 0;
  TextRef icon = 0;         // address of a picture
  TextRef catchup_id = 0;   // the catchup-id attribute, for archive requests
};

// A <channel> of the guide: its id and display names.
struct GuideChannel {
  TextRef id = 0;
  TextRef icon = 0;
  uint32_t first_name = 0;  // into names()
  uint32_t name_count = 0;
  uint32_t first = 0;       // into records(), after Finish
  uint32_t count = 0;
};

// The programme guide in bounded memory: texts interned once in an arena,
// programmes as fixed-size records sorted by start per channel, without
// overlaps (the first programme of a slot wins, so later sources only fill
// gaps). Built on one thread (Add*, then Finish), afterwards read-only and
// safe to share between threads.
class GuideStore {
 public:
  explicit GuideStore(GuideCaps caps = {}) : caps_(caps) {}

  // The channel with `id`, made on first use; -1 when the channel cap is
  // reached.
  int32_t AddChannel(std::string_view id);
  void AddDisplayName(int32_t channel, std::string_view name);
  void SetChannelIcon(int32_t channel, std::string_view icon);
  // Keeps `record` unless it overlaps one kept before, its times are
  // reversed or empty, or a cap is reached. True when kept.
  bool AddProgramme(int32_t channel, const ProgrammeRecord& record);
  TextRef Intern(std::string_view text) { return texts_.Intern(text, caps_.text_bytes); }
  // Lays the records out per channel; call once after the last Add.
  void Finish();

  // Read side (after Finish).
  size_t channel_count() const { return channels_.size(); }
  const GuideChannel& channel(size_t index) const { return channels_[index]; }
  // The channel with exactly this id, or -1.
  int32_t FindChannel(std::string_view id) const;
  std::span<const ProgrammeRecord> Programmes(size_t channel) const;
  std::span<const TextRef> DisplayNames(size_t channel) const;
  std::string_view Text(TextRef ref) const { return texts_.View(ref); }
  size_t programme_count() const { return programme_count_; }
  // Programmes refused because a cap was reached (to say so once).
  uint64_t dropped_by_caps() const { return dropped_by_caps_; }
  const GuideCaps& caps() const { return caps_; }

  // The running programme at `now` (or null) and the one after it (or null).
  struct NowNext {
    const ProgrammeRecord* now = nullptr;
    const ProgrammeRecord* next = nullptr;
  };
  NowNext FindNowNext(size_t channel, int64_t now) const;
  // The index of the first programme that ends after `time`.
  size_t FirstEndingAfter(size_t channel, int64_t time) const;

  // The raw parts, for the cache writer and reader.
  const TextArena& texts() const { return texts_; }
  const std::vector<TextRef>& names() const { return names_; }
  const std::vector<ProgrammeRecord>& records() const { return records_; }
  void Adopt(TextArena texts, std::vector<GuideChannel> channels, std::vector<TextRef> names,
             std::vector<ProgrammeRecord> records);

 private:
  GuideCaps caps_;
  TextArena texts_;
  std::vector<GuideChannel> channels_;
  std::vector<TextRef> names_;
  TextKeyMap<int32_t> by_id_;
  // While building: each channel's records, in start order.
  std::vector<std::vector<ProgrammeRecord>> building_;
  std::vector<ProgrammeRecord> records_;
  size_t programme_count_ = 0;
  uint64_t dropped_by_caps_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_GUIDE_STORE_H_
