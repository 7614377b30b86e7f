#ifndef VIDORA_TOOLS_SKINART_SKIN_ART_H_
#define VIDORA_TOOLS_SKINART_SKIN_ART_H_

#include <QImage>

#include <string>
#include <utility>
#include <vector>

namespace vidora {

// Width and height of every flag picture (16:11, as the channel lists
// place them).
inline constexpr int kFlagWidth = 64;
inline constexpr int kFlagHeight = 44;

// The flags of the shipped catalogue's countries, by country key.
std::vector<std::pair<std::string, QImage>> DrawFlags();
// The picture shown while a radio channel plays, on a transparent ground.
QImage DrawRadioPicture();
// The loading-screen picture.
QImage DrawSplashPicture();

}  // namespace vidora

#endif  // VIDORA_TOOLS_SKINART_SKIN_ART_H_
