#ifndef VIDORA_UI_PARENTAL_PARENTAL_LOCK_H_
#define VIDORA_UI_PARENTAL_PARENTAL_LOCK_H_

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/parental/parental_rules.h"
#include "core/parental/pin_attempts.h"
#include "core/parental/pin_record.h"

class QWidget;

namespace vidora {

class Channel;

// The parental lock: once a PIN is set, channels of the locked categories
// and playlist groups ask for it before they play and are left out of
// the programme guide. A right PIN opens the lock until the player closes;
// three wrong ones in a row make it wait a minute (PinAttempts). The PIN
// and the locks are read from the settings when the lock is made and
// written through it; the PIN is kept only as a salted hash.
//
// One lock is current at a time (Current(), the last one made and still
// alive), for the play path and the guide. UI thread only.
class ParentalLock {
 public:
  // Seconds on a clock that does not go back; default: the steady clock.
  using Clock = std::function<int64_t()>;
  // The playlist group-title of a channel, empty for none; default: what
  // the current PlaylistManager knows of it.
  using GroupOf = std::function<std::u16string(const Channel& channel)>;
  // Asks the user for the PIN over `owner` (a PinPrompt by default) and
  // returns whether the right one was given (TryPin).
  using Asker = std::function<bool(QWidget* owner)>;

  explicit ParentalLock(Clock clock = {}, GroupOf group_of = {});
  ~ParentalLock();
  ParentalLock(const ParentalLock&) = delete;
  ParentalLock& operator=(const ParentalLock&) = delete;

  static ParentalLock* Current();

  bool HasPin() const { return record_.has_value(); }
  // Whether a right PIN was given during this run.
  bool open() const { return open_; }
  // Whether `channel` needs the PIN now: a PIN is set, the lock is not
  // open, and the channel's category or playlist group is locked.
  bool Locks(const Channel& channel) const;
  // Takes the channels Locks out of `channels`, keeping the order.
  void DropLocked(std::vector<Channel*>& channels) const;

  enum class Check { kRight, kWrong, kWaiting };
  // Checks `pin`: right opens the lock; kWaiting when wrong tries made
  // the lock wait (the PIN is not looked at then). Without a PIN: kRight.
  Check TryPin(const QString& pin);
  // Seconds until a PIN is taken again (0: now).
  int64_t WaitLeft() const { return attempts_.WaitLeft(clock_()); }

  // Sets the first PIN; the adult category is locked unless locks were
  // chosen before. False when a PIN is set already (ChangePin) or `pin`
  // is empty.
  bool SetPin(const QString& pin);
  // Replace or remove the PIN: only with the right old one (counted as a
  // try). Removing unlocks everything; the chosen locks are kept for a
  // later PIN.
  bool ChangePin(const QString& old_pin, const QString& new_pin);
  bool RemovePin(const QString& old_pin);

  // The channel's playlist group-title (empty: none), as GroupOf says.
  std::u16string ChannelGroup(const Channel& channel) const { return group_of_(channel); }

  const ParentalRules& rules() const { return rules_; }
  // Stores the locked categories and groups.
  void SetRules(ParentalRules rules);

  // Whether `channel` may play: true when it is not locked, else after
  // asking for the PIN over `owner`.
  bool AllowPlay(const Channel& channel, QWidget* owner);
  void set_asker(Asker asker) { asker_ = std::move(asker); }

 private:
  Clock clock_;
  GroupOf group_of_;
  Asker asker_;
  std::optional<PinRecord> record_;
  ParentalRules rules_;
  PinAttempts attempts_;
  bool open_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_PARENTAL_PARENTAL_LOCK_H_
