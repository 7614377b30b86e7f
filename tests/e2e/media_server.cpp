#include "e2e/media_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace vidora::testing {
namespace {

uint8_t Clamp(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string MakeSolidY4m(int width, int height, int fps, int frames, QColor colour) {
  // BT.601 limited range, what a player assumes for such a video.
  const double r = colour.red(), g = colour.green(), b = colour.blue();
  const uint8_t y = Clamp(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255);
  const uint8_t cb = Clamp(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255);
  const uint8_t cr = Clamp(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255);
  std::string frame = "FRAME\n";
  frame.append(static_cast<size_t>(width * height), static_cast<char>(y));
  frame.append(static_cast<size_t>(width * height / 4), static_cast<char>(cb));
  frame.append(static_cast<size_t>(width * height / 4), static_cast<char>(cr));
  std::string out = "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F" +
                    std::to_string(fps) + ":1 Ip A1:1 C420jpeg\n";
  out.reserve(out.size() + frame.size() * static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) out += frame;
  return out;
}

std::string MakeToneWav(int sample_rate, double seconds) {
  const uint32_t samples = static_cast<uint32_t>(sample_rate * seconds);
  std::string out = "RIFF";
  PutLe(out, 36 + samples * 2, 4);
  out += "WAVEfmt ";
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, 1, 2);  // mono
  PutLe(out, static_cast<uint32_t>(sample_rate), 4);
  PutLe(out, static_cast<uint32_t>(sample_rate * 2), 4);
  PutLe(out, 2, 2);
  PutLe(out, 16, 2);
  out += "data";
  PutLe(out, samples * 2, 4);
  for (uint32_t i = 0; i < samples; ++i) {
    const double value = 2000 * std::sin(2 * M_PI * 440 * i / sample_rate);
    PutLe(out, static_cast<uint16_t>(static_cast<int16_t>(value)), 2);
  }
  return out;
}

int UnusedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  int port = -1;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

MediaServer::~MediaServer() {
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

void MediaServer::Serve(const std::string& path, std::string body, const std::string& content_type) {
  auto shared = std::make_shared<std::string>(std::move(body));
  server_.Get(path, [shared, content_type](const httplib::Request&, httplib::Response& response) {
    response.set_content(*shared, content_type);
  });
}

bool MediaServer::Start(int port) {
  if (!server_.bind_to_port("127.0.0.1", port)) return false;
  port_ = port;
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  return true;
}

void MediaServer::Stop() {
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

LiveAudio::LiveAudio(int metaint, std::string title) : metaint_(metaint) {
  if (metaint_ <= 0) return;
  std::string meta = "StreamTitle='" + title + "';";
  const size_t blocks = (meta.size() + 15) / 16;
  meta.resize(blocks * 16, '\0');
  meta_block_ = std::string(1, static_cast<char>(blocks)) + meta;
}

char LiveAudio::AudioByte(size_t offset) const {
  static const std::string header = [] {
    std::string wav = MakeToneWav(8000, 0);
    // Lengths as large as they go: the stream never ends.
    for (size_t at : {size_t{4}, size_t{40}}) {
      for (int i = 0; i < 4; ++i) wav[at + static_cast<size_t>(i)] = static_cast<char>(0xFF);
    }
    return wav;
  }();
  if (offset < header.size()) return header[offset];
  const size_t sample = (offset - header.size()) / 2;
  const int16_t value = static_cast<int16_t>(1500 * std::sin(2 * M_PI * 440 * static_cast<double>(sample) / 8000));
  const uint16_t bits = static_cast<uint16_t>(value);
  return static_cast<char>((offset - header.size()) % 2 == 0 ? bits & 0xFF : bits >> 8);
}

std::string LiveAudio::Read(size_t offset, size_t max) const {
  std::string out;
  out.reserve(max);
  if (metaint_ <= 0) {
    for (size_t i = 0; i < max; ++i) out.push_back(AudioByte(offset + i));
    return out;
  }
  const size_t unit = static_cast<size_t>(metaint_) + meta_block_.size();
  while (out.size() < max) {
    const size_t at = offset + out.size();
    const size_t block = at / unit;
    const size_t within = at % unit;
    if (within < static_cast<size_t>(metaint_)) {
      out.push_back(AudioByte(block * static_cast<size_t>(metaint_) + within));
    } else {
      out.push_back(meta_block_[within - static_cast<size_t>(metaint_)]);
    }
  }
  return out;
}

void ServeLive(httplib::Server& server, const std::string& path, std::shared_ptr<const LiveAudio> audio,
               std::shared_ptr<std::atomic<bool>> alive, double burst_seconds) {
  server.Get(path, [audio, alive, burst_seconds](const httplib::Request&, httplib::Response& response) {
    auto start = std::make_shared<std::chrono::steady_clock::time_point>(std::chrono::steady_clock::now());
    response.set_chunked_content_provider(
        "audio/wav", [audio, alive, burst_seconds, start](size_t offset, httplib::DataSink& sink) {
          constexpr size_t kChunk = 1600;
          for (;;) {
            if (!alive->load()) return false;
            const double seconds =
                burst_seconds + std::chrono::duration<double>(std::chrono::steady_clock::now() - *start).count();
            if (offset < static_cast<size_t>(seconds * LiveAudio::kBytesPerSecond)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
          }
          const std::string bytes = audio->Read(offset, kChunk);
          return sink.write(bytes.data(), bytes.size());
        });
  });
}

void ServePaced(httplib::Server& server, const std::string& path, const std::string& content_type,
                std::shared_ptr<const std::string> bytes, double seconds, std::shared_ptr<std::atomic<bool>> alive) {
  server.Get(path, [content_type, bytes, seconds, alive](const httplib::Request&, httplib::Response& response) {
    auto start = std::make_shared<std::chrono::steady_clock::time_point>(std::chrono::steady_clock::now());
    response.set_chunked_content_provider(content_type, [bytes, seconds, alive, start](size_t offset, httplib::DataSink& sink) {
      const double rate = static_cast<double>(bytes->size()) / seconds;
      for (;;) {
        if (!alive->load()) return false;
        const double now = 2.0 + std::chrono::duration<double>(std::chrono::steady_clock::now() - *start).count();
        if (offset < static_cast<size_t>(now * rate)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      if (offset >= bytes->size()) return false;
      const size_t size = std::min<size_t>(188 * 20, bytes->size() - offset);
      return sink.write(bytes->data() + offset, size);
    });
  });
}

bool MediaServer::Start() {
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) return false;
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // Connections queue on the bound socket even before the loop runs, so
  // there is nothing to wait for.
  return true;
}

std::u16string MediaServer::Url(const std::string& path) const {
  const std::string url = "http://" + Host() + path;
  return std::u16string(url.begin(), url.end());
}

}  // namespace vidora::testing
