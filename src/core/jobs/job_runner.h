#ifndef VIDORA_CORE_JOBS_JOB_RUNNER_H_
#define VIDORA_CORE_JOBS_JOB_RUNNER_H_

#include <functional>

namespace vidora {

// Runs blocking work (downloads, checks) off the thread that owns the
// runner and hands each job's result back to that thread. The user
// interface implements it (its job runner hands results to the UI
// thread's event loop); the core only holds one it is given, so that it
// needs no threads or event loop of its own.
class JobRunner {
 public:
  // Runs on the runner's owning thread, after the work, unless the runner
  // was destroyed first.
  using Result = std::function<void()>;
  // Runs on a thread of the runner; returns what is to run back on the
  // owning thread (may be empty). It must reach its owner only through
  // the result, since the owner may be gone before the work ends.
  using Work = std::function<Result()>;

  virtual ~JobRunner() = default;

  // Starts `work`. Returns false, without running it, when it could not be
  // started (the system refused another thread).
  virtual bool Run(Work work) = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_JOBS_JOB_RUNNER_H_
