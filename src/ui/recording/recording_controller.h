#ifndef VIDORA_UI_RECORDING_RECORDING_CONTROLLER_H_
#define VIDORA_UI_RECORDING_RECORDING_CONTROLLER_H_

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "core/recording/recording_schedule.h"
#include "core/recording/stream_recorder.h"
#include "ui/jobs/background_jobs.h"

namespace vidora {

// Runs the player's recordings: the one the user starts on what plays and
// the scheduled ones when their time comes (a minute early, until two
// minutes late), at most MaxRecordings at once. The schedule is kept in
// its file across restarts; recordings interrupted by a crash are given
// their final names at start. Each recording copies its stream on a
// thread of its own (StreamRecorder); their ends come back here on the UI
// thread. UI thread only; ending (StopAll or the destructor) ends every
// recording cleanly and waits for them.
class RecordingController : public QObject {
  Q_OBJECT

 public:
  struct Options {
    std::filesystem::path folder;         // where recordings go
    std::filesystem::path schedule_file;  // the schedule's file
    std::function<int64_t()> clock;       // epoch seconds; the system clock when empty
    int tick_ms = 5000;                   // how often the schedule is looked at
  };
  // The player's options: RecordingsFolder() and the user data folder.
  static Options DefaultOptions();

  explicit RecordingController(Options options, QObject* parent = nullptr);
  ~RecordingController() override;

  // Starts recording `address` (what plays) until StopRecording or
  // `until` (epoch seconds, 0: no end), or stops it when it records
  // already. Returns whether a recording now runs for it.
  bool ToggleRecording(const QString& channel, const QString& title, const QString& address, int64_t until);
  bool IsRecording(const QString& address) const;
  // Schedules `recording`; false with the sentence that says why not (the
  // clashing recordings named) in `refusal` (may be null).
  bool Schedule(const ScheduledRecording& recording, QString* refusal = nullptr);
  bool Unschedule(const ScheduledRecording& recording);
  const RecordingSchedule& schedule() const { return schedule_; }
  int active_count() const { return static_cast<int>(active_.size()); }
  const std::filesystem::path& folder() const { return options_.folder; }

  // Ends every recording cleanly (files get their final names).
  void StopAll();
  // Starts what is due and stops scheduled ones past their end (also run
  // by the timer).
  void Tick();

 signals:
  // A recording began or ended, or the schedule changed.
  void Changed();
  // One sentence for the user; `detail` for its tooltip; `failure`: shown
  // as an error.
  void Message(const QString& text, const QString& detail, bool failure);

 private:
  struct Active {
    std::unique_ptr<StreamRecorder> recorder;
    QString address;
    int64_t until = 0;  // stopped by the tick at this time; 0: never
    bool scheduled = false;
    int id = 0;
  };

  bool Start(const ScheduledRecording& what, int64_t until, bool scheduled);
  // Starts a scheduled recording that is due; a provider's channel first
  // has its address completed by the provider, off the UI thread.
  void StartDue(const ScheduledRecording& due);
  void OnEnded(int id, const RecordingResult& result);
  void SaveSchedule() const;
  int64_t Now() const;

  Options options_;
  RecordingSchedule schedule_;
  std::vector<Active> active_;
  QTimer timer_;
  int last_id_ = 0;
  // Last, so that it goes first: no provider's answer comes back to a
  // controller that is being destroyed.
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_RECORDING_RECORDING_CONTROLLER_H_
