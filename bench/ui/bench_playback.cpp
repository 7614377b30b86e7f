// Channel switch time (play request to the first frame of the new stream in
// the player window) through the player, against the same streams opened
// by a bare libmpv handle; and CPU time per second while a 640x360 25 fps
// stream plays. Run: bench_playback [rounds] (offscreen by default). The
// bare handle goes first: whichever runs first pays the warm-up of the
// machine and the server, so it is the fairer order for the player.
#include <mpv/client.h>
#include <mpv/render.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/playback/player_events.h"
#include "e2e/media_server.h"
#include "e2e/wait_for.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"

namespace {

using vidora::testing::MediaServer;

constexpr int kBoundMs = 20000;

bool WaitFor(const std::function<bool()>& done, int bound_ms = kBoundMs) {
  return vidora::testing::WaitFor(done, bound_ms, 1);
}

bool Near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) < 20 && std::abs(qGreen(a) - qGreen(b)) < 20 && std::abs(qBlue(a) - qBlue(b)) < 20;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The same work without the player: one handle, the software renderer into
// an image of the same size, polled from the same loop.
class BareMpv {
 public:
  explicit BareMpv(QSize size) : frame_(size, QImage::Format_RGB32) {
    std::setlocale(LC_NUMERIC, "C");
    handle_ = mpv_create();
    for (const char* option : {"config=no", "terminal=no", "idle=yes", "vo=libmpv", "ao=null", "ytdl=no"}) {
      std::string text(option);
      const size_t equals = text.find('=');
      mpv_set_option_string(handle_, text.substr(0, equals).c_str(), text.substr(equals + 1).c_str());
    }
    mpv_initialize(handle_);
    char api[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api}, {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_create(&render_, handle_, params);
    mpv_render_context_set_update_callback(render_, [](void* self) { static_cast<BareMpv*>(self)->updated_ = true; }, this);
  }
  ~BareMpv() {
    mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    mpv_render_context_free(render_);
    mpv_terminate_destroy(handle_);
  }
  void Load(const std::string& url) {
    const char* command[] = {"loadfile", url.c_str(), "replace", nullptr};
    mpv_command_async(handle_, 0, command);
  }
  // Drains events and draws a waiting frame; the centre pixel.
  QRgb Poll() {
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
    }
    return frame_.pixel(frame_.width() / 2, frame_.height() / 2);
  }

 private:
  mpv_handle* handle_ = nullptr;
  mpv_render_context* render_ = nullptr;
  std::atomic<bool> updated_{false};
  QImage frame_;
};

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

  const QColor colours[2] = {QColor(200, 60, 40), QColor(40, 80, 200)};
  MediaServer server;
  server.Serve("/a.y4m", vidora::testing::MakeSolidY4m(320, 180, 25, 250, colours[0]), "video/x-yuv4mpeg");
  server.Serve("/b.y4m", vidora::testing::MakeSolidY4m(320, 180, 25, 250, colours[1]), "video/x-yuv4mpeg");
  server.Serve("/big.y4m", vidora::testing::MakeSolidY4m(640, 360, 25, 25 * 12, colours[0]), "video/x-yuv4mpeg");
  if (!server.Start()) return 1;
  const std::string urls[2] = {"http://" + server.Host() + "/a.y4m", "http://" + server.Host() + "/b.y4m"};

  QWidget view;
  view.resize(320, 240);
  view.show();
  const QSize picture(312, 200);

  std::vector<vidora::MpvBackend::Option> extra = {{"ao", "null"}};
  std::vector<double> player_ms;
  std::vector<double> bare_ms;
  {
    BareMpv bare(picture * view.devicePixelRatioF());
    for (int i = 0; i <= rounds; ++i) {
      const int which = i % 2;
      QElapsedTimer clock;
      clock.start();
      bare.Load(urls[which]);
      const bool shown = WaitFor([&] { return Near(bare.Poll(), colours[which].rgb()); });
      if (!shown) std::fprintf(stderr, "bare: no frame in round %d\n", i);
      if (i > 0 && shown) bare_ms.push_back(clock.nsecsElapsed() / 1e6);
    }
  }
  {
    vidora::PlayerHost host(&view, QRect(QPoint(4, 4), picture), std::make_unique<vidora::MpvBackend>(extra),
                            [](QWidget*, const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    host.window()->show();
    for (int i = 0; i <= rounds; ++i) {
      const int which = i % 2;
      QElapsedTimer clock;
      clock.start();
      host.Stop();
      host.Play(std::u16string(urls[which].begin(), urls[which].end()));
      const bool shown = WaitFor([&] {
        const QImage& frame = host.window()->frame();
        return !frame.isNull() && Near(frame.pixel(frame.width() / 2, frame.height() / 2), colours[which].rgb());
      });
      if (!shown) std::fprintf(stderr, "player: no frame in round %d\n", i);
      if (i > 0 && shown) player_ms.push_back(clock.nsecsElapsed() / 1e6);
    }
  }
  std::printf("channel switch to first frame, median of %d: player %.1f ms, bare libmpv %.1f ms\n", rounds,
              Median(player_ms), Median(bare_ms));

  {
    QWidget big_view;
    big_view.resize(660, 400);
    big_view.show();
    vidora::PlayerHost host(&big_view, QRect(10, 20, 640, 360),
                            std::make_unique<vidora::MpvBackend>(std::vector<vidora::MpvBackend::Option>{{"ao", "null"}}),
                            [](QWidget*, const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    host.window()->show();
    const std::string url = "http://" + server.Host() + "/big.y4m";
    host.Play(std::u16string(url.begin(), url.end()));
    WaitFor([&] { return host.PlayState() == vidora::kPlayStatePlaying; });
    const double cpu_before = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    WaitFor([] { return false; }, 8000);
    const double wall = clock.nsecsElapsed() / 1e9;
    std::printf("640x360 25 fps playing: %.3f s CPU per second (whole process, software scaling into the window)\n",
                (CpuSeconds() - cpu_before) / wall);
  }
  return 0;
}
