#include "ui/shell/signal_closer.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace vidora {

namespace {

int g_pipe[2] = {-1, -1};
struct sigaction g_old_term;
struct sigaction g_old_int;

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // A full pipe already holds a pending close; dropping this byte is fine.
  [[maybe_unused]] ssize_t written = ::write(g_pipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

SignalCloser::SignalCloser(std::function<void()> on_signal) : on_signal_(std::move(on_signal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
    g_pipe[0] = g_pipe[1] = -1;
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    char buffer[16];
    while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
    }
    if (on_signal_) on_signal_();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  active_ = ::sigaction(SIGTERM, &action, &g_old_term) == 0 && ::sigaction(SIGINT, &action, &g_old_int) == 0;
}

SignalCloser::~SignalCloser() {
  ::sigaction(SIGTERM, &g_old_term, nullptr);
  ::sigaction(SIGINT, &g_old_int, nullptr);
  notifier_.reset();
  if (g_pipe[0] >= 0) ::close(g_pipe[0]);
  if (g_pipe[1] >= 0) ::close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

}  // namespace vidora
