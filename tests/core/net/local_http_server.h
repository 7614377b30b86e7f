#ifndef VIDORA_TESTS_CORE_NET_LOCAL_HTTP_SERVER_H_
#define VIDORA_TESTS_CORE_NET_LOCAL_HTTP_SERVER_H_

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vidora::testing {

// A raw HTTP server on 127.0.0.1 and a free port, for tests that must see
// the request exactly as it was sent and answer with exactly the bytes
// they choose. Connections are served one after the other on the server's
// own thread; each is closed after its answer.
class LocalHttpServer {
 public:
  // Gets the request head (request line and header lines, CRLF-separated,
  // up to the blank line) and returns the raw answer, or none to leave the
  // connection open without answering until the server stops. Runs on the
  // server's thread.
  using Handler = std::function<std::optional<std::string>(const std::string& head)>;

  explicit LocalHttpServer(Handler handler);
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;
  ~LocalHttpServer();

  int port() const { return port_; }
  // "127.0.0.1:<port>".
  std::string Host() const;
  std::u16string Host16() const;
  // "http://127.0.0.1:<port>" + path.
  std::u16string Url(const std::string& path) const;
  // The heads received so far, oldest first.
  std::vector<std::string> Requests() const;

 private:
  void Serve();

  Handler handler_;
  int listen_fd_ = -1;
  int wake_fds_[2] = {-1, -1};
  int port_ = 0;
  std::vector<int> silent_fds_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// Removes the proxy variables of the environment, so that requests that
// honour them still go straight to 127.0.0.1. Call before any request.
void ClearProxyEnvironment();

// A complete answer: status line, Content-Length, `extra_headers` (each
// line ending in CRLF), a blank line and the body.
std::string HttpAnswer(int status, const std::string& body, const std::string& extra_headers = {});

// Reads a request head from the connection `fd` (waiting at most 5 s for
// each piece), without the blank line that ends it.
std::string ReadHead(int fd);

// The request line of a head ("GET /x HTTP/1.1").
std::string RequestLine(const std::string& head);
// The header lines of a head, without the request line.
std::vector<std::string> HeaderLinesOf(const std::string& head);
// The path of the request line.
std::string RequestPath(const std::string& head);

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_CORE_NET_LOCAL_HTTP_SERVER_H_
