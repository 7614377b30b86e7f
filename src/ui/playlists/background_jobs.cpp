#include "ui/playlists/background_jobs.h"

#include <QMetaObject>

#include "core/network/worker_thread.h"

namespace vidora {

BackgroundJobs::~BackgroundJobs() {
  cancel_->store(true);
  for (auto& job : jobs_) {
    if (job->thread.joinable()) job->thread.join();
  }
}

void BackgroundJobs::JoinFinished() {
  for (auto it = jobs_.begin(); it != jobs_.end();) {
    if ((*it)->done.load()) {
      if ((*it)->thread.joinable()) (*it)->thread.join();
      it = jobs_.erase(it);
    } else {
      ++it;
    }
  }
}

bool BackgroundJobs::Run(std::function<std::function<void()>()> work) {
  JoinFinished();
  auto job = std::make_unique<Job>();
  Job* raw = job.get();
  QObject* context = context_;
  std::shared_ptr<std::atomic<bool>> cancel = cancel_;
  int* running = &running_;
  const bool started = StartWorkerThread(raw->thread, [raw, context, cancel, running, work = std::move(work)] {
    std::function<void()> finish = work();
    if (!cancel->load() && finish) {
      // The result runs where the widgets live; a context destroyed
      // meanwhile drops it.
      QMetaObject::invokeMethod(context, [cancel, running, finish = std::move(finish)] {
        --*running;
        if (!cancel->load()) finish();
      }, Qt::QueuedConnection);
    } else {
      QMetaObject::invokeMethod(context, [cancel, running] {
        if (!cancel->load()) --*running;
      }, Qt::QueuedConnection);
    }
    raw->done.store(true);
  });
  if (!started) return false;
  ++running_;
  jobs_.push_back(std::move(job));
  return true;
}

}  // namespace vidora
