#ifndef VIDORA_UI_PLAYBACK_VOLUME_TRACKBAR_H_
#define VIDORA_UI_PLAYBACK_VOLUME_TRACKBAR_H_

#include "ui/dialogs/skinned_trackbar.h"

namespace vidora {

// The panel's volume trackbar: a skinned trackbar that, while the sound is
// muted, draws a crossed-out speaker over its channel and says "muted" in
// its accessible name, with the level's thumb left where it was. UI thread.
class VolumeTrackbar : public SkinnedTrackbar {
  Q_OBJECT

 public:
  explicit VolumeTrackbar(QWidget* parent = nullptr);

  void SetMuted(bool muted);
  bool muted() const { return muted_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool muted_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_VOLUME_TRACKBAR_H_
