#ifndef VIDORA_UI_PLAYBACK_PLAYER_VIDEO_WIDGET_H_
#define VIDORA_UI_PLAYBACK_PLAYER_VIDEO_WIDGET_H_

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <QWindow>

#include <cstdint>
#include <memory>

#include "ui/playback/frame_render_thread.h"

namespace vidora {

class PlayerBackend;

// The player's window: shows the video frames its backend draws, at the
// widget's size in device pixels. The frames are converted and scaled on
// a frame thread of the widget's own (FrameRenderThread); the paint only
// copies the newest finished frame in, and the UI thread never waits for
// a frame. After a resize, or a change of the device pixel ratio, the
// picture is drawn again at the new size (until then the last frame is
// stretched). While the picture is held, or the window is not shown on
// the screen (minimised, covered), frames are taken at once without
// being drawn, so that the engine never waits for them; the newest frame
// is drawn again when the window shows frames again. A hidden widget
// still takes its frames (for a grab). Black until a frame arrives.
// Can leave its parent for a full-screen window of its own and come back
// (Escape or a double-click also bring it back). UI thread only.
class PlayerVideoWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PlayerVideoWidget(QWidget* parent);
  // Stops the frame thread (after the frame it draws, if any).
  ~PlayerVideoWidget() override;

  // Where frames come from (not owned; null: none). Starts the frame
  // thread and the backend's frame wake-ups; a later call (null too)
  // stops them first, so the backend must live until then or until the
  // widget goes.
  void SetBackend(PlayerBackend* backend);
  // While held, the window stays black and frames are consumed unseen
  // (a new address opening under the old one's last frame); frames drawn
  // before are dropped. Releasing shows the newest frame.
  void HoldPicture(bool hold);
  // New pictures (not redraws) that were shown, and those taken unseen
  // (held, not on the screen, or replaced by a newer one before a paint
  // showed them), since creation. A frame of a hidden widget counts as
  // shown once the widget has it.
  int64_t frames_shown() const { return frames_shown_; }
  int64_t frames_discarded() const;
  // The newest frame the widget has (null image before the first).
  const QImage& frame() const { return shown_.image; }
  // Forgets the picture: the window is black until the next frame, and
  // frames drawn before are dropped.
  void ClearPicture();

  void SetOwnFullScreen(bool on);
  bool own_full_screen() const { return own_full_screen_; }
  // Where the window goes back to when it leaves its own full-screen mode.
  const QRect& normal_geometry() const { return normal_geometry_; }
  void set_normal_geometry(const QRect& rect) { normal_geometry_ = rect; }

 signals:
  // New pictures came from the engine (shown or taken unseen; a redraw of
  // the same picture is none).
  void NewFrames();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A frame the thread finished waits (or frames were discarded).
  void OnFramesDrawn();
  // Tells the frame thread the widget's size in device pixels if it
  // changed, and has the picture drawn again at it.
  void SyncSize();
  // Discards frames while held or not exposed; watches the top-level
  // window for exposure.
  void UpdateFrameMode();
  // The shown frame's new pictures count as discarded when no paint
  // showed them.
  void ForgetUnpainted();
  // Whether paints of this window reach the screen (false while its
  // top-level window is minimised or covered entirely).
  bool IsExposed() const;
  void StopFrames();

  PlayerBackend* backend_ = nullptr;
  std::unique_ptr<FrameRenderThread> thread_;
  FrameRenderThread::Frame shown_;
  bool has_frame_ = false;
  // shown_ reached a paint (or needs none: the widget is hidden).
  bool painted_ = true;
  bool hold_ = false;
  bool discarding_ = false;
  // The frame thread's discard count when discarding began.
  int64_t discarded_before_ = 0;
  QSize told_size_;
  qreal told_ratio_ = 0;
  QPointer<QWindow> watched_;
  int64_t frames_shown_ = 0;
  // Discarded here, and by frame threads that have gone.
  int64_t frames_discarded_ = 0;
  // frames_shown() + frames_discarded() when NewFrames was last emitted.
  int64_t frames_reported_ = 0;
  bool own_full_screen_ = false;
  QRect normal_geometry_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_PLAYER_VIDEO_WIDGET_H_
