#ifndef VIDORA_CORE_TRACKS_PICTURE_OPTIONS_H_
#define VIDORA_CORE_TRACKS_PICTURE_OPTIONS_H_

namespace vidora {

// How the picture is shaped and cleaned up. Plain value; the same for
// every channel until the user changes it.
struct PictureOptions {
  enum class Aspect { kAuto, k16x9, k4x3, k235x1, kStretch };
  enum class Deinterlace { kAuto, kOn, kOff };
  Aspect aspect = Aspect::kAuto;
  // Zoom until the picture fills the window, cutting off what overflows.
  bool fill = false;
  // kAuto deinterlaces only pictures the stream marks as interlaced.
  Deinterlace deinterlace = Deinterlace::kAuto;
  bool operator==(const PictureOptions&) const = default;
};

}  // namespace vidora

#endif  // VIDORA_CORE_TRACKS_PICTURE_OPTIONS_H_
