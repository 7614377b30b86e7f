// Time-shift timings on a live 720p H.264 channel made by ffmpeg and sent
// from 127.0.0.1 at its own pace, with the player's back buffer on disk:
//  1. pause -> resume: from the resume to the next new frame painted;
//  2. a 10 s seek back inside the buffer: from the seek to the first frame
//     of the earlier picture (the channel cycles through four colours,
//     2 s each, so 10 s back is the colour before the one that just began);
// each against a bare libmpv handle with the same options doing the same
// (median of N rounds, and the ratio; goal <= 150 ms and <= 1.2x);
//  3. recording: the player's CPU while it plays one channel and records
//     a live HLS channel (ffmpeg writing a sliding window, served from
//     127.0.0.1), against playing alone (goal <= 1.3x);
//  4. memory: the player's resident memory after a minute of a 5 Mbit/s
//     channel with the back buffer, against the same minute played with no
//     back buffer (goal: an hour adds <= 150 MB; the buffer is on disk).
// Run: Xvfb :N -noreset -screen 0 1920x1200x24 & DISPLAY=:N bench_timeshift
// [rounds]. The bare handle goes first, as in bench_playback.
#include <mpv/client.h>
#include <mpv/render.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/recording/live_hls_source.h"
#include "core/recording/stream_recorder.h"
#include "core/stores/app_paths.h"
#include "core/timeshift/timeshift_buffer.h"
#include "e2e/media_server.h"
#include "e2e/wait_for.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/player_video_widget.h"

namespace {

using vidora::testing::MediaServer;

constexpr int kColourSeconds = 2;
constexpr int kStreamSeconds = 240;
constexpr std::array<QRgb, 4> kColours = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};

bool WaitFor(const std::function<bool()>& done, int bound_ms = 30000) {
  return vidora::testing::WaitFor(done, bound_ms, 1);
}

