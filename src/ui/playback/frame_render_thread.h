#ifndef VIDORA_UI_PLAYBACK_FRAME_RENDER_THREAD_H_
#define VIDORA_UI_PLAYBACK_FRAME_RENDER_THREAD_H_

#include <QImage>
#include <QSize>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "ui/playback/player_backend.h"

class QObject;

namespace vidora {

// Draws a backend's video frames on a thread of its own, so that their
// conversion and scaling never hold up the UI thread. Three buffers turn
// round: one is drawn into, the newest drawn one waits, the UI thread
// shows the third. A new picture waits a little (100 ms at most) for the UI
// thread to take the one before; after that it replaces it (the newest
// picture wins; a redraw of the same picture keeps its count of new
// pictures). The UI thread never waits for a frame: the lock it shares
// with this thread is never held while the backend draws.
//
// Frames are drawn at the size last given, in device pixels. While
// discarding, new frames are taken from the backend without being drawn
// (the engine waits until each frame is taken). Started on construction;
// the destructor stops it, after the draw in progress (if any) ends.
class FrameRenderThread {
 public:
  // The backend's frame calls (CheckFrame, RenderFrame, DiscardFrame) run
  // on this thread; `backend` and `context` must outlive it. `ready` runs
  // on the UI thread (queued to `context`; calls still queued when it goes
  // are dropped) once a drawn frame waits for Take, or frames were
  // discarded; one call may stand for several, and one may come after
  // this has gone.
  FrameRenderThread(PlayerBackend& backend, QObject* context, std::function<void()> ready);
  ~FrameRenderThread();
  FrameRenderThread(const FrameRenderThread&) = delete;
  FrameRenderThread& operator=(const FrameRenderThread&) = delete;

  // The backend may have a frame to draw. Any thread; returns at once.
  void Wake();

  // The rest: UI thread.
  // The size frames are drawn at (device pixels) and the device pixel
  // ratio the images carry.
  void SetSize(QSize size, qreal ratio);
  void SetDiscarding(bool discarding);
  // Draws the backend's current picture again (not a new frame).
  void Redraw();
  // Frames drawn, or being drawn, before this call are never handed out:
  // a picture the window no longer wants (their new pictures count as
  // discarded).
  void DropDrawnFrames();

  // A frame handed out: its image (RGB32, rows 64-byte aligned) and how
  // many new pictures it brings (0: the same picture drawn again).
  struct Frame {
    QImage image;
    int new_frames = 0;
  };
  // Swaps the waiting frame, if any, with `shown` (whose image is drawn
  // into again later: the caller must hold no other copy of it). False,
  // and `shown` untouched, when none waits.
  bool Take(Frame& shown);
  // New frames taken from the backend without being drawn or shown.
  int64_t discarded() const;

 private:
  void Run();
  // Draws into spare_ and hands it over; `news` from the backend.
  void Draw(PlayerBackend::FrameNews news, QSize size, qreal ratio, uint64_t epoch);
  // Takes a frame nobody will see; `counted`: a new picture lost.
  void Discard(PlayerBackend::FrameNews news);
  // Queues one call of ready_ unless one is queued already.
  void Post();

  PlayerBackend& backend_;
  QObject* context_;
  std::function<void()> ready_;
  // A call of ready_ is queued (shared with it: it may run after this
  // thread has gone).
  std::shared_ptr<std::atomic<bool>> posted_ = std::make_shared<std::atomic<bool>>(false);

  mutable std::mutex mutex_;
  std::condition_variable wake_up_;
  // Guarded by mutex_.
  bool woken_ = false;
  bool redraw_ = false;
  bool quit_ = false;
  bool discarding_ = false;
  QSize size_;
  qreal ratio_ = 1;
  uint64_t epoch_ = 0;
  Frame waiting_;
  bool has_waiting_ = false;
  int64_t discarded_ = 0;

  // This thread's own.
  Frame spare_;

  std::thread thread_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_FRAME_RENDER_THREAD_H_
