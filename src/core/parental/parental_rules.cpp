#include "core/parental/parental_rules.h"

namespace vidora {
namespace {

constexpr char16_t kSeparator = u'\u001e';

}  // namespace

std::u16string CategoryLockKey(std::string_view category_key) {
  std::u16string key = u"c:";
  for (const char c : category_key) key.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return key;
}

std::u16string GroupLockKey(std::u16string_view group) { return u"g:" + std::u16string(group); }

ParentalRules ParentalRules::LockingCategory(std::string_view category_key) {
  ParentalRules rules;
  rules.Set(CategoryLockKey(category_key), true);
  return rules;
}

ParentalRules ParentalRules::Decode(std::u16string_view text) {
  ParentalRules rules;
  while (!text.empty()) {
    const size_t end = text.find(kSeparator);
    const std::u16string_view entry = text.substr(0, end);
    if (!entry.empty()) rules.keys_.emplace(entry);
    if (end == std::u16string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return rules;
}

std::u16string ParentalRules::Encode() const {
  if (keys_.empty()) return std::u16string(1, kSeparator);
  std::u16string text;
  for (const std::u16string& key : keys_) {
    if (!text.empty()) text.push_back(kSeparator);
    text += key;
  }
  return text;
}

bool ParentalRules::Locks(std::string_view category_key, std::u16string_view group) const {
  if (!category_key.empty() && Has(CategoryLockKey(category_key))) return true;
  return !group.empty() && Has(GroupLockKey(group));
}

void ParentalRules::Set(const std::u16string& lock_key, bool locked) {
  if (locked) keys_.insert(lock_key);
  else keys_.erase(lock_key);
}

}  // namespace vidora
