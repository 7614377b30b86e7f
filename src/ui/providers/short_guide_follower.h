#ifndef VIDORA_UI_PROVIDERS_SHORT_GUIDE_FOLLOWER_H_
#define VIDORA_UI_PROVIDERS_SHORT_GUIDE_FOLLOWER_H_

#include <QObject>

#include <cstdint>
#include <map>
#include <string>

#include "ui/jobs/background_jobs.h"

namespace vidora {

class PlaylistManager;

// When a provider account's channel starts playing and the guides have
// nothing for it, asks the provider for the channel's short guide
// (get_short_epg) in the background and gives it to `playlists`
// (SetChannelProgrammes), so the strip shows what runs now and next. A
// channel is asked at most every kAskAgainSeconds. `playlists` is
// borrowed and outlives the follower. UI thread only.
class ShortGuideFollower : public QObject {
  Q_OBJECT

 public:
  static constexpr int64_t kAskAgainSeconds = 30 * 60;

  ShortGuideFollower(PlaylistManager& playlists, QObject* parent);

  // The channel with `key` was asked to play (PlaybackControl::ChannelStarted).
  void OnChannelStarted(const std::string& key);
  bool busy() const { return jobs_.running() > 0; }

 private:
  PlaylistManager& playlists_;
  std::map<std::string, int64_t> asked_at_;  // by channel key
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_PROVIDERS_SHORT_GUIDE_FOLLOWER_H_
