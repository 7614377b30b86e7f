#ifndef VIDORA_TESTS_CORE_NET_SLOW_SERVER_H_
#define VIDORA_TESTS_CORE_NET_SLOW_SERVER_H_

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vidora::testing {

// A hostile HTTP server on 127.0.0.1: each connection (served on a thread
// of its own, so requests may run at the same time) gets an answer that
// announces `announced_bytes` of body and then sends it `step_bytes` at a
// time with `pause_ms` between the steps, headers included, until the
// client goes or the server stops. pause_ms 0 floods.
class SlowServer {
 public:
  SlowServer(uint64_t announced_bytes, size_t step_bytes, int pause_ms);
  SlowServer(const SlowServer&) = delete;
  SlowServer& operator=(const SlowServer&) = delete;
  ~SlowServer();

  std::u16string Url(const std::string& path) const;
  std::u16string Host16() const;

 private:
  void Accept();
  void Answer(int fd);

  uint64_t announced_bytes_;
  size_t step_bytes_;
  int pause_ms_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_CORE_NET_SLOW_SERVER_H_
