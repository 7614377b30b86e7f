#include "ui/sleep/sleep_commands.h"

#include <QAction>
#include <QMenu>

#include "core/catalogue/channel_catalogue.h"
#include "core/commands/command_ids.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/playback/playback_control.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/sleep/sleep_timer.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

struct MinutesCommand {
  int command;
  int minutes;
};

constexpr MinutesCommand kMinutes[] = {
    {ID_SLEEP_15, 15},
    {ID_SLEEP_30, 30},
    {ID_SLEEP_60, 60},
    {ID_SLEEP_90, 90},
};

QAction* FindCommand(QMenu* menu, int command) {
  for (QAction* action : menu->actions()) {
    if (MenuCommandOf(action) == command) return action;
  }
  return nullptr;
}

}  // namespace

QMenu* AddSleepMenu(QMenu* menu) {
  QMenu* sleep = menu->addMenu(Text("menu_sleep_timer"));
  AddMenuCommand(sleep, Text("menu_sleep_off"), ID_SLEEP_OFF);
  for (const MinutesCommand& item : kMinutes) {
    AddMenuCommand(sleep, Text("menu_sleep_minutes").arg(item.minutes), item.command);
  }
  AddMenuCommand(sleep, Text("menu_sleep_end_of_programme"), ID_SLEEP_END_OF_PROGRAMME);
  sleep->addSeparator();
  AddMenuCommand(sleep, Text("menu_sleep_quit"), ID_SLEEP_QUIT)->setCheckable(true);
  return sleep;
}

void FollowSleepMenu(QMenu* sleep_menu, SleepTimer* timer, PlaybackControl* playback) {
  if (sleep_menu == nullptr || timer == nullptr || playback == nullptr) return;
  QObject::connect(sleep_menu, &QMenu::aboutToShow, timer, [sleep_menu, timer, playback] {
    if (QAction* off = FindCommand(sleep_menu, ID_SLEEP_OFF)) off->setEnabled(timer->active());
    if (QAction* end = FindCommand(sleep_menu, ID_SLEEP_END_OF_PROGRAMME)) {
      end->setEnabled(EndOfProgrammeMs(*playback).has_value());
    }
    if (QAction* quit = FindCommand(sleep_menu, ID_SLEEP_QUIT)) quit->setChecked(timer->quit_at_end());
  });
}

std::optional<int64_t> EndOfProgrammeMs(const PlaybackControl& playback) {
  const Channel* channel = playback.playing_channel();
  const PlaylistManager* playlists = PlaylistManager::Current();
  if (channel == nullptr || playlists == nullptr) return std::nullopt;
  const ChannelProgrammes::NowNext programmes = playlists->GuideNowNext(*channel);
  if (!programmes.now || programmes.now->stop <= playlists->Now()) return std::nullopt;
  return programmes.now->stop * 1000;
}

bool RunSleepCommand(int command, SleepTimer* timer, const PlaybackControl& playback) {
  if (timer == nullptr) return false;
  for (const MinutesCommand& item : kMinutes) {
    if (item.command == command) {
      timer->StartMinutes(item.minutes);
      return true;
    }
  }
  switch (command) {
    case ID_SLEEP_OFF:
      timer->Cancel();
      return true;
    case ID_SLEEP_END_OF_PROGRAMME:
      if (const std::optional<int64_t> end = EndOfProgrammeMs(playback)) timer->StartUntil(*end);
      return true;
    case ID_SLEEP_QUIT:
      timer->set_quit_at_end(!timer->quit_at_end());
      return true;
    default:
      return false;
  }
}

}  // namespace vidora
