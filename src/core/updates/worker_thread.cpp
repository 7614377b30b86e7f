#include "core/updates/worker_thread.h"

#include <system_error>
#include <utility>

namespace vidora {

bool StartWorkerThread(std::thread& thread, std::function<void()> body) {
  try {
    thread = std::thread(std::move(body));
    return true;
  } catch (const std::system_error&) {
    // Out of threads or memory for a stack: the work is not done, and the
    // caller treats it like a check that found nothing.
    return false;
  }
}

}  // namespace vidora
