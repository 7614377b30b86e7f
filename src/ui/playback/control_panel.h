#ifndef VIDORA_UI_PLAYBACK_CONTROL_PANEL_H_
#define VIDORA_UI_PLAYBACK_CONTROL_PANEL_H_

#include <QAction>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace vidora {

class ImageButton;
class VolumeTrackbar;

class ViewRequests;

// The bottom strip of the main view: play/stop, full screen, previous and
// next favourite, and the volume trackbar (0-100, line size 5). Buttons
// make their requests of `view`, the full-screen button triggers the
// frame's `full_screen` action (borrowed; may be null); the user moving the trackbar calls `on_volume`,
// and ShowVolume makes it show the level the volume's owner applied. Every control has an accessible name and a tooltip
// naming its action and key. UI thread only.
class ControlPanel : public QWidget {
  Q_OBJECT

 public:
  using VolumeHandler = std::function<void(int level)>;

  ControlPanel(QWidget* parent, ViewRequests* view, QAction* full_screen, VolumeHandler on_volume);

  // Gives the play button the Stop glyphs (true) or the Play glyphs.
  void SetPlaying(bool playing);
  bool playing() const { return playing_; }
  // Shows `level` and the mute state without calling `on_volume`.
  void ShowVolume(int level, bool muted);

  ImageButton* play_button() const { return play_; }
  ImageButton* full_screen_button() const { return full_screen_; }
  ImageButton* previous_button() const { return previous_; }
  ImageButton* next_button() const { return next_; }
  VolumeTrackbar* volume() const { return volume_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void OnPlayClicked();
  // The play button's name follows its glyph (Play or Stop).
  void DescribePlayButton();

  ViewRequests* view_;
  QPointer<QAction> full_screen_action_;
  VolumeHandler on_volume_;
  bool playing_ = false;
  ImageButton* play_ = nullptr;
  ImageButton* full_screen_ = nullptr;
  ImageButton* previous_ = nullptr;
  ImageButton* next_ = nullptr;
  VolumeTrackbar* volume_ = nullptr;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_CONTROL_PANEL_H_
