#ifndef VIDORA_CORE_HEALTH_HEALTH_CHECK_RUN_H_
#define VIDORA_CORE_HEALTH_HEALTH_CHECK_RUN_H_

#include <atomic>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/health/source_check.h"
#include "core/playback/stream_address_provider.h"

namespace vidora {

// The bounds of one check: probes at once, probes of one host at once,
// and how long one source may take (every request of it together).
struct HealthCheckLimits {
  int connections = 8;
  int per_host = 2;
  long source_ms = 5000;
};

// One source to check, as its channel stores it.
struct ProbeTarget {
  std::u16string address;  // the source's stored address (the results' key)
  std::string provider;    // the channel's stream provider, or empty
  std::string user_agent;  // request headers its playlist gives it
  std::string referrer;
  std::string cookie;
};

// Stream providers by name, each for the use of one probing thread.
using ProviderSet = std::map<std::string, std::unique_ptr<StreamAddressProvider>, std::less<>>;

// Checks many sources at once within HealthCheckLimits: probing threads
// (as many as `connections`) take the sources in order, passing over
// those whose host has `per_host` probes running, so a list that points
// mostly at one server never holds more than two of its connections.
// A source of a provider channel is first resolved by that provider's copy
// of the probing thread; one that resolves to nothing, and one that is no
// http(s) address, stays kUnknown.
//
// Built and read on any one thread; Run blocks on another or the same one.
// done() and dead() may be read from any thread while it runs.
class HealthCheckRun {
 public:
  // `providers` holds one ProviderSet per probing thread (fewer: provider
  // channels of the threads without one stay kUnknown).
  HealthCheckRun(std::vector<ProbeTarget> targets, HealthCheckLimits limits,
                 std::vector<ProviderSet> providers = {});
  HealthCheckRun(const HealthCheckRun&) = delete;
  HealthCheckRun& operator=(const HealthCheckRun&) = delete;

  // Probes every target; a raised `cancel` (may be null) ends it within
  // about a second, the sources not yet checked staying kUnknown.
  // results()[i] is then target i's outcome (checked_at still 0).
  void Run(const std::atomic<bool>* cancel);

  const std::vector<ProbeTarget>& targets() const { return targets_; }
  const std::vector<SourceCheck>& results() const { return results_; }
  size_t done() const { return done_.load(); }
  size_t dead() const { return dead_.load(); }
  // The most probes that ran at once, in all and on one host.
  int most_at_once() const { return most_at_once_; }
  int most_on_one_host() const { return most_on_one_host_; }

 private:
  struct Queue;
  void Work(Queue& queue, size_t thread, const std::atomic<bool>* cancel);
  SourceCheck Probe(const ProbeTarget& target, size_t thread, const std::atomic<bool>* cancel);

  std::vector<ProbeTarget> targets_;
  HealthCheckLimits limits_;
  std::vector<ProviderSet> providers_;
  std::vector<SourceCheck> results_;
  std::atomic<size_t> done_{0};
  std::atomic<size_t> dead_{0};
  int most_at_once_ = 0;
  int most_on_one_host_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_HEALTH_HEALTH_CHECK_RUN_H_
