#include "ui/parental/parental_lock.h"

#include <algorithm>
#include <chrono>

#include "core/document/text_codec.h"
#include "core/catalogue/category.h"
#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/stores/settings_store.h"
#include "ui/parental/pin_hash.h"
#include "ui/parental/pin_prompt.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

ParentalLock* g_current = nullptr;

int64_t SteadySeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::u16string ManagerGroupOf(const Channel& channel) {
  const PlaylistManager* manager = PlaylistManager::Current();
  return manager != nullptr && manager->FindChannel(channel).has_value() ? Utf8ToUtf16(channel.group())
                                                                          : std::u16string();
}

}  // namespace

ParentalLock::ParentalLock(Clock clock, GroupOf group_of)
    : clock_(clock ? std::move(clock) : Clock(SteadySeconds)),
      group_of_(group_of ? std::move(group_of) : GroupOf(ManagerGroupOf)) {
  if (const std::optional<std::u16string> pin = FindSetting(kParentalPinSetting)) record_ = DecodePinRecord(*pin);
  const std::u16string locks = FindSetting(kParentalLocksSetting).value_or(u"");
  rules_ = locks.empty() ? ParentalRules::LockingCategory(kHiddenCategoryKey) : ParentalRules::Decode(locks);
  asker_ = [this](QWidget* owner) {
    PinPrompt prompt(owner, *this, Text("parental_enter_pin_play"));
    return prompt.exec() == 1;
  };
  g_current = this;
}

ParentalLock::~ParentalLock() {
  if (g_current == this) g_current = nullptr;
}

ParentalLock* ParentalLock::Current() { return g_current; }

bool ParentalLock::Locks(const Channel& channel) const {
  if (!record_ || open_) return false;
  const Category* category = channel.category();
  return rules_.Locks(category != nullptr ? std::string_view(category->key()) : std::string_view(),
                      ChannelGroup(channel));
}

void ParentalLock::DropLocked(std::vector<Channel*>& channels) const {
  if (!record_ || open_) return;
  std::erase_if(channels, [this](const Channel* channel) { return channel != nullptr && Locks(*channel); });
}

ParentalLock::Check ParentalLock::TryPin(const QString& pin) {
  if (!record_) return Check::kRight;
  const int64_t now = clock_();
  if (attempts_.WaitLeft(now) > 0) return Check::kWaiting;
  if (!PinMatches(pin, *record_)) {
    attempts_.NoteWrong(now);
    return Check::kWrong;
  }
  attempts_.NoteRight();
  open_ = true;
  return Check::kRight;
}

bool ParentalLock::SetPin(const QString& pin) {
  if (record_ || pin.isEmpty()) return false;
  record_ = HashPin(pin);
  SetSetting(kParentalPinSetting, EncodePinRecord(*record_));
  // A first PIN writes the locks it starts with, so that what the dialog
  // shows is what is stored.
  SetSetting(kParentalLocksSetting, rules_.Encode());
  return true;
}

bool ParentalLock::ChangePin(const QString& old_pin, const QString& new_pin) {
  if (!record_ || new_pin.isEmpty() || TryPin(old_pin) != Check::kRight) return false;
  record_ = HashPin(new_pin);
  SetSetting(kParentalPinSetting, EncodePinRecord(*record_));
  return true;
}

bool ParentalLock::RemovePin(const QString& old_pin) {
  if (!record_ || TryPin(old_pin) != Check::kRight) return false;
  record_.reset();
  SetSetting(kParentalPinSetting, u"");
  return true;
}

void ParentalLock::SetRules(ParentalRules rules) {
  rules_ = std::move(rules);
  SetSetting(kParentalLocksSetting, rules_.Encode());
}

bool ParentalLock::AllowPlay(const Channel& channel, QWidget* owner) {
  if (!Locks(channel)) return true;
  return asker_ && asker_(owner) && !Locks(channel);
}

}  // namespace vidora
