#ifndef VIDORA_TESTS_CORE_RECORDING_LIVE_HLS_SOURCE_H_
#define VIDORA_TESTS_CORE_RECORDING_LIVE_HLS_SOURCE_H_

#include <httplib.h>
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace vidora::testing {

// A live HLS channel on 127.0.0.1: ffmpeg writes a sliding window of
// one-second segments of a test picture into `folder` in real time, and
// an HTTP server serves the folder. The server can be stopped and started
// again on the same port (a drop); ffmpeg goes on meanwhile.
class LiveHlsSource {
 public:
  explicit LiveHlsSource(const std::filesystem::path& folder);
  ~LiveHlsSource();

  // Waits until the playlist has `segments` segments; false after 30 s.
  bool WaitForSegments(int segments) const;
  void StopServer();
  bool StartServer();

  // "http://127.0.0.1:<port>/live.m3u8".
  std::string PlaylistAddress() const;

 private:
  std::filesystem::path folder_;
  pid_t ffmpeg_ = -1;
  int port_ = 0;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
};

// The duration ffprobe reads from `file`'s video stream in seconds; a
// negative value when ffprobe cannot read it.
double ProbedSeconds(const std::filesystem::path& file);

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_CORE_RECORDING_LIVE_HLS_SOURCE_H_
