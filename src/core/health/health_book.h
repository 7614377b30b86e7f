#ifndef VIDORA_CORE_HEALTH_HEALTH_BOOK_H_
#define VIDORA_CORE_HEALTH_HEALTH_BOOK_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/health/source_check.h"

namespace vidora {

class Channel;

// A check's result counts for a day; then the source is checked again.
inline constexpr int64_t kHealthResultSeconds = 24 * 60 * 60;
// The stored results keep at most this many sources (the newest); a
// damaged or hostile file cannot make the player hold more.
inline constexpr size_t kMaxStoredSourceChecks = 500000;
// The first line of the stored results.
inline constexpr char kHealthBookHeader[] = "vidora-source-checks 1";

// What the results say about one channel.
struct ChannelHealth {
  int sources = 0;  // its sources
  int checked = 0;  // of them with a result of the last day
  int dead = 0;     // of them dead
  // The first dead source (index into the channel's sources) and its
  // result, or -1 / nullptr.
  int first_dead = -1;
  const SourceCheck* first_dead_check = nullptr;
  // Every source is dead: the channel is unavailable.
  bool unavailable() const { return sources > 0 && dead == sources; }
};

// The results of the channel checks, by source address (the UTF-8 address
// the channel stores, so the same source in two lists shares one result).
// Nothing here changes a playlist. UI thread only; copies may go to a
// worker for saving.
class HealthBook {
 public:
  // Keeps `check` as the source's newest result.
  void Record(std::string address, const SourceCheck& check);
  // The source's result of the last day before `now`, or nullptr.
  const SourceCheck* Find(std::string_view address, int64_t now) const;
  ChannelHealth Judge(const Channel& channel, int64_t now) const;
  // The channel's sources in the order to try them: those that answered
  // or were not checked, in their own order, then the dead ones.
  std::vector<int> LiveFirst(const Channel& channel, int64_t now) const;
  // Takes every result of `other` that is newer than this book's.
  void Merge(const HealthBook& other);
  // The addresses whose result is older than a day before `now`.
  std::vector<std::string> Stale(int64_t now) const;
  size_t size() const { return checks_.size(); }
  bool empty() const { return checks_.empty(); }

  // The stored form: kHealthBookHeader, then one line per source,
  // "checked_at<TAB>state<TAB>reason<TAB>status<TAB>address" (UTF-8).
  std::string Encode() const;
  // Reads the stored form; lines it cannot use are passed over, and a
  // text without the header gives nothing (false). Any thread.
  static bool Decode(std::string_view text, HealthBook& out);

 private:
  std::map<std::string, SourceCheck, std::less<>> checks_;  // by UTF-8 address
};

// The book the channel lists and playback consult: the health check's
// owner sets it (nullptr: none). UI thread only.
const HealthBook* CurrentHealthBook();
void SetCurrentHealthBook(const HealthBook* book);

}  // namespace vidora

#endif  // VIDORA_CORE_HEALTH_HEALTH_BOOK_H_
