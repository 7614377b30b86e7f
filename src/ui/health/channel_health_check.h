#ifndef VIDORA_UI_HEALTH_CHANNEL_HEALTH_CHECK_H_
#define VIDORA_UI_HEALTH_CHANNEL_HEALTH_CHECK_H_

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "core/health/health_book.h"
#include "core/health/health_check_run.h"
#include "ui/jobs/background_jobs.h"

class QWidget;

namespace vidora {

class Channel;

// "Check channels": probes every source of a list of channels in the
// background (HealthCheckRun's bounds), with a progress window and Cancel,
// then says in one sentence how many channels did not answer. The results
// (kept in a file across restarts, each counting for a day) mark dead
// sources in the channel lists, put the sources that answered first when a
// channel plays, and let "Hide unavailable channels" leave out channels
// whose every source is dead. Nothing is removed from a playlist.
//
// One object is current at a time (Current()); it makes its book the
// CurrentHealthBook and offers the check to the channels dialog. Results
// older than a day are checked again quietly (no window, no sentence) a
// while after start. Reading and writing the file and all probing run on
// threads of their own; the book is touched on the UI thread only.
class ChannelHealthCheck : public QObject {
  Q_OBJECT

 public:
  using Clock = std::function<int64_t()>;  // seconds since 1970
  struct Options {
    std::filesystem::path file;  // the stored results
    HealthCheckLimits limits;
    Clock clock;               // empty: the system clock
    bool show_summary = true;  // false: the sentence is only kept (tests)
    int recheck_delay_ms = 60000;  // after start; negative: never
  };
  static Options DefaultOptions();

  explicit ChannelHealthCheck(Options options, QObject* parent = nullptr);
  ~ChannelHealthCheck() override;
  static ChannelHealthCheck* Current();

  // Checks the sources of `channels` over `owner`: modal, returns when the
  // check ended or was cancelled (the results so far are kept).
  void Check(QWidget* owner, const std::vector<Channel*>& channels);
  // Checks every channel of the catalogue.
  void CheckEverything(QWidget* owner);

  const HealthBook& book() const { return book_; }
  // The sentence of the last check the user started.
  const QString& last_summary() const { return last_summary_; }
  // The probes of the last check that ended, with the most that ran at
  // once (benchmarks); null before the first.
  const HealthCheckRun* last_run() const { return last_run_.get(); }
  // Whether loading, a check or saving runs (tests).
  bool busy() const { return jobs_.running() > 0 || running_ != nullptr; }

 signals:
  // New results are in the book: lists repaint.
  void ResultsChanged();

 private:
  struct Running;
  // Starts probing `channels`' sources; `finished` runs on the UI thread.
  std::shared_ptr<Running> Start(const std::vector<Channel*>& channels, std::function<void(Running&)> finished);
  void Record(const HealthCheckRun& run);
  QString Summary(const Running& running, bool cancelled) const;
  void Save();
  void Load();
  void RecheckStale();

  Options options_;
  HealthBook book_;
  QString last_summary_;
  std::shared_ptr<Running> running_;
  std::shared_ptr<const HealthCheckRun> last_run_;
  QTimer recheck_timer_;
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_HEALTH_CHANNEL_HEALTH_CHECK_H_
