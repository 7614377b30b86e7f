#include "core/recording/live_hls_source.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

extern char** environ;

namespace vidora::testing {

LiveHlsSource::LiveHlsSource(const std::filesystem::path& folder) : folder_(folder) {
  const std::string playlist = (folder_ / "live.m3u8").string();
  std::vector<std::string> args = {"ffmpeg", "-loglevel", "error", "-re", "-f", "lavfi", "-i",
                                   "testsrc=size=160x120:rate=25", "-c:v", "libx264", "-preset", "ultrafast",
                                   "-g", "25", "-f", "hls", "-hls_time", "1", "-hls_list_size", "6",
                                   "-hls_flags", "delete_segments", playlist};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  if (posix_spawnp(&ffmpeg_, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) ffmpeg_ = -1;
  StartServer();
}

LiveHlsSource::~LiveHlsSource() {
  StopServer();
  if (ffmpeg_ > 0) {
    kill(ffmpeg_, SIGTERM);
    waitpid(ffmpeg_, nullptr, 0);
  }
}

bool LiveHlsSource::StartServer() {
  server_ = std::make_unique<httplib::Server>();
  server_->set_mount_point("/", folder_.string());
  if (port_ == 0) {
    port_ = server_->bind_to_any_port("127.0.0.1");
  } else if (!server_->bind_to_port("127.0.0.1", port_)) {
    return false;
  }
  thread_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
  for (int n = 0; n < 500 && !server_->is_running(); ++n) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return port_ > 0;
}

void LiveHlsSource::StopServer() {
  if (!server_) return;
  server_->stop();
  if (thread_.joinable()) thread_.join();
  server_.reset();
}

bool LiveHlsSource::WaitForSegments(int segments) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < until) {
    std::ifstream in(folder_ / "live.m3u8");
    std::stringstream text;
    text << in.rdbuf();
    int count = 0;
    for (size_t at = 0; (at = text.str().find("#EXTINF", at)) != std::string::npos; ++at) ++count;
    if (count >= segments) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return false;
}

std::string LiveHlsSource::PlaylistAddress() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/live.m3u8";
}

double ProbedSeconds(const std::filesystem::path& file) {
  const std::string command = "ffprobe -v error -select_streams v:0 -show_entries format=duration -of csv=p=0 '" +
                              file.string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char line[128] = {};
  const bool read = fgets(line, sizeof line, pipe) != nullptr;
  const int status = pclose(pipe);
  if (!read || status != 0) return -1;
  return std::atof(line);
}

}  // namespace vidora::testing
