#ifndef VIDORA_UI_RADIO_RADIO_SETUP_H_
#define VIDORA_UI_RADIO_RADIO_SETUP_H_

#include <functional>

class QWidget;

namespace vidora {

class Channel;

// Opens the radio directory page (one at a time; a second call raises
// it). `play` plays a channel in the main view. UI thread only.
void OpenRadioDirectory(QWidget* owner, std::function<void(Channel*)> play);

}  // namespace vidora

#endif  // VIDORA_UI_RADIO_RADIO_SETUP_H_
