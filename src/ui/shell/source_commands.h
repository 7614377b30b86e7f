#ifndef VIDORA_UI_SHELL_SOURCE_COMMANDS_H_
#define VIDORA_UI_SHELL_SOURCE_COMMANDS_H_

#include <functional>

class QMenu;
class QWidget;

namespace vidora {

class Channel;

// The main frame's commands for more channel sources: "Add provider
// account…" (Ctrl+Shift+A, ID_ADD_PROVIDER), "Radio directory"
// (Ctrl+Shift+D, ID_RADIO_DIRECTORY), "Films & series" (Ctrl+Shift+F,
// ID_FILMS) and "Check channels" (Ctrl+Shift+H, ID_CHECK_CHANNELS: every
// channel's sources). UI thread only.

// Lets the sources' features take part; before the main view is created.
void EnableSourceFeatures();
// The menu items, after "Add playlist…".
void AddSourceMenuItems(QMenu* menu);
// The keys of the commands on `frame`, sending them through `send`.
void InstallSourceKeys(QWidget* frame, std::function<void(int)> send);
// Runs `command` when it is one of them; false otherwise. `play` plays a
// channel in the main view.
bool RunSourceCommand(int command, QWidget* owner, std::function<void(Channel*)> play);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_SOURCE_COMMANDS_H_
