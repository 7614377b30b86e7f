#include "ui/providers/short_guide_follower.h"

#include <memory>
#include <vector>

#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/document/text_codec.h"
#include "core/providers/credential_store.h"
#include "core/providers/xtream_client.h"
#include "ui/playlists/playlist_manager.h"

namespace vidora {

ShortGuideFollower::ShortGuideFollower(PlaylistManager& playlists, QObject* parent)
    : QObject(parent), playlists_(playlists) {}

void ShortGuideFollower::OnChannelStarted(const std::string& key) {
  const Channel* channel = playlists_.catalogue().FindChannelByKey(key);
  if (channel == nullptr || channel->provider() != kXtreamProviderName || channel->sources().empty()) return;
  const int64_t now = playlists_.Now();
  // A guide that knows the channel and what runs now needs no help.
  if (playlists_.GuideChannelOf(*channel) >= 0 && playlists_.GuideNowNext(*channel).now.has_value()) return;
  const auto asked = asked_at_.find(key);
  if (asked != asked_at_.end() && now - asked->second < kAskAgainSeconds) return;
  std::optional<XtreamChannelRef> ref = ParseXtreamChannelAddress(channel->sources()[0].address);
  if (!ref) return;
  asked_at_[key] = now;
  const std::atomic<bool>* cancel = jobs_.cancel();
  jobs_.Run([this, key, ref = std::move(*ref), cancel]() -> std::function<void()> {
    // The secret service answers over D-Bus: off the UI thread.
    const std::optional<std::string> password = Credentials().Find(ref.account);
    if (!password) return {};
    XtreamShortGuide guide = FetchXtreamShortGuide(ref.account, *password, ref.stream_id, cancel);
    if (guide.failure != XtreamFailure::kNone || guide.programmes.empty()) return {};
    auto programmes = std::make_shared<std::vector<PlaylistManager::ChannelProgramme>>();
    for (XtreamProgramme& programme : guide.programmes) {
      programmes->push_back({programme.start, programme.stop, std::move(programme.title),
                             std::move(programme.description)});
    }
    return [this, key, programmes] { playlists_.SetChannelProgrammes(key, std::move(*programmes)); };
  });
}

}  // namespace vidora
