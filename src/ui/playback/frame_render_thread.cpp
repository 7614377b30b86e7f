#include "ui/playback/frame_render_thread.h"

#include <QMetaObject>
#include <QObject>

#include <chrono>
#include <utility>

#include "ui/playback/aligned_frame_image.h"

namespace vidora {

using FrameNews = PlayerBackend::FrameNews;

namespace {

// How long a new frame waits for the UI thread to take the one before.
constexpr std::chrono::milliseconds kTakeWait(100);

}  // namespace

FrameRenderThread::FrameRenderThread(PlayerBackend& backend, QObject* context, std::function<void()> ready)
    : backend_(backend), context_(context), ready_(std::move(ready)), thread_([this] { Run(); }) {}

FrameRenderThread::~FrameRenderThread() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_up_.notify_one();
  thread_.join();
}

void FrameRenderThread::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wake_up_.notify_one();
}

void FrameRenderThread::SetSize(QSize size, qreal ratio) {
  std::lock_guard lock(mutex_);
  size_ = size;
  ratio_ = ratio;
}

void FrameRenderThread::SetDiscarding(bool discarding) {
  std::lock_guard lock(mutex_);
  discarding_ = discarding;
}

void FrameRenderThread::Redraw() {
  {
    std::lock_guard lock(mutex_);
    redraw_ = true;
  }
  wake_up_.notify_one();
}

void FrameRenderThread::DropDrawnFrames() {
  {
    std::lock_guard lock(mutex_);
    ++epoch_;
    if (!has_waiting_) return;
    discarded_ += waiting_.new_frames;
    waiting_.new_frames = 0;
    has_waiting_ = false;
  }
  wake_up_.notify_one();
}

bool FrameRenderThread::Take(Frame& shown) {
  {
    std::lock_guard lock(mutex_);
    if (!has_waiting_) return false;
    std::swap(shown, waiting_);
    waiting_.new_frames = 0;
    has_waiting_ = false;
  }
  wake_up_.notify_one();
  return true;
}

int64_t FrameRenderThread::discarded() const {
  std::lock_guard lock(mutex_);
  return discarded_;
}

void FrameRenderThread::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_up_.wait(lock, [this] { return quit_ || woken_ || redraw_; });
    if (quit_) return;
    const bool woken = std::exchange(woken_, false);
    const bool redraw = std::exchange(redraw_, false);
    lock.unlock();
    const FrameNews news = woken ? backend_.CheckFrame() : FrameNews::kNone;
    lock.lock();
    if (news == FrameNews::kNone && !redraw) continue;
    // Read after CheckFrame: a frame the window stopped wanting meanwhile
    // is discarded, and counted before the window reads the count.
    if (discarding_) {
      if (news == FrameNews::kNone) continue;
      if (news == FrameNews::kNewFrame) ++discarded_;
      lock.unlock();
      Discard(news);
    } else {
      const QSize size = size_;
      const qreal ratio = ratio_;
      const uint64_t epoch = epoch_;
      lock.unlock();
      Draw(news == FrameNews::kNone ? FrameNews::kRedraw : news, size, ratio, epoch);
    }
    lock.lock();
  }
}

void FrameRenderThread::Discard(FrameNews news) {
  if (!backend_.DiscardFrame() && news == FrameNews::kNewFrame) {
    std::lock_guard lock(mutex_);
    --discarded_;
  }
  Post();
}

void FrameRenderThread::Draw(FrameNews news, QSize size, qreal ratio, uint64_t epoch) {
  if (news == FrameNews::kNewFrame) {
    // A new picture would replace one the UI thread has not taken yet:
    // give it a moment (the engine waits meanwhile, and drops frames
    // itself when it falls behind), but never long.
    std::unique_lock lock(mutex_);
    wake_up_.wait_for(lock, kTakeWait, [&] { return !has_waiting_ || quit_ || epoch != epoch_; });
  }
  QImage& image = spare_.image;
  // A buffer the window still shares (a copy of its picture kept
  // somewhere) is left to it.
  if (image.size() != size || !image.isDetached()) image = MakeAlignedFrameImage(size.width(), size.height());
  if (image.isNull()) {
    // No memory, or no size yet: the engine still must not wait.
    backend_.DiscardFrame();
    return;
  }
  image.setDevicePixelRatio(ratio);
  if (!backend_.RenderFrame(image)) return;
  spare_.new_frames = news == FrameNews::kNewFrame ? 1 : 0;
  {
    std::lock_guard lock(mutex_);
    if (epoch != epoch_) {
      discarded_ += spare_.new_frames;
    } else {
      if (has_waiting_) {
        // A redraw shows the waiting frame's picture; a new picture
        // replaces it unseen.
        if (spare_.new_frames == 0) {
          spare_.new_frames = waiting_.new_frames;
        } else {
          discarded_ += waiting_.new_frames;
        }
      }
      std::swap(spare_, waiting_);
      has_waiting_ = true;
    }
  }
  Post();
}

void FrameRenderThread::Post() {
  if (posted_->exchange(true)) return;
  QMetaObject::invokeMethod(
      context_,
      [posted = posted_, ready = ready_] {
        posted->store(false);
        ready();
      },
      Qt::QueuedConnection);
}

}  // namespace vidora
