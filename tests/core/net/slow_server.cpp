#include "core/net/slow_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "core/net/local_http_server.h"

namespace vidora::testing {

SlowServer::SlowServer(uint64_t announced_bytes, size_t step_bytes, int pause_ms)
    : announced_bytes_(announced_bytes), step_bytes_(std::max<size_t>(1, step_bytes)), pause_ms_(pause_ms) {
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listen_fd_, 16) != 0) {
    std::abort();
  }
  socklen_t length = sizeof address;
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
}

SlowServer::~SlowServer() {
  stop_ = true;
  acceptor_.join();
  close(listen_fd_);
  std::lock_guard<std::mutex> lock(mutex_);
  for (std::thread& connection : connections_) connection.join();
}

std::u16string SlowServer::Host16() const {
  const std::string host = "127.0.0.1:" + std::to_string(port_);
  return std::u16string(host.begin(), host.end());
}

std::u16string SlowServer::Url(const std::string& path) const { return u"http://" + Host16() + std::u16string(path.begin(), path.end()); }

void SlowServer::Accept() {
  while (!stop_) {
    pollfd waiting{listen_fd_, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.emplace_back([this, fd] { Answer(fd); });
  }
}

void SlowServer::Answer(int fd) {
  ReadHead(fd);
  const std::string head = "HTTP/1.1 200 OK\r\nSet-Cookie: tv=1\r\nContent-Length: " +
                           std::to_string(announced_bytes_) + "\r\n\r\n";
  const uint64_t total = head.size() + announced_bytes_;
  const std::string filler(step_bytes_, 'x');
  uint64_t sent = 0;
  while (!stop_ && sent < total) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(step_bytes_, total - sent));
    const char* data = sent < head.size() ? head.data() + sent : filler.data();
    const size_t piece = sent < head.size() ? std::min<size_t>(n, head.size() - sent) : n;
    if (send(fd, data, piece, MSG_NOSIGNAL) <= 0) break;
    sent += piece;
    for (int waited = 0; waited < pause_ms_ && !stop_; waited += 10) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min(10, pause_ms_ - waited)));
    }
  }
  close(fd);
}

}  // namespace vidora::testing
