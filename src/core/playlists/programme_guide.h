#ifndef VIDORA_CORE_PLAYLISTS_PROGRAMME_GUIDE_H_
#define VIDORA_CORE_PLAYLISTS_PROGRAMME_GUIDE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vidora {

// One broadcast of the programme guide. Times are seconds since 1970, UTC.
struct Programme {
  int64_t start = 0;
  int64_t stop = 0;
  std::u16string title;
};

// The programme running at a moment and the one after it; either may be
// absent (nullptr). Borrowed from the guide.
struct NowNext {
  const Programme* now = nullptr;
  const Programme* next = nullptr;
};

// The key under which a playlist channel finds its programmes: its tvg-id
// when it has one, else its name without regard to letter case.
std::string GuideKey(std::string_view tvg_id, std::string_view name);

// Programmes by channel guide key, each list sorted by start time without
// overlaps. Built on a worker thread, then handed to the UI thread and not
// changed there; not thread-safe.
class ProgrammeGuide {
 public:
  void Add(const std::string& key, Programme programme);
  // Sorts each channel's programmes and drops repeats; call once after the
  // last Add.
  void Finish();

  // The channel's programmes, or nullptr.
  const std::vector<Programme>* Find(const std::string& key) const;
  NowNext FindNowNext(const std::string& key, int64_t now) const;
  size_t channel_count() const { return channels_.size(); }
  size_t programme_count() const;

 private:
  std::unordered_map<std::string, std::vector<Programme>> channels_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PROGRAMME_GUIDE_H_
