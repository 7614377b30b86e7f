#ifndef VIDORA_UI_PLAYLISTS_BACKGROUND_JOBS_H_
#define VIDORA_UI_PLAYLISTS_BACKGROUND_JOBS_H_

#include <QObject>

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <thread>

namespace vidora {

// Runs blocking work (downloads, parsing) on threads of its own and hands
// each result back to the UI thread. Destroying the jobs raises cancel()
// and joins every thread, so no job outlives its owner. UI thread only.
class BackgroundJobs {
 public:
  explicit BackgroundJobs(QObject* context) : context_(context) {}
  ~BackgroundJobs();
  BackgroundJobs(const BackgroundJobs&) = delete;
  BackgroundJobs& operator=(const BackgroundJobs&) = delete;

  // Runs `work` on a new thread; the function it returns then runs on the
  // UI thread (in `context`'s event loop), unless the jobs were destroyed
  // first. Returns false when no thread could be started.
  bool Run(std::function<std::function<void()>()> work);

  // Raised when the owner goes away; jobs pass it to blocking calls.
  const std::atomic<bool>* cancel() const { return cancel_.get(); }
  // Jobs started and not yet handed back.
  int running() const { return running_; }

 private:
  struct Job {
    std::thread thread;
    std::atomic<bool> done{false};
  };
  void JoinFinished();

  QObject* context_;
  std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
  std::list<std::unique_ptr<Job>> jobs_;
  int running_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYLISTS_BACKGROUND_JOBS_H_
