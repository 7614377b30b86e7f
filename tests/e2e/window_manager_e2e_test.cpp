// The real player under a window manager (openbox on Xvfb), read back from
// the X server as a desktop user would see it: full screen outlasts another
// window coming to the front, and the window comes back where it was.
#include <signal.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "core/stores/settings_store.h"
#include "e2e/private_x_server.h"
#include "support/temp_dir.h"

namespace vidora::testing {
namespace {

namespace fs = std::filesystem;

// Runs an X client tool on `display` and returns what it printed.
QString RunTool(const std::string& display, const QString& program, const QStringList& arguments) {
  QProcess tool;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DISPLAY", QString::fromStdString(display));
  tool.setProcessEnvironment(environment);
  tool.start(program, arguments);
  tool.waitForFinished(5000);
  return QString::fromUtf8(tool.readAllStandardOutput());
}

bool WaitFor(const std::function<bool()>& done, int bound_ms) {
  for (int waited = 0; waited < bound_ms; waited += 100) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return done();
}

// openbox on `display` with a configuration folder of its own.
class WindowManager {
 public:
  WindowManager(const std::string& display, const fs::path& home) : display_(display) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(display));
    environment.insert("HOME", QString::fromStdString(home.string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString((home / "config").string()));
    process_.setProcessEnvironment(environment);
    process_.start("openbox", {"--sm-disable"});
    process_.waitForStarted(5000);
  }
  ~WindowManager() {
    process_.terminate();
    process_.waitForFinished(5000);
  }
  // Whether it manages the screen (it announces itself on the root window).
  bool Running() const {
    return WaitFor([this] { return RunTool(display_, "xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id"); },
                   10000);
  }

 private:
  std::string display_;
  QProcess process_;
};

// The client area's place of `window` on the screen, "X,Y WxH".
QString PlaceOf(const std::string& display, const QString& window) {
  const QString info = RunTool(display, "xwininfo", {"-id", window});
  auto value = [&info](const char* label) {
    const QRegularExpression pattern(QString::fromLatin1(label) + QStringLiteral(":\\s+(-?\\d+)"));
    return pattern.match(info).captured(1);
  };
  return value("Absolute upper-left X") + "," + value("Absolute upper-left Y") + " " + value("Width") + "x" +
         value("Height");
}

bool FullScreenState(const std::string& display, const QString& window) {
  return RunTool(display, "xprop", {"-id", window, "_NET_WM_STATE"}).contains("_NET_WM_STATE_FULLSCREEN");
}

class WindowManagerE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(x_.display().empty()) << "no Xvfb";
    const fs::path bin = VIDORA_BIN_DIR;
    for (const char* name : {"vidora", "Languages.lngp", "Resources.qdoc", "cbuild.qdoc", "Channels.vdch"}) {
      fs::copy_file(bin / name, dir_ / name);
    }
    fs::create_directory(dir_ / "runtime");
    fs::permissions(dir_ / "runtime", fs::perms::owner_all);
    fs::create_directory(dir_ / "home");
    SettingsStore settings;
    settings.Load(dir_ / kSettingsFileName);
    settings.SetBool("first_run", false);
    settings.SetBool("AutoCU", false);
    settings.SetBool("AutoU", false);
    ASSERT_TRUE(settings.Save());
    manager_ = std::make_unique<WindowManager>(x_.display(), dir_ / "home");
    ASSERT_TRUE(manager_->Running()) << "openbox did not start";
  }

  // Starts the player; returns its main window (its only window once the
  // loading screen has gone, titled with the application's name alone)
  // once mapped and settled, or "".
  QString StartPlayer() {
    player_ = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", QString::fromStdString(x_.display()));
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString((dir_ / "runtime").string()));
    environment.insert("HOME", QString::fromStdString((dir_ / "home").string()));
    player_->setProcessEnvironment(environment);
    player_->setProgram(QString::fromStdString((dir_ / "vidora").string()));
    player_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player_->start();
    if (!player_->waitForStarted(10000)) return {};
    QString window;
    WaitFor(
        [&] {
          // The loading screen has gone: the main window is the only one.
          window = RunTool(x_.display(), "xdotool",
                           {"search", "--onlyvisible", "--pid", QString::number(player_->processId())})
                       .trimmed();
          return !window.isEmpty() && !window.contains('\n') &&
                 RunTool(x_.display(), "xprop", {"-id", window, "WM_NAME"}).contains("\"Vidora\"");
        },
        20000);
    if (window.isEmpty() || window.contains('\n')) return {};
    // Framed and placed: the same place twice in a row.
    QString last;
    WaitFor(
        [&] {
          const QString now = PlaceOf(x_.display(), window);
          const bool settled = now == last;
          last = now;
          return settled;
        },
        5000);
    return window;
  }

  void StopPlayer() {
    kill(static_cast<pid_t>(player_->processId()), SIGTERM);
    if (!player_->waitForFinished(10000)) {
      player_->kill();
      player_->waitForFinished();
    }
  }

  PrivateXServer x_{"1280x800x24"};
  TempDir dir_;
  std::unique_ptr<WindowManager> manager_;
  std::unique_ptr<QProcess> player_;
};

TEST_F(WindowManagerE2eTest, FullScreenOutlastsAnotherWindowComingToTheFront) {
  const QString window = StartPlayer();
  ASSERT_FALSE(window.isEmpty()) << "no main window";
  RunTool(x_.display(), "xdotool", {"windowactivate", "--sync", window});
  RunTool(x_.display(), "xdotool", {"key", "--window", window, "F11"});
  ASSERT_TRUE(WaitFor([&] { return FullScreenState(x_.display(), window); }, 10000)) << "F11 gave no full screen";
  EXPECT_TRUE(WaitFor([&] { return PlaceOf(x_.display(), window) == "0,0 1280x800"; }, 5000));

  QProcess other;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DISPLAY", QString::fromStdString(x_.display()));
  other.setProcessEnvironment(environment);
  other.start("xmessage", {"-name", "other", "another window"});
  ASSERT_TRUE(other.waitForStarted(5000));
  QString other_window;
  ASSERT_TRUE(WaitFor(
      [&] {
        other_window = RunTool(x_.display(), "xdotool", {"search", "--onlyvisible", "--classname", "other"}).trimmed();
        return !other_window.isEmpty();
      },
      10000));
  other_window = other_window.section('\n', 0, 0);
  RunTool(x_.display(), "xdotool", {"windowactivate", "--sync", other_window});
  EXPECT_EQ(RunTool(x_.display(), "xdotool", {"getactivewindow"}).trimmed().toStdString(), other_window.toStdString());
  // Many frame ticks later the player is still full screen.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_TRUE(FullScreenState(x_.display(), window));
  EXPECT_EQ(PlaceOf(x_.display(), window).toStdString(), "0,0 1280x800");
  other.kill();
  other.waitForFinished();
  StopPlayer();
}

TEST_F(WindowManagerE2eTest, TheWindowComesBackExactlyWhereItWas) {
  QString places[3];
  for (QString& place : places) {
    const QString window = StartPlayer();
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    place = PlaceOf(x_.display(), window);
    StopPlayer();
  }
  EXPECT_EQ(places[1].toStdString(), places[0].toStdString());
  EXPECT_EQ(places[2].toStdString(), places[0].toStdString());
}

}  // namespace
}  // namespace vidora::testing
