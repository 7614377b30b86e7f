#ifndef VIDORA_UI_SHELL_SINGLE_INSTANCE_H_
#define VIDORA_UI_SHELL_SINGLE_INSTANCE_H_

#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

namespace vidora {

// Results of SingleInstance::Check besides 0 (first instance) and 1 (a
// running instance took over), also the process's exit codes.
inline constexpr int kInstanceCheckFailed = static_cast<int>(0x80004005u);      // empty title, lock not made
inline constexpr int kInstanceInvalidArgument = static_cast<int>(0x80070057u);  // runtime folder unusable

// Keeps one running player per user. A lock file named after the title in
// the runtime folder stands for the instance; a local server of the same
// name, opened by the main window, is how a later start finds it, hands
// over its command line and asks it to come forward. UI thread only.
class SingleInstance {
 public:
  // `title` names the lock and the server; an empty `runtime_folder`
  // means the user's runtime folder (XDG_RUNTIME_DIR).
  explicit SingleInstance(QString title, QString runtime_folder = {});
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Returns 0 when this process is the first instance (the lock is then
  // held for the life of this object), 1 when a running instance received
  // `command_line` and brought its window forward, kInstanceCheckFailed
  // when the title is empty or the lock cannot be made, and
  // kInstanceInvalidArgument when the runtime folder is unusable. While the
  // lock is held but nobody listens (the other instance has no main window
  // yet) it retries `attempts` times, `retry_ms` apart, and then returns 0
  // without the lock. Blocks the calling thread.
  int Check(const QString& command_line, int attempts = 25, int retry_ms = 100);

  // Opens the server. Each later start calls `on_start` with its command
  // line on the UI thread; `on_start` returns whether the window came
  // forward, which the later start then reports as 1. Returns false when
  // the server could not be opened (later starts then run on their own).
  bool Listen(std::function<bool(const QString& command_line)> on_start);

  bool holds_lock() const { return holds_lock_; }
  QString server_path() const;
  QString lock_path() const;

 private:
  enum class Delivery { kNobody, kDelivered, kRefused };
  Delivery Deliver(const QString& command_line) const;
  void OnConnection();

  QString title_;
  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  bool holds_lock_ = false;
  std::unique_ptr<QLocalServer> server_;
  std::function<bool(const QString&)> on_start_;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_SINGLE_INSTANCE_H_
