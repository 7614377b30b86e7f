#include "ui/providers/provider_setup.h"

#include <QMessageBox>
#include <QPointer>

#include <ctime>

#include "core/document/text_codec.h"
#include "core/guide/guide_loader.h"
#include "core/playback/provider_table.h"
#include "core/playlists/playlist_paths.h"
#include "core/providers/account_status.h"
#include "core/stores/language_pack.h"
#include "core/stores/setting_keys.h"
#include "core/stores/settings_store.h"
#include "core/providers/xtream_address_provider.h"
#include "core/providers/xtream_client.h"
#include "ui/playback/playback_control.h"
#include "ui/playlists/playlist_dialogs.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/providers/films_page.h"
#include "ui/providers/provider_account_dialog.h"
#include "ui/providers/provider_texts.h"
#include "ui/providers/short_guide_follower.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

std::unique_ptr<StreamAddressProvider> MakeXtreamProvider() { return std::make_unique<XtreamAddressProvider>(); }

QString DescribeProviderEntry(const StoredPlaylist& playlist) {
  const std::string source = Utf16ToUtf8(playlist.source);
  const std::optional<XtreamAccount> account = ParseXtreamSource(source);
  if (!account) return {};
  QString text = QString::fromStdString(account->user + " @ " + MaskCredentials(account->server));
  if (const std::optional<XtreamAccountInfo> info = KnownAccountInfo(source)) {
    const PlaylistManager* manager = PlaylistManager::Current();
    const int64_t now = manager != nullptr ? manager->Now() : static_cast<int64_t>(std::time(nullptr));
    text += QStringLiteral(" · ") + AccountSummary(*info, now);
  }
  return text;
}

}  // namespace

void EnableProviderAccounts() {
  SetSchemeImporter(kXtreamScheme, &ImportXtreamSource);
  AddProviderFactory(&MakeXtreamProvider);
  SetPlaylistDescriber(&DescribeProviderEntry);
  SetGuideAddressResolver(kXtreamScheme, &ResolveXtreamGuideSource);
  RestoreAccountInfos(Utf16ToUtf8(GetSetting(kProviderAccountsSetting)));
}

void SaveProviderAccounts(const PlaylistManager& playlists) {
  std::vector<std::string> sources;
  for (const StoredPlaylist& playlist : playlists.playlists()) {
    std::string source = Utf16ToUtf8(playlist.source);
    if (source.starts_with(kXtreamScheme)) sources.push_back(std::move(source));
  }
  const std::u16string text = Utf8ToUtf16(EncodeAccountInfos(sources));
  if (GetSetting(kProviderAccountsSetting) != text) SetSetting(kProviderAccountsSetting, text);
}

void OpenFilmsPage(QWidget* owner, std::function<void(Channel*)> play) {
  static QPointer<FilmsPage> open;
  if (open) {  // hidden by Escape, or behind the main window
    open->show();
    open->raise();
    open->activateWindow();
    return;
  }
  FilmsPage::Options options;
  if (const PlaylistManager* manager = PlaylistManager::Current()) {
    for (const StoredPlaylist& playlist : manager->playlists()) {
      if (std::optional<XtreamAccount> account = ParseXtreamSource(Utf16ToUtf8(playlist.source))) {
        options.accounts.push_back(std::move(*account));
      }
    }
  }
  options.posters = LogoCacheFolder();
  options.play = std::move(play);
  open = new FilmsPage(owner, std::move(options));
  open->show();
}

void FollowProviderAccounts(QObject* owner, PlaylistManager& playlists, PlaybackControl& playback) {
  QObject::connect(&playlists, &PlaylistManager::SourcesFetched, owner, [&playlists] { SaveProviderAccounts(playlists); });
  auto* follower = new ShortGuideFollower(playlists, owner);
  QObject::connect(&playback, &PlaybackControl::ChannelStarted, follower, &ShortGuideFollower::OnChannelStarted);
}

void RunAddProviderAccount(QWidget* owner) {
  ProviderAccountDialog dialog(owner);
  if (dialog.exec() != 1) return;
  if (PlaylistManager* manager = PlaylistManager::Current()) {
    manager->AddPlaylistSource(QString::fromStdString(XtreamSource(dialog.account())), true);
  }
  if (!dialog.saved_in_secret_service()) {
    QMessageBox box(QMessageBox::Information, ToQString(AppTitle()), Text("prov_memory_only"), QMessageBox::Ok, owner);
    box.setToolTip(dialog.secret_reason());
    box.setDetailedText(dialog.secret_reason());
    box.exec();
  }
}

}  // namespace vidora
