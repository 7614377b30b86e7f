#ifndef VIDORA_TESTS_CORE_HEALTH_STREAM_HOSTS_H_
#define VIDORA_TESTS_CORE_HEALTH_STREAM_HOSTS_H_

#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vidora::testing {

// A stand-in for a stream server on a loopback address of its own
// (127.0.0.N: every N is a host of its own to the per-host bound) and a
// free port. Its paths answer the way real stream servers do:
//   /live.ts    an endless MPEG-TS stream (chunked, 188-byte packets)
//   /short.ts   a complete 1,000-byte binary file
//   /master.m3u8 -> /media.m3u8 -> /seg1.ts   a working HLS stream
//   /broken.m3u8   a media playlist whose segment answers 404
//   /bare.m3u8     a media playlist without a segment
//   /missing    404;   /page   a 5 KB HTML page;   /empty   200 and nothing
//   /hang       accepts and never answers (until the host goes)
//   /trickle    a 200 and then a byte every 100 ms
//   /slow.ts?ms=N   a 4 KB TS file after N ms
// It counts the requests it serves at once, the most of them, and keeps
// the request headers of the last one.
class StreamHost {
 public:
  explicit StreamHost(const std::string& ip = "127.0.0.1") : ip_(ip) {
    server_.new_task_queue = [] { return new httplib::ThreadPool(48); };
    server_.Get("/live.ts", [this](const httplib::Request& request, httplib::Response& response) {
      Stream(response, Enter(request));
    });
    server_.Get("/slow.ts", [this](const httplib::Request& request, httplib::Response& response) {
      {
        // Counted while it keeps the client waiting.
        auto busy = Enter(request);
        const int ms = request.has_param("ms") ? std::stoi(request.get_param_value("ms")) : 500;
        Wait(std::chrono::milliseconds(ms));
      }
      response.set_content(Packets(4096), "video/mp2t");
    });
    server_.Get("/short.ts", [this](const httplib::Request& request, httplib::Response& response) {
      Enter(request);
      response.set_content(Packets(1000), "video/mp2t");
    });
    server_.Get("/master.m3u8", [this](const httplib::Request& request, httplib::Response& response) {
      Enter(request);
      response.set_content("#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=800000\nmedia.m3u8\n",
                           "application/vnd.apple.mpegurl");
    });
    server_.Get("/media.m3u8", [this](const httplib::Request& request, httplib::Response& response) {
      Enter(request);
      response.set_content("#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXT-X-MEDIA-SEQUENCE:7\n#EXTINF:6.0,\nseg1.ts\n",
                           "application/vnd.apple.mpegurl");
    });
    server_.Get("/seg1.ts", [this](const httplib::Request& request, httplib::Response& response) {
      Enter(request);
      response.set_content(Packets(4096), "video/mp2t");
    });
    server_.Get("/broken.m3u8", [this](const httplib::Request& request, httplib::Response& response) {
      Enter(request);
      response.set_content("#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXTINF:6.0,\ngone.ts\n", "application/vnd.apple.mpegurl");
    });
    server_.Get("/bare.m3u8", [this](const httplib::Request& request, httplib::Response& response) {
      Enter(request);
      response.set_content("#EXTM3U\n#EXT-X-TARGETDURATION:6\n", "application/vnd.apple.mpegurl");
    });
    server_.Get("/page", [this](const httplib::Request& request, httplib::Response& response) {
      Enter(request);
      // Larger than a stream's first bytes, as real error pages are.
      response.set_content("<!DOCTYPE html><html><head><title>Offline</title></head><body>" + std::string(5000, ' ') +
                               "Sorry</body></html>",
                           "text/html");
    });
    server_.Get("/empty", [this](const httplib::Request& request, httplib::Response& response) {
      Enter(request);
      response.set_content("", "video/mp2t");
    });
    server_.Get("/hang", [this](const httplib::Request& request, httplib::Response&) {
      auto busy = Enter(request);
      Wait(std::chrono::seconds(20));
    });
    server_.Get("/trickle", [this](const httplib::Request& request, httplib::Response& response) {
      auto busy = Enter(request);
      response.set_chunked_content_provider("video/mp2t", [this, busy](size_t, httplib::DataSink& sink) {
        const char byte = '\x47';
        if (released_ || !sink.write(&byte, 1)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return true;
      });
    });
    port_ = server_.bind_to_any_port(ip_);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ~StreamHost() {
    released_ = true;
    server_.stop();
    thread_.join();
  }
  StreamHost(const StreamHost&) = delete;
  StreamHost& operator=(const StreamHost&) = delete;

  bool ok() const { return port_ > 0; }
  std::string Url(const std::string& path) const { return "http://" + ip_ + ":" + std::to_string(port_) + path; }
  std::u16string Url16(const std::string& path) const {
    const std::string url = Url(path);
    return std::u16string(url.begin(), url.end());
  }
  int most_at_once() const { return most_at_once_.load(); }
  int served() const { return served_.load(); }
  std::string last_header(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto it = last_headers_.find(name);
    return it == last_headers_.end() ? std::string() : it->second;
  }

 private:
  // Counts a request as running until the returned token goes (the
  // content provider of a stream holds it while it streams).
  std::shared_ptr<void> Enter(const httplib::Request& request) {
    {
      std::lock_guard lock(mutex_);
      last_headers_ = request.headers;
    }
    ++served_;
    const int now = ++running_;
    int most = most_at_once_.load();
    while (now > most && !most_at_once_.compare_exchange_weak(most, now)) {
    }
    return std::shared_ptr<void>(nullptr, [this](void*) { --running_; });
  }
  void Wait(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    while (!released_ && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  // MPEG-TS packets: a sync byte, then binary.
  static std::string Packets(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = i % 188 == 0 ? '\x47' : static_cast<char>((i * 7) & 0xFF);
    return bytes;
  }
  void Stream(httplib::Response& response, std::shared_ptr<void> busy = nullptr) {
    response.set_chunked_content_provider("video/mp2t", [this, busy](size_t, httplib::DataSink& sink) {
      const std::string packets = Packets(188 * 8);
      if (released_ || !sink.write(packets.data(), packets.size())) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      return true;
    });
  }

  std::string ip_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> released_{false};
  std::atomic<int> running_{0};
  std::atomic<int> most_at_once_{0};
  std::atomic<int> served_{0};
  mutable std::mutex mutex_;
  httplib::Headers last_headers_;
};

// A port on 127.0.0.1 that nothing listens on: connections are refused.
inline int RefusingPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  socklen_t length = sizeof(address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_CORE_HEALTH_STREAM_HOSTS_H_
