// One player per user: the lock, the hand-over of a later start's command
// line, the retry while nobody listens, and the real executable started
// twice.
#include <QProcess>
#include <QProcessEnvironment>

#include <signal.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "core/document/doc_node.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/shell/shell_test_support.h"
#include "ui/shell/single_instance.h"

namespace vidora {
namespace {

namespace fs = std::filesystem;

const QString kTitle = QStringLiteral("Vidora");

// Runs a later start's check on a thread of its own while this thread
// serves the running instance's events.
int CheckFromOtherThread(const QString& folder, const QString& command_line, int attempts = 25, int retry_ms = 100) {
  std::atomic<bool> done{false};
  int result = -100;
  std::thread later([&] {
    SingleInstance instance(kTitle, folder);
    result = instance.Check(command_line, attempts, retry_ms);
    done = true;
  });
  testing::ProcessUntil([&] { return done.load(); }, 60000);
  later.join();
  return result;
}

TEST(SingleInstanceTest, FirstHoldsTheLockAndLaterStartHandsOverItsCommandLine) {
  testing::TempDir dir;
  const QString folder = QString::fromStdString(dir.path().string());
  SingleInstance first(kTitle, folder);
  ASSERT_EQ(first.Check(QStringLiteral("ignored")), 0);
  EXPECT_TRUE(first.holds_lock());
  QStringList received;
  ASSERT_TRUE(first.Listen([&](const QString& line) {
    received << line;
    return true;
  }));

  EXPECT_EQ(CheckFromOtherThread(folder, QStringLiteral("play \u00e9t\u00e9")), 1);
  EXPECT_EQ(CheckFromOtherThread(folder, QString()), 1);
  EXPECT_EQ(received, (QStringList{QStringLiteral("play \u00e9t\u00e9"), QString()}));
}

TEST(SingleInstanceTest, LockHeldButNobodyListeningStartsOnItsOwnAfterRetries) {
  testing::TempDir dir;
  const QString folder = QString::fromStdString(dir.path().string());
  SingleInstance first(kTitle, folder);
  ASSERT_EQ(first.Check(QString()), 0);
  SingleInstance later(kTitle, folder);
  EXPECT_EQ(later.Check(QStringLiteral("x"), 3, 10), 0);
  EXPECT_FALSE(later.holds_lock());
}

TEST(SingleInstanceTest, WindowThatDoesNotComeForwardCountsAsAttempt) {
  testing::TempDir dir;
  const QString folder = QString::fromStdString(dir.path().string());
  SingleInstance first(kTitle, folder);
  ASSERT_EQ(first.Check(QString()), 0);
  int calls = 0;
  ASSERT_TRUE(first.Listen([&](const QString&) {
    ++calls;
    return false;
  }));
  EXPECT_EQ(CheckFromOtherThread(folder, QStringLiteral("x"), 3, 10), 0);
  EXPECT_EQ(calls, 3);
}

TEST(SingleInstanceTest, LockOfAFinishedInstanceIsFreeAgainAndBadFolderFails) {
  testing::TempDir dir;
  const QString folder = QString::fromStdString(dir.path().string());
  {
    SingleInstance first(kTitle, folder);
    ASSERT_EQ(first.Check(QString()), 0);
    ASSERT_TRUE(first.Listen([](const QString&) { return true; }));
  }
  SingleInstance again(kTitle, folder);
  EXPECT_EQ(again.Check(QString(), 1, 10), 0);
  EXPECT_TRUE(again.holds_lock());
  EXPECT_TRUE(again.Listen([](const QString&) { return true; }));  // the old socket does not block it

  SingleInstance nowhere(kTitle, QString::fromStdString((dir.path() / "missing").string()));
  EXPECT_EQ(nowhere.Check(QString()), kInstanceInvalidArgument);
  SingleInstance untitled(QString(), folder);
  EXPECT_EQ(untitled.Check(QString()), kInstanceCheckFailed);
}

// The real player, copied with its data into a fresh folder (bin) with a
// settings file that skips the first-run dialog, and a fresh runtime folder
// (run) given to it through the environment.
struct PlayerFolder {
  testing::TempDir dir;
  fs::path bin = dir / "bin";
  fs::path run = dir / "run";
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  QString program;
};

void PreparePlayer(PlayerFolder& player) {
  fs::create_directories(player.bin);
  fs::create_directories(player.run);
  fs::permissions(player.run, fs::perms::owner_all, fs::perm_options::replace);
  for (const char* name : {"vidora", "Languages.lngp", "Resources.qdoc", "cbuild.qdoc", "Channels.vdch"}) {
    const fs::path source = fs::path(VIDORA_BIN_DIR) / name;
    if (fs::exists(source)) fs::copy_file(source, player.bin / name);
  }
  ASSERT_TRUE(fs::exists(player.bin / "vidora"));
  // A settings file that skips the first-run dialog (padded past the
  // store's minimum size).
  SettingsStore settings;
  settings.Load(player.bin / kSettingsFileName);
  settings.Set(kFirstRunSetting, false);
  settings.Set(kAutoCatalogueUpdateSetting, false);
  settings.Set(kAutoUpdateSetting, false);
  settings.SetString("padding", std::u16string(600, u'x'));
  ASSERT_TRUE(settings.Save());
  player.environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(player.run.string()));
  player.environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  player.program = QString::fromStdString((player.bin / "vidora").string());
}

// The second start exits with 1, and SIGTERM closes the first one
// normally, saving its settings.
TEST(SingleInstanceTest, SecondStartOfThePlayerExitsWithOneAndSigtermSaves) {
  PlayerFolder player;
  ASSERT_NO_FATAL_FAILURE(PreparePlayer(player));
  const fs::path& bin = player.bin;
  const fs::path& run = player.run;
  const QProcessEnvironment& environment = player.environment;
  const QString& program = player.program;

  QProcess first;
  first.setProcessEnvironment(environment);
  first.start(program, {});
  ASSERT_TRUE(first.waitForStarted(10000));
  ASSERT_TRUE(testing::ProcessUntil([&] { return fs::exists(run / "Vidora.socket"); }, 60000));

  QProcess second;
  second.setProcessEnvironment(environment);
  second.start(program, {QStringLiteral("--hello"), QStringLiteral("world")});
  ASSERT_TRUE(second.waitForFinished(60000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_EQ(first.state(), QProcess::Running);

  ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
  ASSERT_TRUE(first.waitForFinished(60000));
  EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first.exitCode(), 0);
  SettingsStore saved;
  saved.Load(bin / kSettingsFileName);
  EXPECT_FALSE(saved.Get(kFirstRunSetting));
  EXPECT_TRUE(saved.FindString("padding").has_value());
  // Written by the running player: the view reads the volume at start.
  EXPECT_EQ(saved.Find(kVolumeSetting).value_or(-1), 50);
}

// SIGTERM while the player is still starting (settings being read, the
// loading screen up, the window being built) is not lost: the window
// closes as soon as it exists, and its close sequence saves.
TEST(SingleInstanceTest, SigtermDuringStartUpClosesThePlayerOnceItsWindowExists) {
  PlayerFolder player;
  ASSERT_NO_FATAL_FAILURE(PreparePlayer(player));
  QProcess process;
  process.setProcessEnvironment(player.environment);
  process.start(player.program, {});
  ASSERT_TRUE(process.waitForStarted(10000));
  // The lock is taken before the settings are read and long before the
  // main window exists.
  ASSERT_TRUE(testing::ProcessUntil([&] { return fs::exists(player.run / "Vidora.lock"); }, 60000));
  ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
  ASSERT_TRUE(process.waitForFinished(30000)) << "the close request was lost";
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0);
  SettingsStore saved;
  saved.Load(player.bin / kSettingsFileName);
  EXPECT_EQ(saved.Find(kVolumeSetting).value_or(-1), 50);  // written by the close sequence
}

}  // namespace
}  // namespace vidora
