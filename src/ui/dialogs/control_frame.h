#ifndef VIDORA_UI_DIALOGS_CONTROL_FRAME_H_
#define VIDORA_UI_DIALOGS_CONTROL_FRAME_H_

class QPainter;
class QWidget;

namespace vidora {

// Draws the skin's one-pixel frame (the frame pen, no fill) just outside
// `control`: its rectangle in its parent's coordinates grown by one pixel
// on every side. `painter` paints the control's parent. UI thread only.
void DrawControlFrame(const QWidget* control, QPainter& painter);

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_CONTROL_FRAME_H_
