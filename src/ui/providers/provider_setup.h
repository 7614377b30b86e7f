#ifndef VIDORA_UI_PROVIDERS_PROVIDER_SETUP_H_
#define VIDORA_UI_PROVIDERS_PROVIDER_SETUP_H_

#include <functional>

class QObject;
class QWidget;

namespace vidora {

class Channel;
class PlaybackControl;
class PlaylistManager;

// Lets provider accounts take part: their entries import and refresh like
// playlists, their channels play through the "xtream" stream provider, and
// the settings' playlist list shows each account's expiry. Call once
// before the main view is created. UI thread only.
void EnableProviderAccounts();

// Follows what the player does for provider accounts: what each account's
// check told is kept in the settings after every import and refresh, and
// a provider channel that starts playing without a guide gets its short
// guide (ShortGuideFollower). The objects are children of `owner`;
// `playlists` and `playback` outlive it. UI thread only.
void FollowProviderAccounts(QObject* owner, PlaylistManager& playlists, PlaybackControl& playback);

// Keeps what the accounts' checks told in the settings
// (kProviderAccountsSetting), for the stored provider entries. UI thread.
void SaveProviderAccounts(const PlaylistManager& playlists);

// "Add provider account…": the dialog, then the account's channels are
// fetched in the background like a playlist. Says so when the password
// could only be kept in memory. UI thread only.
void RunAddProviderAccount(QWidget* owner);

// "Films & series" of the stored provider accounts; `play` plays a film
// or an episode in the main view. One page at a time: a second call
// brings it to the front. UI thread only.
void OpenFilmsPage(QWidget* owner, std::function<void(Channel*)> play);

}  // namespace vidora

#endif  // VIDORA_UI_PROVIDERS_PROVIDER_SETUP_H_
