#ifndef VIDORA_CORE_PARENTAL_PIN_RECORD_H_
#define VIDORA_CORE_PARENTAL_PIN_RECORD_H_

#include <optional>
#include <string>
#include <string_view>

#include "core/stores/setting_keys.h"

namespace vidora {

// The parental PIN as stored: never the PIN itself, only a salted
// PBKDF2-SHA256 hash of it. Empty: no PIN is set and nothing is locked.
inline constexpr TextSettingKey kParentalPinSetting{"ParentalPin", u""};

// A derived PIN hash with what it takes to derive it again. `salt` and
// `hash` are raw bytes.
struct PinRecord {
  int iterations = 0;
  std::string salt;
  std::string hash;
};

// The one-line text form of a record: "pbkdf2-sha256$<iterations>$<salt
// in hex>$<hash in hex>". Any thread.
std::u16string EncodePinRecord(const PinRecord& record);
// The record of a text EncodePinRecord made; nullopt for anything else
// (an empty setting, a damaged or foreign value), which callers treat as
// "no PIN".
std::optional<PinRecord> DecodePinRecord(std::u16string_view text);

// Whether `a` and `b` hold the same bytes, taking the same time whichever
// byte differs (the length is not hidden). Any thread.
bool SameBytesInConstantTime(std::string_view a, std::string_view b);

}  // namespace vidora

#endif  // VIDORA_CORE_PARENTAL_PIN_RECORD_H_
