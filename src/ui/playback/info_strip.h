#ifndef VIDORA_UI_PLAYBACK_INFO_STRIP_H_
#define VIDORA_UI_PLAYBACK_INFO_STRIP_H_

#include <QString>
#include <QWidget>

#include <functional>

namespace vidora {

// The top strip of the main view: the current channel's name in the upper
// half and the player's status text in the lower half, over the skin's bar
// strip. Painted off-screen and copied in one piece. UI thread only.
class InfoStrip : public QWidget {
  Q_OBJECT

 public:
  // Gives the name of the catalogue's current channel, or a null string
  // when there is none.
  using ChannelNameSource = std::function<QString()>;

  InfoStrip(QWidget* parent, ChannelNameSource channel_name);

  // Replaces the status text and repaints; the accessible description
  // becomes "<channel> – <status>".
  void SetStatusText(const QString& text);
  const QString& status_text() const { return status_text_; }
  // The text of the upper line (the channel's name).
  QString ChannelText() const { return channel_name_ ? channel_name_() : QString(); }
  // A short note of its own at the right end of the upper line (the sleep
  // timer's countdown), which status changes leave alone; empty: none.
  // Repaints. Not announced: a screen reader would hear every second.
  void SetCountdown(const QString& text);
  const QString& countdown() const { return countdown_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ChannelNameSource channel_name_;
  QString status_text_;
  QString countdown_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_INFO_STRIP_H_
