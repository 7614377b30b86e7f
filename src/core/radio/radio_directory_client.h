#ifndef VIDORA_CORE_RADIO_RADIO_DIRECTORY_CLIENT_H_
#define VIDORA_CORE_RADIO_RADIO_DIRECTORY_CLIENT_H_

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/radio/radio_station.h"
#include "core/stores/setting_keys.h"

namespace vidora {

// The directory's server ("https://host"); read only when present
// (FindSetting): without it the directory's public mirrors are used.
inline constexpr TextSettingKey kRadioDirectoryAddressSetting{"RadioDirectoryAddress", u""};

// What the directory page asks for.
enum class RadioList { kSearch, kMostVoted, kMostClicked };
enum class RadioSearchField { kName, kCountry, kLanguage, kTag };
struct RadioQuery {
  RadioList list = RadioList::kMostVoted;
  RadioSearchField field = RadioSearchField::kName;
  std::string text;  // UTF-8, for kSearch
  int limit = 100;
};

// The request path and query of `query` (escaped), working stations only.
std::string RadioQueryPath(const RadioQuery& query);

// The servers to ask, in order: `configured` alone when it is set (the
// RadioDirectoryAddress setting); else every name the published mirror
// list (all.api.radio-browser.info) resolves to, as https addresses, in a
// random order. Blocking (DNS): worker threads only.
std::vector<std::string> RadioMirrors(std::string_view configured);

// The player's agent string for the directory, naming the player.
std::u16string RadioDirectoryAgent();

// Asks the directory, one mirror after the other: a mirror that gives no
// answer (or a bad one) is left for the next; the one that answered moves
// to the front of mirrors() for later requests. Blocking: call it on one worker thread at a time.
class RadioDirectoryClient {
 public:
  explicit RadioDirectoryClient(std::vector<std::string> mirrors) : mirrors_(std::move(mirrors)) {}
  RadioStations Fetch(const RadioQuery& query, const std::atomic<bool>* cancel);
  // Tells the directory the station was played (its click count).
  bool CountClick(const std::string& uuid, const std::atomic<bool>* cancel);
  const std::vector<std::string>& mirrors() const { return mirrors_; }

 private:
  std::vector<std::string> mirrors_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_RADIO_RADIO_DIRECTORY_CLIENT_H_
