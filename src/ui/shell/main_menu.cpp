#include "ui/shell/main_menu.h"

#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

#include "core/commands/command_ids.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/shell/source_commands.h"
#include "ui/sleep/sleep_commands.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

MainMenu BuildMenu() {
  MainMenu menu;
  menu.left_caption = Text("menu_channels");
  menu.left_command = ID_CHANNELS;
  menu.right_caption = Text("menu_menu");
  menu.right = std::make_unique<QMenu>(menu.right_caption);
  QMenu* right = menu.right.get();
  AddMenuCommand(right, Text("menu_fullscreen"), ID_FULLSCREEN);
  AddMenuCommand(right, Text("menu_settings"), ID_SETTINGS);
  AddMenuCommand(right, Text("menu_add_playlist"), ID_ADD_PLAYLIST);
  AddMenuCommand(right, Text("menu_record"), ID_RECORD);
  AddMenuCommand(right, Text("menu_recordings"), ID_RECORDINGS);
  AddSourceMenuItems(right);
  AddMenuCommand(right, Text("str_programme_guide"), ID_GUIDE_GRID);
  menu.sleep = AddSleepMenu(right);
  if (VIDORA_UPDATE_CHECKS) {  // a distribution may build without the publisher's checks
    QMenu* updates = right->addMenu(Text("menu_updates"));
    AddMenuCommand(updates, Text("menu_update"), ID_UPDATE);
    AddMenuCommand(updates, Text("menu_channel_update"), ID_CHANNEL_UPDATE);
    AddMenuCommand(updates, Text("menu_refresh_playlists"), ID_REFRESH_PLAYLISTS);
  }
  right->addSeparator();
  AddMenuCommand(right, Text("menu_about"), ID_ABOUT);
  right->addSeparator();
  AddMenuCommand(right, Text("menu_exit"), ID_EXIT);
  return menu;
}

void OpenInBrowser(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

}  // namespace vidora