int ColourOf(QRgb pixel) {
  for (size_t i = 0; i < kColours.size(); ++i) {
    if (std::abs(qRed(pixel) - qRed(kColours[i])) < 40 && std::abs(qGreen(pixel) - qGreen(kColours[i])) < 40 &&
        std::abs(qBlue(pixel) - qBlue(kColours[i])) < 40) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

std::string Encode(const QString& folder, const std::string& name, const std::string& input, int seconds,
                   const std::string& codec) {
  const std::string path = (folder + "/").toStdString() + name;
  const std::string command = "ffmpeg -hide_banner -loglevel error -y " + input + " -t " + std::to_string(seconds) +
                              " " + codec + " -f mpegts " + path;
  if (std::system(command.c_str()) != 0) return {};
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// What both sides are asked to do, each in its own way.
class Side {
 public:
  virtual ~Side() = default;
  virtual void Play(const std::string& url) = 0;
  virtual void SetPaused(bool paused) = 0;
  virtual void Seek(double seconds) = 0;
  virtual double Position() = 0;
  // The centre pixel of the picture as it stands; runs the side's work.
  virtual QRgb Centre() = 0;
  virtual int64_t Frames() = 0;
};

// The same work without the player: one handle with the player's options
// and the time-shift ones, rendered into an image of the picture's size.
class BareSide : public Side {
 public:
  BareSide(QSize size, const std::vector<vidora::MpvBackend::Option>& options) : frame_(size, QImage::Format_RGB32) {
    std::setlocale(LC_NUMERIC, "C");
    handle_ = mpv_create();
    for (const auto& [name, value] : vidora::MpvBackend::PlayerOptions()) mpv_set_option_string(handle_, name.c_str(), value.c_str());
    for (const auto& [name, value] : options) mpv_set_option_string(handle_, name.c_str(), value.c_str());
    mpv_initialize(handle_);
    char api[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api}, {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_create(&render_, handle_, params);
    mpv_render_context_set_update_callback(render_, [](void* self) { static_cast<BareSide*>(self)->updated_ = true; }, this);
  }
  ~BareSide() override {
    mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    mpv_render_context_free(render_);
    mpv_terminate_destroy(handle_);
  }
  void Play(const std::string& url) override {
    const char* command[] = {"loadfile", url.c_str(), "replace", nullptr};
    mpv_command_async(handle_, 0, command);
  }
  void SetPaused(bool paused) override {
    int flag = paused ? 1 : 0;
    mpv_set_property_async(handle_, 0, "pause", MPV_FORMAT_FLAG, &flag);
  }
  void Seek(double seconds) override {
    const std::string target = std::to_string(seconds);
    const char* command[] = {"seek", target.c_str(), "absolute", nullptr};
    mpv_command_async(handle_, 0, command);
  }
  double Position() override {
    double position = -1;
    mpv_get_property(handle_, "time-pos", MPV_FORMAT_DOUBLE, &position);
    return position;
  }
  QRgb Centre() override {
    while (mpv_wait_event(handle_, 0)->event_id != MPV_EVENT_NONE) {
    }
    if (updated_.exchange(false) && (mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) != 0) {
      int size[2] = {frame_.width(), frame_.height()};
      char format[] = "bgr0";
      size_t stride = static_cast<size_t>(frame_.bytesPerLine());
      mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                   {MPV_RENDER_PARAM_SW_FORMAT, format},
                                   {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                   {MPV_RENDER_PARAM_SW_POINTER, frame_.bits()},
                                   {MPV_RENDER_PARAM_INVALID, nullptr}};
      mpv_render_context_render(render_, params);
      ++frames_;
    }
    return frame_.pixel(frame_.width() / 2, frame_.height() / 2);
  }
  int64_t Frames() override { return frames_; }

 private:
  mpv_handle* handle_ = nullptr;
  mpv_render_context* render_ = nullptr;
  std::atomic<bool> updated_{false};
  QImage frame_;
  int64_t frames_ = 0;
};

class PlayerSide : public Side {
 public:
  PlayerSide(QWidget* view, QSize size, std::vector<vidora::MpvBackend::Option> options)
      : host_(view, QRect(QPoint(10, 10), size), std::make_unique<vidora::MpvBackend>(std::move(options)),
              [](QWidget*, const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }) {
    host_.window()->show();
  }
  void Play(const std::string& url) override { host_.Play(std::u16string(url.begin(), url.end())); }
  void SetPaused(bool paused) override { host_.SetPaused(paused); }
  void Seek(double seconds) override { host_.SeekTo(seconds); }
  double Position() override { return host_.position().position.value_or(-1); }
  QRgb Centre() override {
    const QImage& frame = host_.window()->frame();
    return frame.isNull() ? 0 : frame.pixel(frame.width() / 2, frame.height() / 2);
  }
  int64_t Frames() override { return host_.window()->frames_shown(); }

 private:
  vidora::PlayerHost host_;
};

struct Timings {
  std::vector<double> resume_ms;
  std::vector<double> seek_ms;
};

// Plays the colour channel, lets 14 s of buffer build, then in each round
// seeks 10 s back just after a colour began, pauses there for a second
// and resumes, and returns to live.
Timings Measure(Side& side, const std::string& url, int rounds) {
  Timings timings;
  side.Play(url);
  if (!WaitFor([&] { return ColourOf(side.Centre()) >= 0; })) {
    std::fprintf(stderr, "no picture\n");
    return timings;
  }
  WaitFor([&] { side.Centre(); return false; }, 14000);
  for (int i = 0; i < rounds; ++i) {
    const int was = ColourOf(side.Centre());
    int now = -1;
    if (!WaitFor([&] { return (now = ColourOf(side.Centre())) >= 0 && now != was; }, 5000)) continue;
    const double live = side.Position();
    QElapsedTimer clock;
    clock.start();
    side.Seek(live - 10);
    const int earlier = (now + 3) % 4;
    if (WaitFor([&] { return ColourOf(side.Centre()) == earlier; }, 5000)) timings.seek_ms.push_back(clock.nsecsElapsed() / 1e6);
    // Behind live, with the buffer ahead: pause for a second and resume.
    side.SetPaused(true);
    WaitFor([&] { side.Centre(); return false; }, 1000);
    const int64_t frames = side.Frames();
    clock.restart();
    side.SetPaused(false);
    if (WaitFor([&] { side.Centre(); return side.Frames() > frames; }, 5000)) {
      timings.resume_ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    // Back to where live was a moment ago: inside what is buffered, so the
    // engine does not ask the server again.
    side.Seek(live + 1);
    WaitFor([&] { side.Centre(); return false; }, 1500);
  }
  return timings;
}

void LatencyBench(MediaServer& server, const std::filesystem::path& buffer, int rounds) {
  QWidget view;
  view.resize(1300, 740);
  view.show();
  const QSize picture(1280, 720);
  auto options = vidora::TimeshiftEngineOptions(vidora::TimeshiftLimits{60, 2048}, buffer);
  options.emplace_back("ao", "null");
  Timings bare;
  {
    BareSide side(picture * view.devicePixelRatioF(), options);
    bare = Measure(side, "http://" + server.Host() + "/colours.ts", rounds);
  }
  Timings player;
  {
    PlayerSide side(&view, picture, options);
    player = Measure(side, "http://" + server.Host() + "/colours2.ts", rounds);
  }
  const auto report = [](const char* what, const std::vector<double>& p, const std::vector<double>& b) {
    const double pm = Median(p);
    const double bm = Median(b);
    std::printf("%s (1280x720 H.264, live with back buffer), median of %zu/%zu: player %.1f ms, bare libmpv %.1f ms, "
                "ratio %.2fx (goal <= 150 ms, <= 1.2x)\n",
                what, p.size(), b.size(), pm, bm, bm > 0 ? pm / bm : -1.0);
  };
  report("pause -> resume to the next frame", player.resume_ms, bare.resume_ms);
  report("10 s seek back to the earlier picture", player.seek_ms, bare.seek_ms);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds per second while the player plays `url` for `seconds`,
// counted after the first 5.
double PlayingCpu(const std::string& url, int seconds) {
  QWidget view;
  view.resize(660, 380);
  view.show();
  PlayerSide side(&view, QSize(640, 360), {{"ao", "null"}});
  side.Play(url);
  WaitFor([] { return false; }, 5000);
  const double start = CpuSeconds();
  QElapsedTimer clock;
  clock.start();
  WaitFor([] { return false; }, (seconds - 5) * 1000);
  return (CpuSeconds() - start) / (clock.nsecsElapsed() / 1e9);
}

void RecordingBench(MediaServer& server, const std::filesystem::path& folder, int seconds) {
  const std::string url = "http://" + server.Host() + "/busy.ts";
  const double alone = PlayingCpu(url + "?alone", seconds);
  std::filesystem::create_directories(folder / "hls");
  vidora::testing::LiveHlsSource hls(folder / "hls");
  if (!hls.WaitForSegments(3)) {
    std::fprintf(stderr, "the HLS channel did not start\n");
    return;
  }
  vidora::RecordingRequest request;
  request.address = hls.PlaylistAddress();
  request.final_path = folder / "recording.ts";
  vidora::RecordingResult result;
  double with_recording = 0;
  {
    vidora::StreamRecorder recorder(request, [](const std::string&) {}, [&result](const vidora::RecordingResult& r) { result = r; });
    with_recording = PlayingCpu(url + "?recording", seconds);
  }
  std::printf("CPU playing a 5 Mbit/s channel: %.3f s/s alone, %.3f s/s while recording a live HLS channel "
              "(%.1f MB written), ratio %.2fx (goal <= 1.3x)\n",
              alone, with_recording, result.bytes / 1e6, alone > 0 ? with_recording / alone : -1.0);
}

struct MemoryRun {
  long settled_kb = 0;  // 10 s in, once the engine and its caches are up
  long end_kb = 0;
  uint64_t on_disk = 0;  // what the disk lost meanwhile (the engine's file is unlinked at once)
};

// Plays the 5 Mbit/s channel for `seconds`.
MemoryRun PlayFor(const std::string& url, std::vector<vidora::MpvBackend::Option> options, int seconds,
                  const std::filesystem::path& buffer) {
  QWidget view;
  view.resize(660, 380);
  view.show();
  const uint64_t free_before = vidora::FreeBytesAt(buffer);
  PlayerSide side(&view, QSize(640, 360), std::move(options));
  side.Play(url);
  MemoryRun run;
  WaitFor([] { return false; }, 10000);
  run.settled_kb = ResidentKb();
  WaitFor([] { return false; }, (seconds - 10) * 1000);
  run.end_kb = ResidentKb();
  const uint64_t free_after = vidora::FreeBytesAt(buffer);
  run.on_disk = free_before > free_after ? free_before - free_after : 0;
  return run;
}

void MemoryBench(MediaServer& server, const std::filesystem::path& buffer, int seconds) {
  const std::string url = "http://" + server.Host() + "/busy.ts";
  const MemoryRun plain = PlayFor(url + "?plain", {{"ao", "null"}}, seconds, buffer);
  auto options = vidora::TimeshiftEngineOptions(vidora::TimeshiftLimits{60, 2048}, buffer);
  options.emplace_back("ao", "null");
  const MemoryRun shifted = PlayFor(url + "?shifted", options, seconds, buffer);
  const double minutes = (seconds - 10) / 60.0;
  const double plain_growth = (plain.end_kb - plain.settled_kb) / 1024.0 / minutes;
  const double shifted_growth = (shifted.end_kb - shifted.settled_kb) / 1024.0 / minutes;
  std::printf("memory over %d s of a 5 Mbit/s channel: with the back buffer %ld -> %ld MB (%.1f MB/min), without "
              "%ld -> %ld MB (%.1f MB/min); %.0f MB of buffer on disk; an hour of buffer adds about %.0f MB "
              "of memory over live (goal <= 150 MB)\n",
              seconds, shifted.settled_kb / 1024, shifted.end_kb / 1024, shifted_growth, plain.settled_kb / 1024,
              plain.end_kb / 1024, plain_growth, shifted.on_disk / 1e6,
              std::max(0.0, shifted_growth - plain_growth) * 60.0 + std::max(0L, shifted.settled_kb - plain.settled_kb) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int memory_seconds = argc > 2 ? std::max(20, std::atoi(argv[2])) : 70;
  QTemporaryDir folder;
  std::string colours;
  for (size_t i = 0; i < kColours.size(); ++i) {
    char source[96];
    std::snprintf(source, sizeof source, "color=c=0x%06x:s=1280x720:r=25:d=%d[c%zu];", kColours[i] & 0xffffffu, kColourSeconds, i);
    colours += source;
  }
  colours += "[c0][c1][c2][c3]concat=n=4,loop=loop=-1:size=" + std::to_string(4 * kColourSeconds * 25) + "[out0]";
  const auto colour_ts = std::make_shared<const std::string>(
      Encode(folder.path(), "colours.ts", "-f lavfi -i \"" + colours + "\"", kStreamSeconds, "-c:v libx264 -preset superfast -pix_fmt yuv420p -g 25"));
  const auto busy_ts = std::make_shared<const std::string>(
      Encode(folder.path(), "busy.ts", "-f lavfi -i \"testsrc2=s=1280x720:r=25,noise=alls=30:allf=t\"",
             memory_seconds + 10, "-c:v mpeg2video -b:v 5M -maxrate 5M -bufsize 2M -g 25"));
  if (colour_ts->empty() || busy_ts->empty()) {
    std::fprintf(stderr, "ffmpeg could not make the streams\n");
    return 1;
  }
  MediaServer server;
  auto alive = std::make_shared<std::atomic<bool>>(true);
  // Each side gets its own live send, starting when it asks.
  vidora::testing::ServePaced(server.server(), "/colours.ts", "video/mp2t", colour_ts, kStreamSeconds, alive);
  vidora::testing::ServePaced(server.server(), "/colours2.ts", "video/mp2t", colour_ts, kStreamSeconds, alive);
  vidora::testing::ServePaced(server.server(), "/busy.ts", "video/mp2t", busy_ts, memory_seconds + 10, alive);
  if (!server.Start()) return 1;
  const std::filesystem::path buffer = (folder.path() + "/buffer").toStdString();
  vidora::ClearTimeshiftFolder(buffer);
  LatencyBench(server, buffer, rounds);
  RecordingBench(server, folder.path().toStdString(), 25);
  vidora::ClearTimeshiftFolder(buffer);
  MemoryBench(server, buffer, memory_seconds);
  alive->store(false);
  server.Stop();
  return 0;
}
