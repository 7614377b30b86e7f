#ifndef VIDORA_UI_SHELL_MAIN_MENU_H_
#define VIDORA_UI_SHELL_MAIN_MENU_H_

#include <QString>

#include <memory>

class QMenu;

namespace vidora {

// The main frame's soft-key menu: the left key runs one command, the right
// key opens a pop-up whose items carry their command ids (see
// AddMenuCommand). Captions are texts of the current language.
struct MainMenu {
  QString left_caption;  // "menu_channels"
  int left_command = 0;  // ID_CHANNELS
  QString right_caption;  // "menu_menu"
  std::unique_ptr<QMenu> right;  // full screen, settings, updates, about, exit
  QMenu* sleep = nullptr;  // the sleep timer's sub-menu, owned by `right`
};

// Builds the menu with every caption looked up in the current language.
// UI thread only.
MainMenu BuildMenu();

// Opens a web address with the desktop's browser. The outcome is not
// examined. UI thread only.
void OpenInBrowser(const QString& address);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_MAIN_MENU_H_
