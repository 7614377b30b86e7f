#ifndef VIDORA_UI_SKIN_SKIN_FONTS_H_
#define VIDORA_UI_SKIN_SKIN_FONTS_H_

#include <QFont>

namespace vidora {

// The skin's three fonts, Arial (or the font matcher's nearest face):
// bold at the system font's pixel height, and bold and regular at three
// quarters of it (rounded toward zero).
struct SkinFonts {
  QFont title;
  QFont small_bold;
  QFont small;
};

// The system font's height in pixels: its pixel size, or its point size
// converted at the primary screen's vertical dpi.
int SystemFontPixelHeight();
SkinFonts BuildSkinFonts();

}  // namespace vidora

#endif  // VIDORA_UI_SKIN_SKIN_FONTS_H_
