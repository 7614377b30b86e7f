#ifndef VIDORA_UI_PLAYBACK_PLAYER_VIDEO_WIDGET_H_
#define VIDORA_UI_PLAYBACK_PLAYER_VIDEO_WIDGET_H_

#include <QImage>
#include <QRect>
#include <QWidget>

#include <cstdint>

#include "ui/playback/direct_frame_painter.h"

namespace vidora {

class PlayerBackend;

// The player's window: paints the video frames its backend draws, at the
// widget's size in device pixels. A new frame only schedules a repaint;
// the frame is drawn in the paint, so a frame is converted once per paint
// and never when it would not be shown. The backend draws straight into
// the window's buffer where DirectFramePainter can; otherwise (another
// device, a paint of only part of the window) into an off-screen image
// (rows 64-byte aligned, as the software renderer prefers) that is then
// copied in. A paint that must redraw a picture held only in the window's
// buffer has the backend draw its current frame again. While the picture is
// held, or the window is not shown, frames are taken at once without being
// drawn (or into the frame image of a hidden widget) so that the engine
// never waits for them. Black until a frame arrives.
// Can leave its parent for a full-screen window of its own and come back
// (Escape or a double-click also bring it back). UI thread only.
class PlayerVideoWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PlayerVideoWidget(QWidget* parent);

  // Where frames come from (not owned; null: none). Must outlive its use.
  void SetBackend(PlayerBackend* backend) { backend_ = backend; }
  // The backend has a new frame to show.
  void FrameReady();
  // While held, the window stays black and frames are consumed unseen
  // (a new address opening under the old one's last frame). Releasing
  // shows the newest frame.
  void HoldPicture(bool hold);
  // Draws the backend's newest frame now (no repaint needed to see it in
  // frame()). Returns whether a frame was drawn.
  bool RenderFrom(PlayerBackend& backend);
  // Frames the backend announced that were drawn for painting (drawing
  // the same frame again does not count), and frames consumed unseen,
  // since creation.
  int64_t frames_shown() const { return frames_shown_; }
  int64_t frames_discarded() const { return frames_discarded_; }
  // The last frame drawn (null image before the first). When it went
  // straight into the window's buffer, it is copied out of that buffer
  // here, as it is there now.
  const QImage& frame() const;
  // Forgets the picture: the window is black until the next frame.
  void ClearPicture();

  void SetOwnFullScreen(bool on);
  bool own_full_screen() const { return own_full_screen_; }
  // Where the window goes back to when it leaves its own full-screen mode.
  const QRect& normal_geometry() const { return normal_geometry_; }
  void set_normal_geometry(const QRect& rect) { normal_geometry_ = rect; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void EnsureBuffer();
  // Draws the backend's newest frame for the paint on `painter`: into the
  // window's buffer when it can (true: the paint is complete), otherwise
  // into frame_ (false: frame_ is still to be painted).
  bool DrawFrame(QPainter& painter);
  // Whether paints of this window reach the screen (false while its
  // top-level window is minimised or covered entirely).
  bool IsExposed() const;

  PlayerBackend* backend_ = nullptr;
  DirectFramePainter direct_;
  // A cache of the picture once it went into the window's buffer: filled
  // again when it is asked for.
  mutable QImage frame_;
  // The newest picture is only in the window's buffer, at store_rect_
  // (device pixels); frame_ is older.
  mutable bool frame_in_store_ = false;
  QRect store_rect_;
  bool has_frame_ = false;
  bool frame_pending_ = false;
  // The frame to draw is one the backend announced, not a redraw.
  bool new_frame_ = false;
  bool hold_ = false;
  int64_t frames_shown_ = 0;
  int64_t frames_discarded_ = 0;
  bool own_full_screen_ = false;
  QRect normal_geometry_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_PLAYER_VIDEO_WIDGET_H_
