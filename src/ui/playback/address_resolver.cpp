#include "ui/playback/address_resolver.h"

#include <QTimer>

#include "core/playback/stream_address_provider.h"
#include "core/stores/message_sink.h"

namespace vidora {

AddressResolver::AddressResolver() = default;

// Raising the newest request's flag cuts its transfer short before the
// runner waits for it.
AddressResolver::~AddressResolver() { Cancel(); }

void AddressResolver::Start(std::unique_ptr<StreamAddressProvider> provider, std::u16string address, Done done) {
  Cancel();
  CancelFlag request = std::make_shared<std::atomic<bool>>(false);
  current_ = request;
  done_ = std::move(done);
  // The job holds the provider and its flag: both outlive the resolver if
  // the job outlives the runner's wait.
  std::shared_ptr<StreamAddressProvider> worker = std::move(provider);
  const bool started = jobs_.Run([this, request, worker, address = std::move(address)]() -> JobRunner::Result {
    std::optional<std::u16string> result;
    Messages messages;
    {
      ScopedMessageCapture capture;
      result = worker->Resolve(address, request.get());
      messages = std::move(capture.messages);
    }
    return [this, request, result = std::move(result), messages = std::move(messages)]() mutable {
      Finish(request, std::move(result), std::move(messages));
    };
  });
  if (!started) {
    // Like a provider that found nothing, reported as a job would be.
    QTimer::singleShot(0, this, [this, request] { Finish(request, std::nullopt, {}); });
  }
}

void AddressResolver::Cancel() {
  if (current_ != nullptr) current_->store(true);
  current_ = nullptr;
  done_ = nullptr;
}

void AddressResolver::Finish(const CancelFlag& request, std::optional<std::u16string> address, Messages messages) {
  if (request != current_) return;
  current_ = nullptr;
  Done done = std::move(done_);
  done_ = nullptr;
  if (done) done(std::move(address), std::move(messages));
}

}  // namespace vidora
