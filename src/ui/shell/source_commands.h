#ifndef VIDORA_UI_SHELL_SOURCE_COMMANDS_H_
#define VIDORA_UI_SHELL_SOURCE_COMMANDS_H_

#include <functional>

class QMenu;
class QWidget;

namespace vidora {

class Channel;
class MainActions;

// The main frame's commands for more channel sources: "Add provider
// account…" (Ctrl+Shift+A), "Radio directory" (Ctrl+Shift+D), "Films &
// series" (Ctrl+Shift+F) and "Check channels" (Ctrl+Shift+H: every
// channel's sources). UI thread only.

// Lets the sources' features take part; before the main view is created.
void EnableSourceFeatures();
// Gives the frame's source actions their captions (with the key after a
// tab, as the menu shows it), keys and slots. `owner` gives the window
// their dialogs belong to; `play` plays a channel in the main view.
void DefineSourceActions(MainActions& actions, std::function<QWidget*()> owner, std::function<void(Channel*)> play);
// The menu items, after "Add playlist…".
void AddSourceMenuItems(QMenu* menu, const MainActions& actions);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_SOURCE_COMMANDS_H_
