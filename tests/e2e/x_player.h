#ifndef VIDORA_TESTS_E2E_X_PLAYER_H_
#define VIDORA_TESTS_E2E_X_PLAYER_H_

#include <signal.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/stores/settings_store.h"
#include "support/temp_dir.h"

namespace vidora::testing {

namespace fs = std::filesystem;

// A copy of the player in a folder of its own with a runtime folder of its
// own, run on an X display; ended (SIGTERM) with the object.
class XPlayer {
 public:
  XPlayer() {
    const fs::path bin = VIDORA_BIN_DIR;
    for (const char* name : {"vidora", "Languages.lngp", "Resources.qdoc", "cbuild.qdoc", "Channels.vdch"}) {
      fs::copy_file(bin / name, dir_ / name);
    }
    runtime_ = dir_ / "runtime";
    fs::create_directory(runtime_);
    fs::permissions(runtime_, fs::perms::owner_all);
  }
  ~XPlayer() {
    if (process_ == nullptr || process_->state() == QProcess::NotRunning) return;
    kill(static_cast<pid_t>(process_->processId()), SIGTERM);
    if (!process_->waitForFinished(10000)) {
      process_->kill();
      process_->waitForFinished();
    }
  }

  const fs::path& runtime() const { return runtime_; }

  // Settings.cfg without automatic update checks.
  void WriteSettings(bool first_run) {
    SettingsStore settings;
    settings.Load(dir_ / kSettingsFileName);
    settings.SetBool("first_run", first_run);
    settings.SetBool("AutoCU", false);
    settings.SetBool("AutoU", false);
    ASSERT_TRUE(settings.Save());
  }

  // Starts the player on `display` with `arguments`; with a session bus
  // address `bus`, accessibility is on and goes over that bus.
  void Start(const std::string& display, const QString& bus, const QStringList& arguments = {}) {
    display_ = display;
    process_ = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", QString::fromStdString(display));
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.string()));
    if (!bus.isEmpty()) {
      environment.insert("DBUS_SESSION_BUS_ADDRESS", bus);
      environment.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    }
    environment.remove("AT_SPI_BUS_ADDRESS");
    process_->setProcessEnvironment(environment);
    process_->setProgram(QString::fromStdString((dir_ / "vidora").string()));
    process_->setArguments(arguments);
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->start();
    ASSERT_TRUE(process_->waitForStarted(10000));
  }

  fs::path operator/(const std::string& name) const { return dir_ / name; }
  bool Running() const { return process_ != nullptr && process_->state() == QProcess::Running; }

  // The visible top-level windows of the player, oldest first.
  std::vector<unsigned long> Windows(const QString& title = QStringLiteral(".")) const {
    QProcess search;
    search.setProcessEnvironment(Display());
    // --all: a window must match both the process and the title.
    search.start("xdotool", {"search", "--all", "--onlyvisible", "--pid", QString::number(process_->processId()), "--name",
                             title});
    search.waitForFinished(5000);
    std::vector<unsigned long> windows;
    for (const QByteArray& line : search.readAllStandardOutput().split('\n')) {
      if (!line.trimmed().isEmpty()) windows.push_back(line.trimmed().toULong());
    }
    return windows;
  }

  bool WaitForWindows(size_t count, int bound_ms, const QString& title = QStringLiteral(".")) const {
    for (int waited = 0; waited < bound_ms; waited += 100) {
      if (Windows(title).size() == count) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  // Presses `keys` (xdotool names, one after another) as the keyboard
  // would (XTEST: to the window that has the focus, or to a pop-up that
  // grabbed the keyboard), after focusing `window` unless it is 0.
  void Press(unsigned long window, const QStringList& keys) const {
    if (window != 0) {
      QProcess focus;
      focus.setProcessEnvironment(Display());
      focus.start("xdotool", {"windowfocus", QString::number(window)});
      focus.waitForFinished(5000);
    }
    for (const QString& key : keys) {
      QProcess press;
      press.setProcessEnvironment(Display());
      press.start("xdotool", {"key", key});
      press.waitForFinished(5000);
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
  }

 private:
  QProcessEnvironment Display() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(display_));
    return environment;
  }

  TempDir dir_;
  fs::path runtime_;
  std::string display_;
  std::unique_ptr<QProcess> process_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_E2E_X_PLAYER_H_
