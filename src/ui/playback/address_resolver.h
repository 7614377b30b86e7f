#ifndef VIDORA_UI_PLAYBACK_ADDRESS_RESOLVER_H_
#define VIDORA_UI_PLAYBACK_ADDRESS_RESOLVER_H_

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/jobs/background_jobs.h"

namespace vidora {

class StreamAddressProvider;

// Runs stream providers off the UI thread: each Start resolves as a job of
// the player's job runner and reports on the UI thread. Only the newest
// request reports; Start and Cancel drop (and cut short) the one before.
// The messages a provider shows while it works (its failures, the address
// it found) are collected and handed over with the result, for the UI
// thread to show. Created, used and destroyed on the UI thread;
// destruction cancels every request and waits for the jobs as the runner
// does (a cancelled transfer ends within about a second).
class AddressResolver : public QObject {
  Q_OBJECT

 public:
  using Messages = std::vector<std::pair<std::u16string, std::u16string>>;
  // The address (none: the provider found none) and its messages, in order.
  using Done = std::function<void(std::optional<std::u16string> address, Messages messages)>;

  AddressResolver();
  ~AddressResolver() override;

  // Resolves `address` with `provider` (a copy for the worker, owned from
  // now on) and calls `done` on the UI thread unless dropped first. When
  // no job could be started, `done` gets no address, from the event loop.
  void Start(std::unique_ptr<StreamAddressProvider> provider, std::u16string address, Done done);
  // Drops the pending request, if any; its `done` is never called.
  void Cancel();
  bool pending() const { return current_ != nullptr; }

 private:
  using CancelFlag = std::shared_ptr<std::atomic<bool>>;
  void Finish(const CancelFlag& request, std::optional<std::u16string> address, Messages messages);

  // The newest request's cancel flag; the older ones were raised when it
  // came.
  CancelFlag current_;
  Done done_;
  // Last, so that it ends first: results call into this object.
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_ADDRESS_RESOLVER_H_
