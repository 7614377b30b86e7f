#include "core/parental/pin_attempts.h"

namespace vidora {

int64_t PinAttempts::WaitLeft(int64_t now) const { return now < wait_until_ ? wait_until_ - now : 0; }

void PinAttempts::NoteWrong(int64_t now) {
  if (++wrong_ < kMaxWrongTries) return;
  wrong_ = 0;
  wait_until_ = now + kWaitSeconds;
}

void PinAttempts::NoteRight() {
  wrong_ = 0;
  wait_until_ = 0;
}

}  // namespace vidora
