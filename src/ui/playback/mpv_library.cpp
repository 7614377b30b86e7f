#include "ui/playback/mpv_library.h"

#include <dlfcn.h>

#include <functional>
#include <future>
#include <mutex>
#include <vector>

namespace vidora {
namespace {

std::mutex g_mutex;
// Under g_mutex: whether the load finished, and who waits for that.
bool g_loaded = false;
std::vector<std::function<void()>>& Waiting() {
  static auto* waiting = new std::vector<std::function<void()>>();
  return *waiting;
}

// Set once by the first PreloadMpvLibrary or SharedMpvLibrary. Never
// destroyed, like the library it holds: mpv may call back into the library
// until the process ends, and a future destroyed at exit would leave the
// library unreachable for the leak checker.
std::shared_future<MpvLibrary*>& LibraryFuture() {
  static auto* future = new std::shared_future<MpvLibrary*>();
  return *future;
}

// Whether a load was started; the caller holds g_mutex.
void StartLoadLocked() {
  std::shared_future<MpvLibrary*>& library = LibraryFuture();
  if (library.valid()) return;
  library = std::async(std::launch::async, [] {
              MpvLibrary* loaded = MpvLibrary::Open(MpvLibrary::kFileName).release();
              std::vector<std::function<void()>> waiting;
              {
                std::lock_guard<std::mutex> lock(g_mutex);
                g_loaded = true;
                waiting.swap(Waiting());
              }
              for (const auto& done : waiting) done();
              return loaded;
            }).share();
}

}  // namespace

std::unique_ptr<MpvLibrary> MpvLibrary::Open(const char* file) {
  std::unique_ptr<MpvLibrary> library(new MpvLibrary());
  // Lazy binding, as a linked library gets: resolving every symbol of mpv's
  // hundred-odd libraries up front would cost more than the load itself.
  // The functions the player calls are all looked up below.
  void* handle = dlopen(file, RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    library->error_ = reason != nullptr ? reason : std::string(file) + ": cannot be loaded";
    return library;
  }
#define VIDORA_MPV_FIND(name)                                                  \
  library->name = reinterpret_cast<decltype(library->name)>(dlsym(handle, #name)); \
  if (library->name == nullptr && library->error_.empty()) library->error_ = std::string(file) + ": no " #name;
  VIDORA_MPV_FUNCTIONS(VIDORA_MPV_FIND)
#undef VIDORA_MPV_FIND
  // The handle stays open (see the class comment); a failed one is of no use.
  if (!library->ok()) dlclose(handle);
  return library;
}

void PreloadMpvLibrary() {
  std::lock_guard<std::mutex> lock(g_mutex);
  StartLoadLocked();
}

const MpvLibrary& SharedMpvLibrary() {
  std::shared_future<MpvLibrary*> library;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    StartLoadLocked();
    library = LibraryFuture();
  }
  return *library.get();
}

bool MpvLibraryLoaded() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_loaded;
}

void WhenMpvLibraryLoaded(std::function<void()> done) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_loaded) {
      Waiting().push_back(std::move(done));
      return;
    }
  }
  done();
}

}  // namespace vidora
