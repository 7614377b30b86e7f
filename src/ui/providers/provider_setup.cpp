#include "ui/providers/provider_setup.h"

#include <QMessageBox>

#include "core/document/text_codec.h"
#include "core/playback/provider_table.h"
#include "core/providers/account_status.h"
#include "core/stores/language_pack.h"
#include "core/providers/xtream_address_provider.h"
#include "core/providers/xtream_client.h"
#include "ui/playlists/playlist_dialogs.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/providers/provider_account_dialog.h"
#include "ui/providers/provider_texts.h"
#include "ui/stores/ui_texts.h"

namespace vidora {
namespace {

std::unique_ptr<StreamAddressProvider> MakeXtreamProvider() { return std::make_unique<XtreamAddressProvider>(); }

QString DescribeProviderEntry(const StoredPlaylist& playlist) {
  const std::string source = Utf16ToUtf8(playlist.source);
  const std::optional<XtreamAccount> account = ParseXtreamSource(source);
  if (!account) return {};
  QString text = QString::fromStdString(account->user + " @ " + MaskCredentials(account->server));
  if (const std::optional<XtreamAccountInfo> info = KnownAccountInfo(source)) {
    text += QStringLiteral(" · ") + AccountSummary(*info);
  }
  return text;
}

}  // namespace

void EnableProviderAccounts() {
  SetSchemeImporter(kXtreamScheme, &ImportXtreamSource);
  AddProviderFactory(&MakeXtreamProvider);
  SetPlaylistDescriber(&DescribeProviderEntry);
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
