#include "core/playback/player_events.h"

#include "core/playback/player_status_listener.h"

namespace vidora {

PlayerEvents& MainPlayerEvents() {
  static PlayerEvents events;
  return events;
}

void PlayerEvents::SetMainPlayer(PlayerWindow* player, PlayerStatusSource* source) {
  main_player_ = player;
  source_ = player != nullptr ? source : nullptr;
}

void PlayerEvents::OnStatusChange() {
  if (main_player_ != nullptr && !error_latched_) ReportStatus(kStatusUpdate);
}

void PlayerEvents::OnBuffering(bool start) {
  if (start) {
    buffering_active_ = true;
    error_latched_ = false;
    if (poll_starter_) poll_starter_();
  } else {
    buffering_active_ = false;
    ReportStatus(kStatusBufferingEnded);
  }
}

void PlayerEvents::OnError() { ReportStatus(kStatusError); }

void PlayerEvents::ReportStatus(int code) {
  if (main_player_ == nullptr || source_ == nullptr || error_latched_) return;
  if (code < 0) error_latched_ = true;
  if (code == kStatusError && source_->MediaErrorCode() == kMediaErrorServerNotFound) code = kStatusNetworkError;
  if (code >= 0 && source_->GetPlayState() == PlayState::kReady) code = kStatusError;
  if (listener_ != nullptr) listener_->OnPlayerStatus(main_player_, source_->StatusText(), code);
}

bool PlayerEvents::StatusPollStep() {
  if (!buffering_active_) return false;
  ReportStatus(kStatusUpdate);
  return true;
}

}  // namespace vidora
