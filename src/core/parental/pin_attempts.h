#ifndef VIDORA_CORE_PARENTAL_PIN_ATTEMPTS_H_
#define VIDORA_CORE_PARENTAL_PIN_ATTEMPTS_H_

#include <cstdint>

namespace vidora {

// Counts wrong PINs: after kMaxWrongTries wrong ones in a row no PIN is
// taken, right or wrong, for kWaitSeconds; then the count starts again.
// Times are seconds on any clock that does not go back (the caller's).
// Kept in memory only: a new start of the player counts from zero. UI
// thread only.
class PinAttempts {
 public:
  static constexpr int kMaxWrongTries = 3;
  static constexpr int64_t kWaitSeconds = 60;

  // Seconds until a PIN is taken again at `now`; 0 when one is taken now.
  int64_t WaitLeft(int64_t now) const;
  // A PIN given at `now` (when WaitLeft(now) was 0) was wrong; the third
  // wrong one in a row starts the wait.
  void NoteWrong(int64_t now);
  // A right PIN clears the count.
  void NoteRight();

 private:
  int wrong_ = 0;
  int64_t wait_until_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PARENTAL_PIN_ATTEMPTS_H_
