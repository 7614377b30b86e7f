#ifndef VIDORA_TESTS_E2E_MEDIA_SERVER_H_
#define VIDORA_TESTS_E2E_MEDIA_SERVER_H_

#include <httplib.h>

#include <QColor>

#include <cstdint>
#include <string>
#include <thread>

namespace vidora::testing {

// A raw 4:2:0 video (YUV4MPEG2) of `frames` frames of one solid colour.
std::string MakeSolidY4m(int width, int height, int fps, int frames, QColor colour);
// A 16-bit mono PCM WAV with a quiet tone.
std::string MakeToneWav(int sample_rate, double seconds);
// A port on 127.0.0.1 on which nobody listens (bound once, then freed).
int UnusedPort();

// An HTTP server on 127.0.0.1 and a free port, serving in its own thread
// until it goes away. Routes are added before Start.
class MediaServer {
 public:
  MediaServer() = default;
  MediaServer(const MediaServer&) = delete;
  MediaServer& operator=(const MediaServer&) = delete;
  ~MediaServer();

  httplib::Server& server() { return server_; }
  // Serves `body` at `path` with `content_type`.
  void Serve(const std::string& path, std::string body, const std::string& content_type);
  // Binds and starts serving; false when no port could be bound.
  bool Start();

  int port() const { return port_; }
  // "127.0.0.1:<port>".
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::u16string Url(const std::string& path) const;

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = -1;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_E2E_MEDIA_SERVER_H_
