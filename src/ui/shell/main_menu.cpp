#include "ui/shell/main_menu.h"

#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

#include "ui/shell/main_actions.h"
#include "ui/shell/source_commands.h"
#include "ui/sleep/sleep_commands.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

MainMenu BuildMenu(const MainActions& actions) {
  MainMenu menu;
  menu.left = actions.Get(MainCommand::kChannels);
  menu.right_caption = Text("menu_menu");
  menu.right = std::make_unique<QMenu>(menu.right_caption);
  QMenu* right = menu.right.get();
  for (MainCommand command : {MainCommand::kFullScreen, MainCommand::kSettings, MainCommand::kAddPlaylist,
                              MainCommand::kRecord, MainCommand::kRecordings}) {
    right->addAction(actions.Get(command));
  }
  AddSourceMenuItems(right, actions);
  right->addAction(actions.Get(MainCommand::kGuideGrid));
  menu.sleep = AddSleepMenu(right, SleepActionsOf(actions));
  if (VIDORA_UPDATE_CHECKS) {  // a distribution may build without the publisher's checks
    QMenu* updates = right->addMenu(Text("menu_updates"));
    updates->addAction(actions.Get(MainCommand::kUpdate));
    updates->addAction(actions.Get(MainCommand::kChannelUpdate));
    updates->addAction(actions.Get(MainCommand::kRefreshPlaylists));
  }
  right->addSeparator();
  right->addAction(actions.Get(MainCommand::kAbout));
  right->addSeparator();
  right->addAction(actions.Get(MainCommand::kExit));
  return menu;
}

SleepActions SleepActionsOf(const MainActions& actions) {
  SleepActions sleep;
  sleep.off = actions.Get(MainCommand::kSleepOff);
  sleep.minutes = {actions.Get(MainCommand::kSleep15), actions.Get(MainCommand::kSleep30),
                   actions.Get(MainCommand::kSleep60), actions.Get(MainCommand::kSleep90)};
  sleep.end_of_programme = actions.Get(MainCommand::kSleepEndOfProgramme);
  sleep.quit = actions.Get(MainCommand::kSleepQuit);
  return sleep;
}

void OpenInBrowser(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

}  // namespace vidora
