#ifndef VIDORA_UI_PLAYBACK_MPV_LIBRARY_H_
#define VIDORA_UI_PLAYBACK_MPV_LIBRARY_H_

#include <mpv/client.h>
#include <mpv/render.h>

#include <functional>
#include <memory>
#include <string>

namespace vidora {

// The libmpv functions the player calls.
#define VIDORA_MPV_FUNCTIONS(X)            \
  X(mpv_create)                            \
  X(mpv_set_option_string)                 \
  X(mpv_initialize)                        \
  X(mpv_terminate_destroy)                 \
  X(mpv_request_log_messages)              \
  X(mpv_observe_property)                  \
  X(mpv_set_wakeup_callback)               \
  X(mpv_wait_event)                        \
  X(mpv_command_async)                     \
  X(mpv_get_property_string)               \
  X(mpv_set_property_string)               \
  X(mpv_set_property_async)                \
  X(mpv_free)                              \
  X(mpv_error_string)                      \
  X(mpv_render_context_create)             \
  X(mpv_render_context_set_update_callback) \
  X(mpv_render_context_update)             \
  X(mpv_render_context_get_info)           \
  X(mpv_render_context_render)             \
  X(mpv_render_context_free)

// libmpv, loaded while the program runs rather than linked: loading it and
// the hundred-odd libraries it needs takes a good part of a start, which
// now passes after the main window is up, or while the loading screen is
// up when a channel is to play at once (PreloadMpvLibrary). Once
// loaded it stays loaded until the process ends (mpv's threads may run
// until then). Every function pointer is set when Open succeeded.
class MpvLibrary {
 public:
  // The library file the player loads.
  static constexpr char kFileName[] = "libmpv.so.2";

  // Loads `file` (a name the dynamic loader searches for, or a path) and
  // finds every function. Never null; ok() says whether it worked and
  // error() why not. Any thread.
  static std::unique_ptr<MpvLibrary> Open(const char* file);

  MpvLibrary(const MpvLibrary&) = delete;
  MpvLibrary& operator=(const MpvLibrary&) = delete;
  // Keeps the library loaded (see above).
  ~MpvLibrary() = default;

  bool ok() const { return error_.empty(); }
  // Empty when ok(); else one line naming what is missing.
  const std::string& error() const { return error_; }

#define VIDORA_MPV_MEMBER(name) decltype(&::name) name = nullptr;
  VIDORA_MPV_FUNCTIONS(VIDORA_MPV_MEMBER)
#undef VIDORA_MPV_MEMBER

 private:
  MpvLibrary() = default;

  std::string error_;
};

// Starts loading kFileName on a worker thread; later calls do nothing. The
// start-up calls it once the UI thread's own library loads are done (the
// dynamic loader loads one library at a time). Any thread.
void PreloadMpvLibrary();

// The process's libmpv (kFileName): waits for the load PreloadMpvLibrary
// started, or loads it now. Never null; check ok(). Lives until the
// process ends. Any thread.
const MpvLibrary& SharedMpvLibrary();

// Whether the load of kFileName has finished (worked or not), so that
// SharedMpvLibrary returns without waiting. Any thread.
bool MpvLibraryLoaded();
// Calls `done` once that load has finished: at once on this thread when it
// has, else on the loading thread. Starts no load. Any thread.
void WhenMpvLibraryLoaded(std::function<void()> done);

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_MPV_LIBRARY_H_
