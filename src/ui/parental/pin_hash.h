#ifndef VIDORA_UI_PARENTAL_PIN_HASH_H_
#define VIDORA_UI_PARENTAL_PIN_HASH_H_

#include <QString>

#include "core/parental/pin_record.h"

namespace vidora {

// PBKDF2-SHA256 rounds of a new PIN record: a few tens of milliseconds,
// so that checking a PIN does not hold the window noticeably.
inline constexpr int kPinIterations = 30000;

// A record of `pin` with a new random salt from the system's generator.
// Any thread.
PinRecord HashPin(const QString& pin);
// Whether `pin` derives `record`'s hash; compared in constant time. Any
// thread.
bool PinMatches(const QString& pin, const PinRecord& record);

}  // namespace vidora

#endif  // VIDORA_UI_PARENTAL_PIN_HASH_H_
