#ifndef VIDORA_UI_PLAYBACK_RADIO_WINDOW_H_
#define VIDORA_UI_PLAYBACK_RADIO_WINDOW_H_

#include <QRect>
#include <QSize>
#include <QWidget>

namespace vidora {

// Shown in place of the video while a radio channel plays: black, with the
// skin's "radio_player" picture centred at its own size (clipped when it
// is larger than the window). No playback logic. UI thread only.
class RadioWindow : public QWidget {
  Q_OBJECT

 public:
  explicit RadioWindow(QWidget* parent);

  // Where a picture of `picture` size goes in a window of `client` size:
  // centred, halving with an arithmetic shift so that a larger picture's
  // offset rounds towards minus infinity.
  static QRect PictureRect(const QSize& client, const QSize& picture);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_RADIO_WINDOW_H_
