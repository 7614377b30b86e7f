#include "ui/playback/address_resolver.h"

#include <QMetaObject>

#include <algorithm>

#include "core/playback/stream_address_provider.h"
#include "core/stores/message_sink.h"

namespace vidora {

AddressResolver::AddressResolver() = default;

AddressResolver::~AddressResolver() {
  Cancel();
  for (auto& job : jobs_) {
    job->cancel = true;
    if (job->thread.joinable()) job->thread.join();
  }
}

void AddressResolver::Start(std::unique_ptr<StreamAddressProvider> provider, std::u16string address, Done done) {
  Cancel();
  auto job = std::make_unique<Job>();
  Job* raw = job.get();
  current_ = raw;
  done_ = std::move(done);
  raw->thread = std::thread([this, raw, provider = std::move(provider), address = std::move(address)] {
    std::optional<std::u16string> result;
    Messages messages;
    {
      ScopedMessageCapture capture;
      result = provider->Resolve(address, &raw->cancel);
      messages = std::move(capture.messages);
    }
    // Queued to this object: dropped if it is gone, and it waits for this
    // thread before it goes.
    QMetaObject::invokeMethod(
        this, [this, raw, result = std::move(result), messages = std::move(messages)]() mutable {
          Finish(raw, std::move(result), std::move(messages));
        },
        Qt::QueuedConnection);
  });
  jobs_.push_back(std::move(job));
}

void AddressResolver::Cancel() {
  if (current_ != nullptr) current_->cancel = true;
  current_ = nullptr;
  done_ = nullptr;
}

void AddressResolver::Finish(Job* job, std::optional<std::u16string> address, Messages messages) {
  const bool is_current = job == current_;
  // The worker has only its return left to run.
  auto it = std::find_if(jobs_.begin(), jobs_.end(), [job](const auto& owned) { return owned.get() == job; });
  if (it != jobs_.end()) {
    if ((*it)->thread.joinable()) (*it)->thread.join();
    jobs_.erase(it);
  }
  if (!is_current) return;
  current_ = nullptr;
  Done done = std::move(done_);
  done_ = nullptr;
  if (done) done(std::move(address), std::move(messages));
}

}  // namespace vidora
