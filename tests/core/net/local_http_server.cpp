#include "core/net/local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace vidora::testing {
namespace {

void SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;  // the client went away; nothing more to do
    sent += static_cast<size_t>(n);
  }
}

}  // namespace

std::string ReadHead(int fd) {
  timeval timeout{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    head.append(buffer, static_cast<size_t>(n));
  }
  const size_t end = head.find("\r\n\r\n");
  if (end != std::string::npos) head.resize(end);
  return head;
}

LocalHttpServer::LocalHttpServer(Handler handler) : handler_(std::move(handler)) {
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listen_fd_, 16) != 0 || pipe(wake_fds_) != 0) {
    std::abort();
  }
  socklen_t length = sizeof address;
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer() {
  const char wake = 1;
  (void)!write(wake_fds_[1], &wake, 1);
  thread_.join();
  for (const int fd : silent_fds_) close(fd);
  close(listen_fd_);
  close(wake_fds_[0]);
  close(wake_fds_[1]);
}

std::string LocalHttpServer::Host() const { return "127.0.0.1:" + std::to_string(port_); }

std::u16string LocalHttpServer::Host16() const {
  const std::string host = Host();
  return std::u16string(host.begin(), host.end());
}

std::u16string LocalHttpServer::Url(const std::string& path) const {
  const std::string url = "http://" + Host() + path;
  return std::u16string(url.begin(), url.end());
}

std::vector<std::string> LocalHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LocalHttpServer::Serve() {
  for (;;) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_fds_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents != 0) return;
    const int client = accept(listen_fd_, nullptr, nullptr);
    if (client < 0) continue;
    const std::string head = ReadHead(client);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(head);
    }
    const std::optional<std::string> answer = handler_(head);
    if (!answer) {
      silent_fds_.push_back(client);
      continue;
    }
    SendAll(client, *answer);
    shutdown(client, SHUT_WR);
    close(client);
  }
}

void ClearProxyEnvironment() {
  for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
}

std::string HttpAnswer(int status, const std::string& body, const std::string& extra_headers) {
  return "HTTP/1.1 " + std::to_string(status) + " Status\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n" + extra_headers + "\r\n" + body;
}

std::string RequestLine(const std::string& head) { return head.substr(0, head.find("\r\n")); }

std::vector<std::string> HeaderLinesOf(const std::string& head) {
  std::vector<std::string> lines;
  size_t start = head.find("\r\n");
  while (start != std::string::npos) {
    start += 2;
    const size_t end = head.find("\r\n", start);
    lines.push_back(head.substr(start, end == std::string::npos ? std::string::npos : end - start));
    start = end;
  }
  return lines;
}

std::string RequestPath(const std::string& head) {
  const std::string line = RequestLine(head);
  const size_t first = line.find(' ');
  const size_t second = line.find(' ', first + 1);
  return line.substr(first + 1, second - first - 1);
}

}  // namespace vidora::testing
