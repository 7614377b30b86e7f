#ifndef VIDORA_CORE_PLAYBACK_PLAY_STATE_H_
#define VIDORA_CORE_PLAYBACK_PLAY_STATE_H_

namespace vidora {

// The play state of a player.
// kReady: idle, nothing loaded (what a stopped, ended or failed stream
// settles in).
enum class PlayState {
  kUndefined = 0,
  kStopped = 1,
  kPlaying = 3,
  kBuffering = 6,
  kMediaEnded = 8,
  kTransitioning = 9,
  kReady = 10,
};

// Whether nothing plays in `state` (stopped, ended, idle).
constexpr bool IsAtRest(PlayState state) {
  return state == PlayState::kStopped || state == PlayState::kMediaEnded || state == PlayState::kReady;
}

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_PLAY_STATE_H_
