#ifndef VIDORA_UI_GUIDE_STRIP_DECORATIONS_H_
#define VIDORA_UI_GUIDE_STRIP_DECORATIONS_H_

#include <QRect>
#include <QString>

class QPainter;
class QWidget;

namespace vidora {

class Channel;

// The guide line of a channel: "HH:MM Title · HH:MM Title" for now and
// next, or a null string without a guide. UI thread.
QString NowNextLine(const Channel& channel);

// Draws what a playlist adds to the information strip for the current
// channel (its logo at the right end, its now/next line in the lower half
// beside the status) and narrows `text` so the strip's own texts keep
// clear of them. Nothing when the current channel is no playlist channel.
void PaintStripDecorations(QPainter& painter, int width, int unit, QRect& text, const QString& status);

// Repaints `strip` whenever logos or the guide change.
void FollowDecorations(QWidget* strip);

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_STRIP_DECORATIONS_H_
