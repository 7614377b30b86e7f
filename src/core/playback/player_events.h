#ifndef VIDORA_CORE_PLAYBACK_PLAYER_EVENTS_H_
#define VIDORA_CORE_PLAYBACK_PLAYER_EVENTS_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "core/playback/play_state.h"

namespace vidora {

class PlayerStatusListener;
class PlayerWindow;

// Media error of a stream whose server or name could not be reached.
inline constexpr uint32_t kMediaErrorServerNotFound = 0xC00D11B0;
// Number and period of status reports while a stream buffers.
inline constexpr int kStatusPollCount = 500;
inline constexpr int kStatusPollPeriodMs = 50;

// What status reporting reads from the main player. UI thread.
class PlayerStatusSource {
 public:
  virtual ~PlayerStatusSource() = default;
  virtual std::u16string StatusText() const = 0;
  virtual PlayState GetPlayState() const = 0;
  // The current item's error code, 0 when there is none.
  virtual uint32_t MediaErrorCode() const = 0;
};

// The player's events turned into status reports: the main player, the one
// listener, and the buffering and error latches. The flags are atomic so
// that a poll running elsewhere may read them; every report and every
// event arrives on the UI thread here.
class PlayerEvents {
 public:
  // Starts polling StatusPollStep every kStatusPollPeriodMs, at most
  // kStatusPollCount times, while it returns true.
  using PollStarter = std::function<void()>;

  void set_listener(PlayerStatusListener* listener) { listener_ = listener; }
  PlayerStatusListener* listener() const { return listener_; }
  // The player whose status is reported (null: none).
  void SetMainPlayer(PlayerWindow* player, PlayerStatusSource* source);
  PlayerWindow* main_player() const { return main_player_; }
  void set_poll_starter(PollStarter starter) { poll_starter_ = std::move(starter); }

  // The four handled player events.
  void OnStatusChange();
  void OnBuffering(bool start);
  void OnError();

  // Reports the main player's status with `code` unless an error is
  // latched; see the codes of PlayerStatusListener.
  void ReportStatus(int code);
  // One poll while buffering: false (and no report) once buffering ended.
  bool StatusPollStep();

  bool buffering_active() const { return buffering_active_.load(); }
  bool error_latched() const { return error_latched_.load(); }

 private:
  PlayerStatusListener* listener_ = nullptr;
  PlayerWindow* main_player_ = nullptr;
  PlayerStatusSource* source_ = nullptr;
  PollStarter poll_starter_;
  std::atomic<bool> buffering_active_{false};
  std::atomic<bool> error_latched_{false};
};

// The process-wide event state of playback.
PlayerEvents& MainPlayerEvents();

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_PLAYER_EVENTS_H_
