// The real player under a window manager (openbox on Xvfb), started on a
// playlist it cannot read: the message comes and the player goes on.
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "e2e/private_x_server.h"
#include "e2e/x_player.h"
#include "support/temp_dir.h"

namespace vidora::testing {
namespace {

// openbox on `display` for as long as the object lives; ready() once it
// manages the screen.
class WindowManager {
 public:
  explicit WindowManager(const std::string& display) : display_(display) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(display));
    process_.setProcessEnvironment(environment);
    process_.start("openbox", {"--sm-disable"});
    process_.waitForStarted(5000);
  }
  ~WindowManager() {
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }

  bool ready() {
    for (int waited = 0; waited < 10000 && process_.state() == QProcess::Running; waited += 100) {
      QProcess probe;
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.insert("DISPLAY", QString::fromStdString(display_));
      probe.setProcessEnvironment(environment);
      probe.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
      probe.waitForFinished(5000);
      if (probe.readAllStandardOutput().contains("window id")) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

 private:
  std::string display_;
  QProcess process_;
};

// A missing file, an empty one and an address nobody answers, each given at
// start-up with settings in place: the player tells the user and, once the
// message is dismissed, runs on with its main window.
TEST(StartupMessageE2eTest, APlaylistThatCannotBeReadAtStartUpIsToldAndThePlayerGoesOn) {
  for (const char* shape : {"missing", "empty", "unreachable"}) {
    PrivateXServer x("1280x1024x24");
    ASSERT_FALSE(x.display().empty()) << "no Xvfb";
    WindowManager manager(x.display());
    ASSERT_TRUE(manager.ready()) << "no openbox";
    XPlayer player;
    player.WriteSettings(/*first_run=*/false);
    TempDir inputs;
    std::string argument = (inputs / "missing.m3u").string();
    if (shape == std::string("empty")) {
      argument = (inputs / "empty.m3u").string();
      std::ofstream(argument).flush();
    } else if (shape == std::string("unreachable")) {
      argument = "http://127.0.0.1:9/list.m3u";  // the discard port: nobody listens
    }
    player.Start(x.display(), QString(), {QString::fromStdString(argument)});
    // The loading screen gone, the main window up and the message over it.
    bool up = false;
    for (int waited = 0; waited < 20000 && !up && player.Running(); waited += 100) {
      up = player.Windows(QStringLiteral("^Vidora [0-9]")).empty() && !player.Windows(QStringLiteral("^Vidora$")).empty();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(up) << shape << ": no main window" << (player.Running() ? "" : " (crashed)");
    ASSERT_TRUE(player.WaitForWindows(2, 10000)) << shape << ": no message" << (player.Running() ? "" : " (crashed)");
    // Long past the loading screen's end, the message is still there.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_TRUE(player.Running()) << shape;
    ASSERT_EQ(player.Windows().size(), 2U) << shape;
    player.Press(player.Windows().back(), {"Return"});
    EXPECT_TRUE(player.WaitForWindows(1, 10000)) << shape << ": the message did not go";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(player.Running()) << shape;
  }
}

}  // namespace
}  // namespace vidora::testing
