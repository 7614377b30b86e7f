// The real player on a private X server (Xvfb): its loading screen is on
// the display, painted, before the main window is built.
#include <signal.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/stores/settings_store.h"
#include "e2e/private_x_server.h"
#include "e2e/x_start_watch.h"
#include "support/temp_dir.h"

namespace vidora::testing {
namespace {

namespace fs = std::filesystem;

TEST(StartupE2eTest, TheLoadingScreenIsPaintedOnTheDisplayBeforeTheMainWindowIsBuilt) {
  PrivateXServer x;
  ASSERT_FALSE(x.display().empty()) << "no Xvfb";
  TempDir dir;
  const fs::path bin = VIDORA_BIN_DIR;
  for (const char* name : {"vidora", "Languages.lngp", "Resources.qdoc", "cbuild.qdoc", "Channels.vdch"}) {
    fs::copy_file(bin / name, dir / name);
  }
  const fs::path runtime = dir / "runtime";
  fs::create_directory(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  {
    SettingsStore settings;
    settings.Load(dir / kSettingsFileName);
    settings.SetBool("first_run", false);
    settings.SetBool("AutoCU", false);
    settings.SetBool("AutoU", false);
    ASSERT_TRUE(settings.Save());
  }

  XStartWatch watch(x.display());
  ASSERT_TRUE(watch.ok());
  QProcess player;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "xcb");
  environment.insert("DISPLAY", QString::fromStdString(x.display()));
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
  player.setProcessEnvironment(environment);
  player.setProgram(QString::fromStdString((dir / "vidora").string()));
  player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  player.start();
  ASSERT_TRUE(player.waitForStarted(10000));

  // Unpainted, the screen would show the display's plain background; the
  // title strip, the text and the frame make several colours.
  const int colours = watch.FirstWindowColoursWhenALargerOneIsCreated(20000);
  EXPECT_GE(colours, 3) << (colours < 0 ? "no loading screen and main window" : "the loading screen was not painted");

  kill(static_cast<pid_t>(player.processId()), SIGTERM);
  if (!player.waitForFinished(10000)) {
    player.kill();
    player.waitForFinished();
  }
}

}  // namespace
}  // namespace vidora::testing
