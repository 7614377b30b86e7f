// Cold start: wall time from exec to the main window being mapped on the X
// display, for the player (from a private copy of the build's data folder,
// first-run dialog and update checks off) against a bare Qt window (this
// program run with --bare-window: a QApplication and one shown QWidget).
// CPU time of the whole process and of its UI thread until then (on a
// loaded machine the wall time mostly measures the wait for a core).
// Runs alternate, after one unmeasured pair that warms the file cache;
// medians of N runs each and their ratio. Then the peak resident memory
// of the player without a playlist (the baseline) and with 200,000
// stored playlist channels. The player maps its loading
// screen first (its time is reported too); its main window is the second
// top-level window it maps.
// Run against a real X server: Xvfb :N -noreset -screen 0 1920x1200x24 &
// DISPLAY=:N bench_cold_start [runs] [path/to/vidora].
// Every other header goes before Xlib's, whose macros (Bool, Status,
// None) break them.
#include <QApplication>
#include <QWidget>

#include "bench_playlist.h"
#include "core/document/text_codec.h"
#include "core/playlists/playlist_import.h"
#include "core/stores/settings_store.h"

#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kBoundMs = 30000;

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string LoadAverage() {
  double load[3] = {};
  if (getloadavg(load, 3) != 3) return "?";
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
  return text;
}

// CPU time in milliseconds that `pid` used so far, threads that ended
// included (/proc's clock ticks, 10 ms).
double CpuMsOf(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // The fields after the command name, which is in parentheses.
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  double utime = 0;
  double stime = 0;
  // Field 3 (state) is the first here; utime and stime are fields 14 and 15.
  for (int i = 3; i <= 13; ++i) fields >> field;
  fields >> utime >> stime;
  return (utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU time in milliseconds of `pid`'s first thread (its UI thread).
double UiThreadCpuMsOf(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/schedstat");
  double run_ns = -1;
  stat >> run_ns;
  return run_ns / 1e6;
}

// Starts `argv` with `extra_env` added to this process's environment: its
// pid, or 0 when it could not start.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env) {
  std::vector<std::string> env_strings;
  for (char** entry = environ; *entry != nullptr; ++entry) env_strings.emplace_back(*entry);
  for (const std::string& entry : extra_env) env_strings.push_back(entry);
  std::vector<char*> env;
  for (std::string& entry : env_strings) env.push_back(entry.data());
  env.push_back(nullptr);
  std::vector<std::string> arg_strings = argv;
  std::vector<char*> args;
  for (std::string& arg : arg_strings) args.push_back(arg.data());
  args.push_back(nullptr);
  pid_t pid = 0;
  return posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), env.data()) == 0 ? pid : 0;
}

// A "Vm...:" field of `pid`'s status in kB, or -1.
long StatusKbOf(pid_t pid, const char* field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
  }
  return -1;
}

// Runs `argv` until its resident memory has not changed for 3 s (at most
// 30 s: a start, the playlist put in place, the guide's inputs, the
// settings saved), then ends it with SIGTERM. Its peak resident memory in
// MB, or -1 when it did not start.
double PeakMbOf(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env) {
  const pid_t pid = Spawn(argv, extra_env);
  if (pid <= 0) return -1;
  long peak = -1, last = -1;
  Clock::time_point steady_since = Clock::now();
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(kBoundMs);
  while (Clock::now() < end && Clock::now() - steady_since < std::chrono::seconds(3)) {
    usleep(100 * 1000);
    const long rss = StatusKbOf(pid, "VmRSS:");
    peak = std::max(peak, StatusKbOf(pid, "VmHWM:"));
    if (rss != last) steady_since = Clock::now();
    last = rss;
  }
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  return peak < 0 ? -1 : static_cast<double>(peak) / 1024.0;
}

struct Start {
  // The first top-level window mapped (the player's loading screen).
  double first_ms = -1;
  double wall_ms = -1;
  double cpu_ms = -1;
  double ui_cpu_ms = -1;
};

// Starts `argv` with `extra_env` added, and returns the milliseconds until
// it mapped its `nth` top-level window and the CPU time its threads used
// until then (-1: never); `size` (if given) gets that window's size. The
// child is ended with SIGTERM and reaped either way.
Start TimeToNthMap(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env, int nth,
                    std::string* size = nullptr) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return {};
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const Clock::time_point start = Clock::now();
  const pid_t pid = Spawn(argv, extra_env);
  if (pid <= 0) {
    XCloseDisplay(display);
    return {};
  }
  Start result;
  int mapped = 0;
  const Clock::time_point end = start + std::chrono::milliseconds(kBoundMs);
  while (result.wall_ms < 0 && Clock::now() < end) {
    if (XPending(display) == 0) {
      pollfd fd{ConnectionNumber(display), POLLIN, 0};
      poll(&fd, 1, 50);
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MapNotify || event.xmap.override_redirect) continue;
    if (++mapped == 1) result.first_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (mapped != nth) continue;
    result.wall_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    result.cpu_ms = CpuMsOf(pid);
    result.ui_cpu_ms = UiThreadCpuMsOf(pid);
    if (size != nullptr) {
      XWindowAttributes attributes{};
      XGetWindowAttributes(display, event.xmap.window, &attributes);
      *size = std::to_string(attributes.width) + "x" + std::to_string(attributes.height);
    }
  }
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  XCloseDisplay(display);
  return result;
}

