#ifndef VIDORA_UI_TRACKS_PICTURE_NOTE_H_
#define VIDORA_UI_TRACKS_PICTURE_NOTE_H_

#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace vidora {

// A short line over the picture's top left corner ("Audio: Deutsch (AAC
// 2.0)") that goes after a few seconds, and a panel in its top right
// corner that stays until it is hidden (the stream information). Both
// follow the picture as it moves or resizes and announce their text to
// screen readers. Owned by the picture's parent; UI thread only.
class PictureNote : public QLabel {
  Q_OBJECT

 public:
  enum class Corner { kTopLeft, kTopRight };
  static constexpr int kShowMs = 3000;

  PictureNote(QWidget* picture, Corner corner, const QString& accessible_name);

  // Shows `text`; a passing note hides itself after kShowMs.
  void Show(const QString& text, bool passing = true);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place();

  QPointer<QWidget> picture_;
  Corner corner_;
  QTimer hide_timer_;
};

}  // namespace vidora

#endif  // VIDORA_UI_TRACKS_PICTURE_NOTE_H_
