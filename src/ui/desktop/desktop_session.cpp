#include "ui/desktop/desktop_session.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QUrl>

#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/catalogue/country.h"
#include "core/stores/app_paths.h"
#include "ui/playback/playback_control.h"
#include "ui/playback/player_host.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

DesktopSession::DesktopSession(PlaybackControl* playback, Services services, QObject* parent)
    : QObject(parent), playback_(playback), inhibitor_(std::move(services.inhibitor)) {
  MprisActions actions;
  actions.raise = std::move(services.raise);
  actions.quit = std::move(services.quit);
  actions.hold = std::move(services.hold);
  actions.play = [this] {
    if (playback_ != nullptr) playback_->PlayChannel(nullptr);
  };
  actions.stop = [this] {
    if (playback_ != nullptr) playback_->StopPlayback();
  };
  actions.next = [this] {
    if (playback_ != nullptr) playback_->StepFavourite(true);
  };
  actions.previous = [this] {
    if (playback_ != nullptr) playback_->StepFavourite(false);
  };
  actions.set_volume = [this](int level) {
    if (playback_ != nullptr) playback_->SetVolume(level);
  };
  actions.open_uri = [this](const QString& address) {
    if (playback_ == nullptr || Catalogue() == nullptr) return;
    playback_->PlayChannel(Catalogue()->MakeAddressChannel(address.toStdU16String()));
  };
  actions.position_us = [this]() -> qlonglong {
    const PlayerHost* player = playback_ != nullptr ? playback_->player() : nullptr;
    if (player == nullptr || !player->position().position) return 0;
    return static_cast<qlonglong>(*player->position().position * 1e6);
  };
  mpris_ = std::make_unique<MprisService>(std::move(actions));
  Refresh();  // the state before the bus sees it
  if (services.bus.isConnected()) mpris_->Register(services.bus);
  if (PlaylistManager* playlists = PlaylistManager::Current()) {
    // A channel's logo arrives after the channel became current.
    connect(playlists, &PlaylistManager::DecorationsChanged, this, &DesktopSession::Refresh);
  }
  if (playback_ != nullptr) {
    playback_->set_state_observer([this] { Refresh(); });
    playback_->AddNowPlayingObserver(this);
  }
}

DesktopSession::~DesktopSession() { Shutdown(); }

void DesktopSession::Shutdown() {
  if (playback_ != nullptr) {
    playback_->set_state_observer({});
    playback_->RemoveNowPlayingObserver(this);
  }
  playback_ = nullptr;
  if (inhibitor_) inhibitor_->Release();
  if (mpris_) mpris_->SetPlaying(false);
}

void DesktopSession::SetStreamTitle(const QString& title) { mpris_->SetStreamTitle(title); }

void DesktopSession::SetPaused(bool paused) { mpris_->SetPaused(paused); }

void DesktopSession::OnNowPlaying(const NowPlaying& now) { SetStreamTitle(QString::fromStdU16String(now.stream_title)); }

void DesktopSession::Refresh() {
  if (playback_ == nullptr) return;
  ChannelCatalogue* catalogue = Catalogue();
  const Channel* channel = catalogue != nullptr ? catalogue->CurrentChannel() : nullptr;
  const bool playing = playback_->playing();
  mpris_->SetChannel(channel != nullptr ? ToQString(channel->name()) : QString(), ArtUrlFor(channel),
                     channel != nullptr ? QString::fromUtf8(channel->key()) : QString());
  mpris_->SetPlaying(playing);
  mpris_->SetVolume(playback_->volume_level());
  mpris_->SetCanStep(catalogue != nullptr && catalogue->StepFavourite(true) != nullptr);
  if (!inhibitor_) return;
  // A stream without video shows a still picture: the screen may rest.
  if (playing && channel != nullptr && !playback_->now_playing().radio) {
    inhibitor_->Inhibit(QStringLiteral("Playing a TV channel"));
  } else {
    inhibitor_->Release();
  }
}

QString DesktopSession::ArtUrlFor(const Channel* channel) {
  PlaylistManager* playlists = PlaylistManager::Current();
  if (channel != nullptr && playlists != nullptr) {
    const std::filesystem::path logo = playlists->LogoFile(*channel);
    if (!logo.empty()) return QUrl::fromLocalFile(QString::fromStdString(logo.string())).toString();
  }
  const SkinImage* flag =
      channel != nullptr && channel->country() != nullptr ? channel->country()->flag_image() : nullptr;
  if (flag == nullptr || flag->image().isNull()) return QString();
  // With the other cache files, so that a portable copy keeps it beside
  // itself.
  const QString folder = QString::fromStdString((CurrentAppPaths().cache_folder / "art").string());
  const QString path =
      folder + QStringLiteral("/flag_") + QString::fromStdString(channel->country()->key()) + QStringLiteral(".png");
  // A few hundred bytes, written once per country: cheap enough to do here.
  if (!QFileInfo::exists(path)) {
    if (!QDir().mkpath(folder)) return QString();
    // Desktop widgets show art at 64 px and more; the flag is tiny.
    const QImage picture = flag->image().scaled(flag->image().size() * 4, Qt::KeepAspectRatio, Qt::FastTransformation);
    if (!picture.save(path, "PNG")) return QString();
  }
  return QUrl::fromLocalFile(path).toString();
}

DesktopSession::Services DesktopServicesOfThisSession() {
  DesktopSession::Services services;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) services.bus = bus;
  services.inhibitor = CreateIdleInhibitor(services.bus);
  return services;
}

}  // namespace vidora
