#include "ui/sleep/sleep_commands.h"

#include <QAction>
#include <QMenu>

#include "core/catalogue/channel_catalogue.h"
#include "ui/playback/playback_control.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/sleep/sleep_timer.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

QMenu* AddSleepMenu(QMenu* menu, const SleepActions& actions) {
  QMenu* sleep = menu->addMenu(Text("menu_sleep_timer"));
  sleep->addAction(actions.off);
  for (QAction* minutes : actions.minutes) sleep->addAction(minutes);
  sleep->addAction(actions.end_of_programme);
  sleep->addSeparator();
  sleep->addAction(actions.quit);
  return sleep;
}

void FollowSleepMenu(QMenu* sleep_menu, const SleepActions& actions, SleepTimer* timer, PlaybackControl* playback) {
  if (sleep_menu == nullptr || timer == nullptr || playback == nullptr) return;
  QObject::connect(sleep_menu, &QMenu::aboutToShow, timer, [actions, timer, playback] {
    if (actions.off != nullptr) actions.off->setEnabled(timer->active());
    if (actions.end_of_programme != nullptr) actions.end_of_programme->setEnabled(EndOfProgrammeMs(*playback).has_value());
    if (actions.quit != nullptr) actions.quit->setChecked(timer->quit_at_end());
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

void SleepUntilEndOfProgramme(SleepTimer* timer, const PlaybackControl& playback) {
  if (timer == nullptr) return;
  if (const std::optional<int64_t> end = EndOfProgrammeMs(playback)) timer->StartUntil(*end);
}

}  // namespace vidora
