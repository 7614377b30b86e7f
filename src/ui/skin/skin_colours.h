#ifndef VIDORA_UI_SKIN_SKIN_COLOURS_H_
#define VIDORA_UI_SKIN_SKIN_COLOURS_H_

#include <QColor>

namespace vidora {

// The skin's fixed colours.
inline const QColor kSkinTextColour(220, 220, 235);
inline const QColor kSkinBackgroundColour(61, 68, 86);
inline const QColor kFramePenColour(195, 170, 69);
// The bar strips: upper half gradient, lower half gradient.
inline const QColor kStripTopFrom(83, 96, 135);
inline const QColor kStripTopTo(57, 62, 77);
inline const QColor kStripBottomFrom(15, 15, 15);
inline const QColor kStripBottomTo(17, 20, 32);

}  // namespace vidora

#endif  // VIDORA_UI_SKIN_SKIN_COLOURS_H_
