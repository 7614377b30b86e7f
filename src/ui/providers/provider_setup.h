#ifndef VIDORA_UI_PROVIDERS_PROVIDER_SETUP_H_
#define VIDORA_UI_PROVIDERS_PROVIDER_SETUP_H_

class QWidget;

namespace vidora {

// Lets provider accounts take part: their entries import and refresh like
// playlists, their channels play through the "xtream" stream provider, and
// the settings' playlist list shows each account's expiry. Call once
// before the main view is created. UI thread only.
void EnableProviderAccounts();

// "Add provider account…": the dialog, then the account's channels are
// fetched in the background like a playlist. Says so when the password
// could only be kept in memory. UI thread only.
void RunAddProviderAccount(QWidget* owner);

}  // namespace vidora

#endif  // VIDORA_UI_PROVIDERS_PROVIDER_SETUP_H_
