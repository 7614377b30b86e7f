#ifndef VIDORA_UI_SHELL_MAIN_MENU_H_
#define VIDORA_UI_SHELL_MAIN_MENU_H_

#include <QString>

#include <memory>

class QAction;
class QMenu;

namespace vidora {

class MainActions;
struct SleepActions;

// The main frame's soft-key menu: the left key triggers one of the
// frame's actions, the right key opens a pop-up of them. Captions are
// texts of the current language.
struct MainMenu {
  QAction* left = nullptr;  // "Channels", owned by the frame
  QString right_caption;  // "menu_menu"
  std::unique_ptr<QMenu> right;  // full screen, settings, updates, about, exit
  QMenu* sleep = nullptr;  // the sleep timer's sub-menu, owned by `right`
};

// Builds the menu from the frame's `actions` (which must outlive it). UI
// thread only.
MainMenu BuildMenu(const MainActions& actions);

// The sleep timer's items among the frame's actions.
SleepActions SleepActionsOf(const MainActions& actions);

// Opens a web address with the desktop's browser. The outcome is not
// examined. UI thread only.
void OpenInBrowser(const QString& address);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_MAIN_MENU_H_
