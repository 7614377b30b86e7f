#include "ui/jobs/background_jobs.h"

#include <QMetaObject>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

namespace vidora {

struct BackgroundJobs::Shared {
  std::atomic<bool> cancel{false};
  std::mutex mutex;
  std::condition_variable job_ended;
  // Where results go; null once the jobs are destroyed (under `mutex`, so
  // a result is never posted to an owner on its way out).
  QObject* context = nullptr;
  // Touched on the UI thread only.
  int running = 0;
};

BackgroundJobs::BackgroundJobs(QObject* context, std::chrono::milliseconds join_limit)
    : join_limit_(join_limit), shared_(std::make_shared<Shared>()) {
  shared_->context = context;
}

BackgroundJobs::~BackgroundJobs() {
  shared_->cancel.store(true);
  {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->job_ended.wait_for(lock, join_limit_, [this] {
      for (const auto& job : jobs_) {
        if (!job->done) return false;
      }
      return true;
    });
    shared_->context = nullptr;
  }
  for (auto& job : jobs_) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    const bool done = job->done;
    lock.unlock();
    // A finished thread only has to return; a stuck one holds the shared
    // state and its job until it ends.
    if (done) job->thread.join();
    else job->thread.detach();
  }
}

const std::atomic<bool>* BackgroundJobs::cancel() const { return &shared_->cancel; }

int BackgroundJobs::running() const { return shared_->running; }

void BackgroundJobs::JoinFinished() {
  for (auto it = jobs_.begin(); it != jobs_.end();) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    const bool done = (*it)->done;
    lock.unlock();
    if (done) {
      (*it)->thread.join();
      it = jobs_.erase(it);
    } else {
      ++it;
    }
  }
}

bool BackgroundJobs::Run(Work work) {
  JoinFinished();
  auto job = std::make_shared<Job>();
  auto body = [job, shared = shared_, work = std::move(work)] {
    Result finish = work();
    if (shared->cancel.load()) finish = nullptr;
    std::lock_guard<std::mutex> lock(shared->mutex);
    if (shared->context != nullptr) {
      // The result runs where the widgets live.
      QMetaObject::invokeMethod(shared->context, [shared, finish = std::move(finish)] {
        --shared->running;
        if (!shared->cancel.load() && finish) finish();
      }, Qt::QueuedConnection);
    }
    job->done = true;
    shared->job_ended.notify_all();
  };
  try {
    job->thread = std::thread(std::move(body));
  } catch (const std::system_error&) {
    // Out of threads or memory for a stack: the work is not done, and the
    // caller treats it like work that found nothing.
    return false;
  }
  ++shared_->running;
  jobs_.push_back(std::move(job));
  return true;
}

}  // namespace vidora
