#ifndef VIDORA_TESTS_E2E_MEDIA_SERVER_H_
#define VIDORA_TESTS_E2E_MEDIA_SERVER_H_

#include <httplib.h>

#include <QColor>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace vidora::testing {

// A raw 4:2:0 video (YUV4MPEG2) of `frames` frames of one solid colour.
std::string MakeSolidY4m(int width, int height, int fps, int frames, QColor colour);
// A 16-bit mono PCM WAV with a quiet tone.
std::string MakeToneWav(int sample_rate, double seconds);
// A port on 127.0.0.1 on which nobody listens (bound once, then freed).
int UnusedPort();

// An endless live audio stream as a radio sends it: a WAV header claiming
// the longest length, then a quiet 8 kHz 16-bit mono tone. With
// `metaint` > 0 an ICY metadata block carrying StreamTitle='`title`'
// follows every `metaint` bytes of audio (the header counts as audio).
class LiveAudio {
 public:
  static constexpr int kBytesPerSecond = 16000;
  explicit LiveAudio(int metaint = 0, std::string title = {});
  // Up to `max` bytes of the stream from `offset` on.
  std::string Read(size_t offset, size_t max) const;

 private:
  char AudioByte(size_t audio_offset) const;
  int metaint_;
  std::string meta_block_;
};

// Serves `audio` at `path` chunked, the first `burst_seconds` at once and
// then at its real rate, while `alive` holds; a false `alive` breaks the
// connection off.
void ServeLive(httplib::Server& server, const std::string& path, std::shared_ptr<const LiveAudio> audio,
               std::shared_ptr<std::atomic<bool>> alive, double burst_seconds = 2.0);

// Serves `bytes` (a stream of `seconds`, an MPEG-TS say) at `path` at
// its own pace, as a live channel sends it: the first 2 s at once, then at
// its rate, while `alive` holds; a false `alive` breaks it off.
void ServePaced(httplib::Server& server, const std::string& path, const std::string& content_type,
                std::shared_ptr<const std::string> bytes, double seconds, std::shared_ptr<std::atomic<bool>> alive);

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
  // The same on `port` (a server that comes back where it was).
  bool Start(int port);
  // Stops serving and waits for the serving thread; handlers that still
  // run must end by themselves.
  void Stop();

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
