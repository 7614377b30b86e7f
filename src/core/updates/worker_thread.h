#ifndef VIDORA_CORE_UPDATES_WORKER_THREAD_H_
#define VIDORA_CORE_UPDATES_WORKER_THREAD_H_

#include <functional>
#include <thread>

namespace vidora {

// Starts `body` on a new thread held by `thread` (which must not hold a
// running thread). Returns false, leaving `thread` empty and `body` not
// run, when the system refuses another thread; the refusal never escapes
// as an exception.
bool StartWorkerThread(std::thread& thread, std::function<void()> body);

}  // namespace vidora

#endif  // VIDORA_CORE_UPDATES_WORKER_THREAD_H_
