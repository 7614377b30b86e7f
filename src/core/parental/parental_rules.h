#ifndef VIDORA_CORE_PARENTAL_PARENTAL_RULES_H_
#define VIDORA_CORE_PARENTAL_PARENTAL_RULES_H_

#include <set>
#include <string>
#include <string_view>

#include "core/stores/setting_keys.h"

namespace vidora {

// What the parental PIN locks: lock keys (see CategoryLockKey and
// GroupLockKey) separated by U+001E; U+001E alone when the user locked
// nothing. Empty (never chosen): the adult category alone is locked.
inline constexpr TextSettingKey kParentalLocksSetting{"ParentalLocks", u""};

// The lock key of a catalogue category ("c:ad") and of a playlist group
// by its group-title ("g:Kids"). A group key stands for that group in
// every playlist.
std::u16string CategoryLockKey(std::string_view category_key);
std::u16string GroupLockKey(std::u16string_view group);

// The set of locked categories and playlist groups. Any thread; one
// object is not shared between threads.
class ParentalRules {
 public:
  // Rules that lock the category `category_key` alone (a new PIN locks
  // the adult category, kHiddenCategoryKey).
  static ParentalRules LockingCategory(std::string_view category_key);
  // The rules of a kParentalLocksSetting value; unknown or empty entries
  // are kept as they are (they lock nothing).
  static ParentalRules Decode(std::u16string_view text);
  // Never empty: no locks give U+001E alone.
  std::u16string Encode() const;

  // Whether a channel of category `category_key` (empty: none) and of the
  // playlist group `group` (empty: not a playlist channel, or no group)
  // is locked.
  bool Locks(std::string_view category_key, std::u16string_view group) const;
  bool Has(const std::u16string& lock_key) const { return keys_.count(lock_key) != 0; }
  void Set(const std::u16string& lock_key, bool locked);
  const std::set<std::u16string>& keys() const { return keys_; }

 private:
  std::set<std::u16string> keys_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PARENTAL_PARENTAL_RULES_H_
