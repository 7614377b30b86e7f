#ifndef VIDORA_CORE_RECORDING_RECORDING_SCHEDULE_H_
#define VIDORA_CORE_RECORDING_RECORDING_SCHEDULE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

// A programme to be recorded when its time comes.
struct ScheduledRecording {
  std::string channel;  // the name shown, also the file's
  std::string title;
  std::string address;
  std::string user_agent;
  std::string referrer;
  // The stream provider that turns `address` into the one to fetch (an
  // account's channel is stored without its password); empty: `address`
  // is fetched as it is.
  std::string provider;
  int64_t start = 0;  // the programme's times, epoch seconds
  int64_t end = 0;

  // A recording starts a minute early and stops two minutes late, so that
  // a programme that drifts from the guide is still whole.
  int64_t RecordFrom() const { return start - 60; }
  int64_t RecordUntil() const { return end + 120; }
  bool SameProgramme(const ScheduledRecording& other) const {
    return channel == other.channel && start == other.start;
  }
};

// The programmes waiting to be recorded. Plain value; the caller keeps it
// on one thread.
class RecordingSchedule {
 public:
  // Adds `recording` unless, at some moment of it, more than `limit`
  // recordings would run at once; `clashes` then lists the ones it meets.
  // The same programme twice is added once.
  struct AddResult {
    bool added = false;
    std::vector<ScheduledRecording> clashes;
  };
  AddResult Add(const ScheduledRecording& recording, int limit);
  // Removes the same programme; false when it was not scheduled.
  bool Remove(const ScheduledRecording& recording);
  bool Contains(const ScheduledRecording& recording) const;

  // Removes and returns what should be recording at `now`; forgets what
  // ended before `now` unrecorded.
  std::vector<ScheduledRecording> TakeDue(int64_t now);

  const std::vector<ScheduledRecording>& items() const { return items_; }

  // A text form for the schedule's file, and back. Reading never fails:
  // lines it cannot use are left out.
  std::string Write() const;
  static RecordingSchedule Read(std::string_view text);

 private:
  std::vector<ScheduledRecording> items_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_RECORDING_RECORDING_SCHEDULE_H_
