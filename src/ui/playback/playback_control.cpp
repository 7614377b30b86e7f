#include "ui/playback/playback_control.h"

#include <QWidget>

#include <algorithm>

#include "core/catalogue/channel_catalogue.h"
#include "core/commands/view_requests.h"
#include "core/playback/player_events.h"
#include "core/document/text_codec.h"
#include "core/playback/provider_table.h"
#include "core/stores/settings_store.h"
#include "ui/dialogs/skinned_trackbar.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/info_strip.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/radio_window.h"
#include "ui/playback/status_poller.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/stores/resource_pack.h"
#include "ui/stores/ui_texts.h"
#include "ui/stores/ui_thread.h"

namespace vidora {
namespace {

Channel* CurrentChannel() { return Catalogue() != nullptr ? Catalogue()->CurrentChannel() : nullptr; }

}  // namespace

PlaybackControl::PlaybackControl(QWidget* view, ViewRequests* view_requests, FrameCommandSender send_frame_command)
    : view_(view), view_requests_(view_requests), send_frame_command_(std::move(send_frame_command)) {
  AssertUiThread();
  MainPlayerEvents().set_listener(this);
  poller_ = std::make_unique<StatusPoller>(MainPlayerEvents());
}

PlaybackControl::~PlaybackControl() {
  End();
  // The engine stops before anything it reports to goes away.
  player_.reset();
  delete radio_.data();
  poller_.reset();
  if (MainPlayerEvents().listener() == this) MainPlayerEvents().set_listener(nullptr);
}

void PlaybackControl::Start(const QRect& first_player_rect, BackendFactory factory) {
  AssertUiThread();
  panel_ = new ControlPanel(view_, view_requests_, send_frame_command_, [this](int level) { SetVolumeAll(level); });
  strip_ = new InfoStrip(view_, [] {
    const Channel* channel = CurrentChannel();
    return channel != nullptr ? QString::fromStdU16String(channel->name()) : QString();
  });
  std::unique_ptr<PlayerBackend> backend = factory ? factory() : std::make_unique<MpvBackend>();
  player_ = std::make_unique<PlayerHost>(view_, first_player_rect, std::move(backend));
  radio_ = new RadioWindow(view_);
  radio_->hide();
  // What a screen reader calls the parts that are not buttons.
  strip_->setAccessibleName(Text("acc_strip"));
  radio_->setAccessibleName(Text("acc_picture"));
  if (player_->window() != nullptr) player_->window()->setAccessibleName(Text("acc_picture"));
  ShowPictureFor(CurrentChannel());
  CreateProviders();
  started_providers_ = true;
}

QRect PlaybackControl::FirstPlayerRect(const QSize& client) {
  return QRect(QPoint(4, 4), QPoint(client.width() - 4, client.height() - 4 - 32)).adjusted(0, 0, -1, -1);
}

void PlaybackControl::End() {
  delete panel_.data();
  delete strip_.data();
  if (started_providers_) DestroyProviders();
  started_providers_ = false;
}

void PlaybackControl::ShowPictureFor(const Channel* channel) {
  const bool radio = channel != nullptr && channel->radio();
  if (radio_ != nullptr) radio_->setVisible(radio);
  if (player_ != nullptr && player_->window() != nullptr) player_->window()->setVisible(!radio);
}

void PlaybackControl::PlayChannel(Channel* channel) {
  AssertUiThread();
  if (player_ != nullptr) player_->Stop();
  if (channel == nullptr) channel = CurrentChannel();
  if (channel == nullptr || Catalogue() == nullptr) return;
  Catalogue()->SetCurrentChannel(channel);
  ShowPictureFor(channel);
  if (strip_ != nullptr) strip_->update();

  const StreamSource* source = ChannelCatalogue::CurrentSource(*channel);
  std::optional<std::u16string> address;
  // A channel listed without any source has nothing to play.
  if (source != nullptr) {
    address = channel->provider().empty() ? std::optional<std::u16string>(source->address)
                                          : ResolveAddress(source->address, channel->provider());
  }
  if (!address || address->empty()) {
    OnPlayerStatus(MainPlayerEvents().main_player(), std::nullopt, kStatusError);
    return;
  }
  if (panel_ != nullptr) panel_->SetPlaying(true);
  if (player_ != nullptr && player_->backend() != nullptr) {
    // A playlist may ask for its own agent and referrer per channel.
    const PlaylistManager* playlists = PlaylistManager::Current();
    const PlaylistChannelInfo* info = playlists != nullptr ? playlists->FindChannel(*channel) : nullptr;
    player_->backend()->SetRequestHeaders(info != nullptr ? Utf16ToUtf8(info->user_agent) : std::string(),
                                          info != nullptr ? Utf16ToUtf8(info->referrer) : std::string());
  }
  if (player_ != nullptr) player_->Play(*address);
  NotifyState();
}

void PlaybackControl::StopPlayback() {
  AssertUiThread();
  if (player_ != nullptr) player_->Stop();
  if (panel_ != nullptr) panel_->SetPlaying(false);
  NotifyState();
}

void PlaybackControl::StepFavourite(bool forward) {
  AssertUiThread();
  if (Catalogue() == nullptr) return;
  Channel* channel = Catalogue()->StepFavourite(forward);
  if (channel != nullptr && view_requests_ != nullptr) view_requests_->PlayChannel(channel);
}

void PlaybackControl::SetVolumeAll(int level) {
  AssertUiThread();
  volume_level_ = level;
  for (auto& [name, player] : PlayerRegistry()) player->SetVolume(level);
  SetSetting(kVolumeSetting, level);
  NotifyState();
}

void PlaybackControl::StopPlayer() {
  if (player_ != nullptr) player_->Stop();
}

void PlaybackControl::ChangeVolume(int level) {
  level = std::clamp(level, 0, 100);
  if (panel_ != nullptr && panel_->volume() != nullptr) {
    panel_->volume()->setValue(level);  // its valueChanged applies it
  } else {
    SetVolumeAll(level);
  }
}

bool PlaybackControl::playing() const { return panel_ != nullptr && panel_->playing(); }

void PlaybackControl::NotifyState() {
  if (state_observer_) state_observer_();
}

void PlaybackControl::Layout(const QSize& client, bool full_screen_layout) {
  const int width = client.width();
  const int height = client.height();
  QRect picture(0, 0, width, height);
  if (!full_screen_layout) {
    const int unit = BarUnit();
    const int gap = unit / 8;
    picture = QRect(gap, unit + gap, width - 2 * gap, height - 2 * gap - 3 * unit);
    if (panel_ != nullptr) {
      panel_->setGeometry(0, height - 2 * unit, width, 2 * unit);
      panel_->show();
    }
    if (strip_ != nullptr) {
      strip_->setGeometry(0, 0, width, unit);
      strip_->show();
    }
  } else {
    if (panel_ != nullptr) panel_->hide();
    if (strip_ != nullptr) strip_->hide();
  }
  PlayerVideoWidget* window = player_ != nullptr ? player_->window() : nullptr;
  // A window in its own full-screen mode comes back to the latest place.
  if (window != nullptr) {
    if (window->own_full_screen()) {
      window->set_normal_geometry(picture);
    } else {
      window->setGeometry(picture);
    }
  }
  if (radio_ != nullptr) radio_->setGeometry(picture);
}

QRect PlaybackControl::PlayerRect() const {
  const PlayerVideoWidget* window = player_ != nullptr ? player_->window() : nullptr;
  if (window == nullptr) return QRect();
  return window->own_full_screen() ? window->normal_geometry() : window->geometry();
}

bool PlaybackControl::IsPlayerFullScreen() const { return player_ != nullptr && player_->IsFullScreen(); }

void PlaybackControl::OnPlayerStatus(PlayerWindow*, const std::optional<std::u16string>& text, int code) {
  AssertUiThread();
  if (strip_ != nullptr) strip_->SetStatusText(text ? QString::fromStdU16String(*text) : QString());
  if (code < 0 && panel_ != nullptr) panel_->SetPlaying(false);
  if (code < 0) NotifyState();
}

}  // namespace vidora
