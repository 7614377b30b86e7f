#include "core/health/health_check_run.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "core/document/text_codec.h"
#include "core/health/source_probe.h"
#include "core/net/curl_transfer.h"

namespace vidora {
namespace {

bool IsWebAddress(std::string_view url) {
  auto starts = [url](std::string_view scheme) {
    return url.size() > scheme.size() && std::equal(scheme.begin(), scheme.end(), url.begin(), [](char a, char b) {
             return a == std::tolower(static_cast<unsigned char>(b));
           });
  };
  return starts("http://") || starts("https://");
}

}  // namespace

// The sources still to probe, by host, and the probes running on each.
struct HealthCheckRun::Queue {
  struct Host {
    std::deque<size_t> waiting;
    int running = 0;
  };
  std::mutex mutex;
  std::condition_variable changed;
  std::unordered_map<std::string, Host> hosts;
  // Hosts in the order their first source came, for taking sources in
  // about list order.
  std::vector<std::string> order;
  size_t waiting = 0;
  int running = 0;
};

HealthCheckRun::HealthCheckRun(std::vector<ProbeTarget> targets, HealthCheckLimits limits,
                               std::vector<ProviderSet> providers)
    : targets_(std::move(targets)), limits_(limits), providers_(std::move(providers)), results_(targets_.size()) {
  limits_.connections = std::max(1, limits_.connections);
  limits_.per_host = std::max(1, limits_.per_host);
}

void HealthCheckRun::Run(const std::atomic<bool>* cancel) {
  Queue queue;
  for (size_t i = 0; i < targets_.size(); ++i) {
    // A provider address names no host until resolved; those share one
    // queue of their own, which still keeps the per-host bound after
    // resolving (they usually all point at the provider's one server).
    const ProbeTarget& target = targets_[i];
    const std::string host = target.provider.empty() ? ProbeHostOf(Utf16ToUtf8(target.address)) : "\x01" + target.provider;
    auto [it, added] = queue.hosts.try_emplace(host);
    if (added) queue.order.push_back(host);
    it->second.waiting.push_back(i);
  }
  queue.waiting = targets_.size();
  const size_t count = std::min<size_t>(static_cast<size_t>(limits_.connections), targets_.size());
  std::vector<std::thread> threads;
  threads.reserve(count);
  for (size_t t = 0; t < count; ++t) {
    try {
      threads.emplace_back([this, &queue, t, cancel] { Work(queue, t, cancel); });
    } catch (const std::system_error&) {
      break;  // fewer threads: the check is slower, not wrong
    }
  }
  if (threads.empty()) Work(queue, 0, cancel);
  for (std::thread& thread : threads) thread.join();
}

void HealthCheckRun::Work(Queue& queue, size_t thread, const std::atomic<bool>* cancel) {
  size_t next_host = thread;  // threads start at different hosts
  for (;;) {
    size_t index = 0;
    std::string host;
    {
      std::unique_lock lock(queue.mutex);
      for (;;) {
        if (queue.waiting == 0 || (cancel != nullptr && cancel->load())) return;
        bool found = false;
        for (size_t step = 0; step < queue.order.size() && !found; ++step) {
          const std::string& name = queue.order[(next_host + step) % queue.order.size()];
          Queue::Host& candidate = queue.hosts[name];
          if (candidate.waiting.empty() || candidate.running >= limits_.per_host) continue;
          index = candidate.waiting.front();
          candidate.waiting.pop_front();
          ++candidate.running;
          most_on_one_host_ = std::max(most_on_one_host_, candidate.running);
          host = name;
          next_host = (next_host + step) % queue.order.size();
          found = true;
        }
        if (found) break;
        // Every host with sources left is at its bound: wait for one to finish.
        queue.changed.wait_for(lock, std::chrono::milliseconds(200));
      }
      --queue.waiting;
      ++queue.running;
      most_at_once_ = std::max(most_at_once_, queue.running);
    }
    results_[index] = Probe(targets_[index], thread, cancel);
    if (results_[index].state == SourceState::kDead) ++dead_;
    if (!(cancel != nullptr && cancel->load())) ++done_;
    {
      std::lock_guard lock(queue.mutex);
      --queue.hosts[host].running;
      --queue.running;
    }
    queue.changed.notify_all();
  }
}

SourceCheck HealthCheckRun::Probe(const ProbeTarget& target, size_t thread, const std::atomic<bool>* cancel) {
  ProbeRequest request;
  if (target.provider.empty()) {
    request.url = EncodeUrlText(target.address);
  } else {
    if (thread >= providers_.size()) return SourceCheck{};
    const auto provider = providers_[thread].find(target.provider);
    if (provider == providers_[thread].end()) return SourceCheck{};
    const std::optional<std::u16string> resolved = provider->second->Resolve(target.address, cancel);
    if (!resolved || resolved->empty()) return SourceCheck{};
    request.url = EncodeUrlText(*resolved);
  }
  if (!IsWebAddress(request.url)) return SourceCheck{};
  request.user_agent = target.user_agent;
  request.referrer = target.referrer;
  request.cookie = target.cookie;
  request.budget_ms = limits_.source_ms;
  request.cancel = cancel;
  return ProbeSource(request);
}

}  // namespace vidora
