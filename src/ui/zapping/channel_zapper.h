#ifndef VIDORA_UI_ZAPPING_CHANNEL_ZAPPER_H_
#define VIDORA_UI_ZAPPING_CHANNEL_ZAPPER_H_

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

class QShortcut;
class QWidget;

namespace vidora {

class Channel;
class PictureNote;
class PlaybackControl;

// Zapping as on a television: Page Up/Down step to the previous/next
// channel of the list the channel was played from (see ZapList; without
// one, through the favourites), digits typed on the main window enter a
// channel number (shown while typed, switching after Enter or a pause of
// kNumberPauseMs), Backspace returns to the channel played before. Each
// switch is said over the picture: "12 · Name · now: Programme". `frame`
// owns the keys and this object; `playback` and `note` (may be null) must
// outlive it. UI thread only.
class ChannelZapper : public QObject {
  Q_OBJECT

 public:
  static constexpr int kNumberPauseMs = 2000;
  using Player = std::function<void(Channel*)>;

  ChannelZapper(QWidget* frame, PlaybackControl& playback, PictureNote* note, Player play);
  ~ChannelZapper() override;

  void Step(bool forward);
  void TypeDigit(int digit);
  // Switches to the number typed so far (Enter, or the pause).
  void EnterNumber();
  void Back();

  const QString& typed() const { return typed_; }

 private:
  void Switch(Channel* channel);

  PlaybackControl& playback_;
  QPointer<PictureNote> note_;
  Player play_;
  QString typed_;
  QTimer number_timer_;
  std::vector<QPointer<QShortcut>> shortcuts_;
  std::vector<QPointer<QShortcut>> enter_keys_;  // only while a number is typed
};

}  // namespace vidora

#endif  // VIDORA_UI_ZAPPING_CHANNEL_ZAPPER_H_
