#ifndef VIDORA_UI_TRACKS_TRACK_SETTINGS_H_
#define VIDORA_UI_TRACKS_TRACK_SETTINGS_H_

#include "core/stores/setting_keys.h"

namespace vidora {

// The sound and subtitle languages to pick on every channel, as the user
// typed them ("de, en"); empty subtitles: none unless chosen on a channel.
inline constexpr TextSettingKey kAudioLanguagesSetting{"AudioLanguages", u""};
inline constexpr TextSettingKey kSubtitleLanguagesSetting{"SubtitleLanguages", u""};
// The tracks chosen per channel (TrackChoices' stored form).
inline constexpr TextSettingKey kTrackChoicesSetting{"TrackChoices", u""};
// The picture: PictureOptions::Aspect and ::Deinterlace as numbers, and
// zoom to fill.
inline constexpr IntSettingKey kPictureAspectSetting{"PictureAspect", 0};
inline constexpr BoolSettingKey kPictureFillSetting{"PictureFill", false};
inline constexpr IntSettingKey kDeinterlaceSetting{"Deinterlace", 0};
// Decoding on the graphics device: 1 on, 0 off, -1 (not chosen yet) on
// where the machine has a render device.
inline constexpr IntSettingKey kHardwareDecodingSetting{"HardwareDecoding", -1};

}  // namespace vidora

#endif  // VIDORA_UI_TRACKS_TRACK_SETTINGS_H_
