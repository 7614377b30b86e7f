#ifndef VIDORA_TESTS_CORE_UPDATES_THREAD_JOB_RUNNER_H_
#define VIDORA_TESTS_CORE_UPDATES_THREAD_JOB_RUNNER_H_

#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "core/jobs/job_runner.h"

namespace vidora::testing {

// A job runner for tests without an event loop: each job runs on a thread
// of its own, and the results wait for Finish(), which joins the jobs and
// runs their results on the calling thread in the order the jobs started.
// Destroying it joins the jobs and drops their results, as the player's
// runner drops them.
class ThreadJobRunner : public JobRunner {
 public:
  ~ThreadJobRunner() override {
    for (auto& job : jobs_) job->thread.join();
  }

  bool Run(Work work) override {
    auto job = std::make_unique<Job>();
    Job* raw = job.get();
    raw->thread = std::thread([raw, work = std::move(work)] { raw->result = work(); });
    jobs_.push_back(std::move(job));
    return true;
  }

  void Finish() {
    std::vector<std::unique_ptr<Job>> jobs = std::move(jobs_);
    jobs_.clear();
    for (auto& job : jobs) {
      job->thread.join();
      if (job->result) job->result();
    }
  }

 private:
  struct Job {
    std::thread thread;
    Result result;
  };
  std::vector<std::unique_ptr<Job>> jobs_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_CORE_UPDATES_THREAD_JOB_RUNNER_H_
