#ifndef VIDORA_UI_SHELL_SIGNAL_CLOSER_H_
#define VIDORA_UI_SHELL_SIGNAL_CLOSER_H_

#include <functional>
#include <memory>

class QSocketNotifier;

namespace vidora {

// Turns SIGTERM and SIGINT into a call on the UI thread, so that a logout
// or Ctrl+C closes the main window like the exit command. The handlers
// only write one byte to a pipe (async-signal-safe); a socket notifier on
// the UI thread reads it and calls `on_signal`. One object per process;
// the previous handlers come back when it is destroyed.
class SignalCloser {
 public:
  explicit SignalCloser(std::function<void()> on_signal);
  ~SignalCloser();
  SignalCloser(const SignalCloser&) = delete;
  SignalCloser& operator=(const SignalCloser&) = delete;

  // False when the pipe or the handlers could not be set up.
  bool active() const { return active_; }

 private:
  std::function<void()> on_signal_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool active_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_SIGNAL_CLOSER_H_
