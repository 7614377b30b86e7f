#ifndef VIDORA_TESTS_E2E_WAIT_FOR_H_
#define VIDORA_TESTS_E2E_WAIT_FOR_H_

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace vidora::testing {

// Processes Qt events until `done` holds or `bound_ms` passed; returns
// whether `done` held. A timer ticking every `tick_ms` keeps the loop from
// sleeping past the bound.
inline bool WaitFor(const std::function<bool()>& done, int bound_ms, int tick_ms = 10) {
  QTimer tick;
  tick.start(tick_ms);
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > bound_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5 * tick_ms);
  }
  return true;
}

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_E2E_WAIT_FOR_H_
