#ifndef VIDORA_UI_PLAYBACK_ALIGNED_FRAME_IMAGE_H_
#define VIDORA_UI_PLAYBACK_ALIGNED_FRAME_IMAGE_H_

#include <QImage>

namespace vidora {

// An RGB32 image whose first pixel and every row start on a 64-byte
// boundary, as the software renderer prefers (QImage's own allocation
// only promises 4 bytes). Null when out of memory. Not filled. Any thread.
QImage MakeAlignedFrameImage(int width, int height);

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_ALIGNED_FRAME_IMAGE_H_
