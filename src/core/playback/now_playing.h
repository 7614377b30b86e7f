#ifndef VIDORA_CORE_PLAYBACK_NOW_PLAYING_H_
#define VIDORA_CORE_PLAYBACK_NOW_PLAYING_H_

#include <string>
#include <string_view>

namespace vidora {

// Longest stream title shown, in UTF-16 units (an ellipsis replaces the
// rest).
inline constexpr size_t kMaxStreamTitleLength = 120;

// What plays now, for the window title and desktop integrations.
struct NowPlaying {
  std::u16string channel;       // empty: nothing plays
  std::u16string stream_title;  // a radio's now-playing line, sanitised; may be empty
  bool radio = false;
  bool operator==(const NowPlaying&) const = default;
};

// Told whenever NowPlaying changes. Called on the UI thread.
class NowPlayingObserver {
 public:
  virtual ~NowPlayingObserver() = default;
  virtual void OnNowPlaying(const NowPlaying& now) = 0;
};

// A stream's own title made fit to show: terminal escape sequences (and
// colour sequences left without their ESC) and bidi controls go, control
// characters become blanks, runs of blanks one blank, no blanks at the ends, at most
// kMaxStreamTitleLength units (a surrogate pair is never cut).
std::u16string SanitizeStreamTitle(std::u16string_view raw);

// "Title — Channel — App" while a titled stream plays, "Channel — App"
// while anything else plays, "App" when nothing does.
std::u16string WindowTitleFor(const NowPlaying& now, std::u16string_view app_title);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_NOW_PLAYING_H_
