#ifndef VIDORA_UI_DIALOGS_SYSTEM_SOUND_H_
#define VIDORA_UI_DIALOGS_SYSTEM_SOUND_H_

#include <functional>
#include <string>

namespace vidora {

// Plays the desktop sound theme's event `event_id` ("menu-popup" stands
// for the system sound "MenuPop") without waiting for it. libcanberra is
// loaded at run time when the system has it; without it nothing sounds.
// UI thread only.
void PlaySystemSound(const std::string& event_id);

// Replaces the player (tests count the sounds); an empty function puts the
// libcanberra player back.
void SetSystemSoundPlayer(std::function<void(const std::string&)> player);

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_SYSTEM_SOUND_H_
