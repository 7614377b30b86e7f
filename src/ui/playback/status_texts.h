#ifndef VIDORA_UI_PLAYBACK_STATUS_TEXTS_H_
#define VIDORA_UI_PLAYBACK_STATUS_TEXTS_H_

#include <string>

#include "core/playback/stream_failure.h"

namespace vidora {

// The player's status line in the interface language. Each falls back to
// the English text when the language pack lacks its key (no pack loaded).
// UI thread only.
std::u16string OpeningText();
std::u16string PlayingText();
std::u16string StoppedText();
std::u16string BufferingText(int percent);
std::u16string ReconnectingText();
// The note said once when no sound output could be opened.
std::u16string NoSoundNoteText();
// The one sentence for `failure`; `http_status` fills its "%1".
std::u16string FailureText(StreamFailure failure, int http_status);
// "source N" (N counted from 1) for the information strip.
std::u16string SourceText(int index);

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_STATUS_TEXTS_H_
