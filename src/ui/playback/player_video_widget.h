#ifndef VIDORA_UI_PLAYBACK_PLAYER_VIDEO_WIDGET_H_
#define VIDORA_UI_PLAYBACK_PLAYER_VIDEO_WIDGET_H_

#include <QImage>
#include <QRect>
#include <QWidget>

namespace vidora {

class PlayerBackend;

// The player's window: paints the video frames its backend draws into an
// off-screen image of the widget's size in device pixels (rows 64-byte
// aligned, as the software renderer prefers). Black until a frame arrives.
// Can leave its parent for a full-screen window of its own and come back
// (Escape or a double-click also bring it back). UI thread only.
class PlayerVideoWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PlayerVideoWidget(QWidget* parent);

  // Draws the backend's newest frame and repaints. Returns whether a
  // frame was drawn.
  bool RenderFrom(PlayerBackend& backend);
  // The last frame drawn (null image before the first).
  const QImage& frame() const { return frame_; }
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

  QImage frame_;
  bool has_frame_ = false;
  bool own_full_screen_ = false;
  QRect normal_geometry_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_PLAYER_VIDEO_WIDGET_H_