int BareWindow(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(640, 480);
  window.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--bare-window") == 0) return BareWindow(argc, argv);
  if (std::getenv("DISPLAY") == nullptr) {
    std::fprintf(stderr, "needs an X display (DISPLAY)\n");
    return 1;
  }
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const fs::path self = fs::canonical("/proc/self/exe");
  const fs::path player = argc > 2 ? fs::path(argv[2]) : self.parent_path().parent_path() / "bin" / "vidora";

  // A private copy: the run's settings and runtime folder stay apart.
  char pattern[] = "/tmp/vidora-cold-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const fs::path dir = pattern;
  for (const char* name : {"Languages.lngp", "Resources.qdoc", "cbuild.qdoc", "Channels.vdch"}) {
    fs::copy_file(player.parent_path() / name, dir / name);
  }
  fs::copy_file(player, dir / "vidora");
  // The runtime folder in memory where there is one, as a desktop
  // session's is: the single-instance lock is synced to its disk.
  char runtime_pattern[] = "/dev/shm/vidora-cold-runtime-XXXXXX";
  const fs::path runtime = fs::is_directory("/dev/shm") && mkdtemp(runtime_pattern) != nullptr
                               ? fs::path(runtime_pattern)
                               : dir / "runtime";
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  {
    vidora::SettingsStore settings;
    settings.Load(dir / vidora::kSettingsFileName);
    settings.SetBool("first_run", false);
    settings.SetBool("AutoCU", false);
    settings.SetBool("AutoU", false);
    if (!settings.Save()) return 1;
  }
  const std::vector<std::string> env = {"QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime.string()};

  std::vector<double> bare_ms, bare_cpu_ms;
  std::vector<double> player_ms, player_cpu_ms, player_ui_cpu_ms, loading_ms;
  for (int i = 0; i <= runs; ++i) {
    const Start bare = TimeToNthMap({self.string(), "--bare-window"}, env, 1);
    std::string size;
    const Start app = TimeToNthMap({(dir / "vidora").string()}, env, 2, &size);
    if (i == 0) std::printf("the player's second window (its main window): %s\n", size.c_str());
    if (bare.wall_ms < 0 || app.wall_ms < 0) std::fprintf(stderr, "run %d: no window\n", i);
    if (i == 0) continue;
    if (bare.wall_ms >= 0) {
      bare_ms.push_back(bare.wall_ms);
      bare_cpu_ms.push_back(bare.cpu_ms);
    }
    if (app.wall_ms >= 0) {
      player_ms.push_back(app.wall_ms);
      player_cpu_ms.push_back(app.cpu_ms);
      player_ui_cpu_ms.push_back(app.ui_cpu_ms);
      loading_ms.push_back(app.first_ms);
    }
  }
  // Memory: the player without a playlist, then with a stored playlist
  // of 200,000 entries at its first start and at the next one, which
  // reads the settings the first one saved (a node for each channel).
  const std::vector<std::string> player_argv = {(dir / "vidora").string()};
  const double bare_peak = PeakMbOf(player_argv, env);
  vidora::WriteBenchPlaylist(dir / "list.m3u", 200000);
  const vidora::PlaylistImport imported =
      vidora::FetchAndImportPlaylist(vidora::Utf8ToUtf16((dir / "list.m3u").string()), u"Bench", dir / "playlists", 0);
  const double first_peak = imported.ok ? PeakMbOf(player_argv, env) : -1;
  const double next_peak = imported.ok ? PeakMbOf(player_argv, env) : -1;
  fs::remove_all(dir);
  fs::remove_all(runtime);
  const double bare = Median(bare_ms);
  const double app = Median(player_ms);
  std::printf("cold start to the main window, median of %d: player %.0f ms (%.0f ms CPU, %.0f ms of it on the UI "
              "thread; its loading screen mapped at %.0f ms), bare Qt window %.0f ms (%.0f ms CPU), ratio %.2fx "
              "(load %s)\n",
              runs, app, Median(player_cpu_ms), Median(player_ui_cpu_ms), Median(loading_ms), bare, Median(bare_cpu_ms),
              bare > 0 ? app / bare : -1.0, LoadAverage().c_str());
  std::printf("peak memory of the player: %.0f MB without a playlist; with 200,000 stored playlist channels %.0f MB at "
              "the first start and %.0f MB at the next (%.0f MB more than without)\n",
              bare_peak, first_peak, next_peak, std::max(first_peak, next_peak) - bare_peak);
  return 0;
}
