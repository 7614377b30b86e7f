#ifndef VIDORA_UI_JOBS_BACKGROUND_JOBS_H_
#define VIDORA_UI_JOBS_BACKGROUND_JOBS_H_

#include <QObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <thread>

#include "core/jobs/job_runner.h"

namespace vidora {

// The player's one job runner: runs blocking work (downloads, parsing,
// checks, reading files) on threads of its own and hands each result back
// to the UI thread. Destroying the jobs raises cancel() and waits for the
// running ones at most `join_limit` in all: a job still running then
// (stuck in a read that cancel cannot end, such as opening a FIFO) is left
// to end on its own, and its result is dropped. So a job's work must not
// touch its owner once cancel() is raised; what it was given by value, and
// cancel() itself, stay valid until it ends. Results never run after the
// jobs are destroyed, so an owner that holds its jobs as a member may let
// results call into itself. UI thread.
class BackgroundJobs : public JobRunner {
 public:
  // How long the owner's destruction (at the latest, the player's exit)
  // may wait for its jobs.
  static constexpr std::chrono::milliseconds kJoinLimit{1000};

  // `context` (borrowed) is the object whose event loop gets the results,
  // normally the owner of the jobs.
  explicit BackgroundJobs(QObject* context, std::chrono::milliseconds join_limit = kJoinLimit);
  ~BackgroundJobs() override;
  BackgroundJobs(const BackgroundJobs&) = delete;
  BackgroundJobs& operator=(const BackgroundJobs&) = delete;

  // Runs `work` on a new thread; the function it returns then runs on the
  // UI thread (in `context`'s event loop), unless the jobs were destroyed
  // first. Returns false, without running `work`, when the system refuses
  // another thread; the refusal never escapes as an exception.
  bool Run(Work work) override;

  // Raised when the owner goes away; jobs pass it to blocking calls.
  const std::atomic<bool>* cancel() const;
  // Jobs started and not yet handed back.
  int running() const;

 private:
  // What the job threads share with the jobs, kept alive by the threads
  // that outlive them.
  struct Shared;
  struct Job {
    std::thread thread;
    bool done = false;  // under Shared::mutex
  };
  void JoinFinished();

  std::chrono::milliseconds join_limit_;
  std::shared_ptr<Shared> shared_;
  std::list<std::shared_ptr<Job>> jobs_;
};

}  // namespace vidora

#endif  // VIDORA_UI_JOBS_BACKGROUND_JOBS_H_
