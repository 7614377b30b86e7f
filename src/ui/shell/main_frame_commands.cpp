// The main frame's commands: each action's caption, key and slot.
#include <QAction>
#include <QApplication>
#include <QKeySequence>

#include <string>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/language_pack.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/loading_screen.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/guide/guide_entry.h"
#include "ui/parental/parental_dialog.h"
#include "ui/playlists/playlist_dialogs.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/recording/record_what_plays.h"
#include "ui/recording/recording_controller.h"
#include "ui/recording/recordings_page.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/source_commands.h"
#include "ui/sleep/sleep_commands.h"
#include "ui/sleep/sleep_timer.h"
#include "ui/lifecycle/app_closing.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

void MainFrame::DefineActions() {
  MainActions& actions = *actions_;
  // Once the player closes no command may open another dialog.
  actions.SetGuard([this] { return !closed_ && !AppClosing(); });
  const QKeySequence none;
  actions.Define(MainCommand::kChannels, Text("menu_channels"), none, [this] { RunChannels(); });
  actions.Define(MainCommand::kFullScreen, Text("menu_fullscreen"), none, [this] { ToggleFullScreen(); });
  actions.Define(MainCommand::kSettings, Text("menu_settings"), none, [this] { RunSettings(); });
  actions.Define(MainCommand::kAddPlaylist, Text("menu_add_playlist"), none, [this] { RunAddPlaylist(); });
  // R is the desktop keys' (they trigger this action).
  actions.Define(MainCommand::kRecord, Text("menu_record"), none, [this] { RunRecord(); });
  actions.Define(MainCommand::kRecordings, Text("menu_recordings"), none, [this] { RunRecordings(); });
  DefineSourceActions(
      actions, [this] { return DialogOwner(); },
      [this](Channel* channel) {
        if (view_ != nullptr) view_->PlayChannel(channel);
      });
  // G is the guide's own key, on every window.
  actions.Define(MainCommand::kGuideGrid, Text("str_programme_guide"), none, [this] {
    if (GuideEntry* guide = GuideEntry::Current()) guide->Open(DialogOwner());
  });

  actions.Define(MainCommand::kSleepOff, Text("menu_sleep_off"), none, [this] {
    if (sleep_ != nullptr) sleep_->Cancel();
  });
  const MainCommand minutes_commands[] = {MainCommand::kSleep15, MainCommand::kSleep30, MainCommand::kSleep60,
                                          MainCommand::kSleep90};
  for (std::size_t i = 0; i < kSleepMinutes.size(); ++i) {
    const int minutes = kSleepMinutes[i];
    actions.Define(minutes_commands[i], Text("menu_sleep_minutes").arg(minutes), none, [this, minutes] {
      if (sleep_ != nullptr) sleep_->StartMinutes(minutes);
    });
  }
  actions.Define(MainCommand::kSleepEndOfProgramme, Text("menu_sleep_end_of_programme"), none, [this] {
    if (view_ != nullptr) SleepUntilEndOfProgramme(sleep_.get(), *view_->playback());
  });
  actions.Define(MainCommand::kSleepQuit, Text("menu_sleep_quit"), none, [this] {
    if (sleep_ != nullptr) sleep_->set_quit_at_end(!sleep_->quit_at_end());
  });

  actions.Define(MainCommand::kUpdate, Text("menu_update"), none, [this] {
    if (view_ != nullptr) view_->RunUpdateCommand(UpdateCommand::kApplication);
  });
  actions.Define(MainCommand::kChannelUpdate, Text("menu_channel_update"), none, [this] {
    if (view_ != nullptr) view_->RunUpdateCommand(UpdateCommand::kCatalogue);
  });
  actions.Define(MainCommand::kRefreshPlaylists, Text("menu_refresh_playlists"), none, [this] {
    if (view_ != nullptr && view_->playlists() != nullptr) view_->playlists()->RefreshPlaylists();
  });
  actions.Define(MainCommand::kAbout, Text("menu_about"), none, [this] {
    AboutDialog dialog(DialogOwner());
    dialog.exec();
  });
  actions.Define(MainCommand::kExit, Text("menu_exit"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] {
    // Like a posted close: the command that asked for it finishes first.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  });
}

void MainFrame::RunSettings() {
  // Playlists removed in the list go only when the settings are kept.
  std::vector<std::string> removed;
  SettingsDialog dialog(DialogOwner(), full_screen_turn(), [&removed](QWidget* owner) {
    if (PlaylistManager* manager = PlaylistManager::Current()) {
      PlaylistsDialog playlists(owner, *manager);
      playlists.exec();
      removed.insert(removed.end(), playlists.removed().begin(), playlists.removed().end());
    }
  }, [](QWidget* owner) { OpenParentalDialog(owner); });
  const bool kept = dialog.exec() == 1;
  if (PlaylistManager* manager = PlaylistManager::Current(); kept && manager != nullptr) {
    for (const std::string& key : removed) manager->RemovePlaylist(key);
  }
}

void MainFrame::RunAddPlaylist() {
  AddPlaylistDialog dialog(DialogOwner());
  if (dialog.exec() == 1 && !dialog.source().isEmpty() && view_ != nullptr && view_->playlists() != nullptr) {
    view_->playlists()->AddPlaylistSource(dialog.source(), true);
  }
}

void MainFrame::RunRecord() {
  if (view_ == nullptr) return;
  const QString refusal = RecordWhatPlays(*recordings_, *view_->playback());
  if (!refusal.isEmpty()) ShowPlainMessageBox(DialogOwner(), refusal, ToQString(AppTitle()));
}

void MainFrame::RunRecordings() {
  RecordingsPage page(DialogOwner(), recordings_->folder());
  if (page.exec() == QDialog::Accepted && !page.chosen_file().isEmpty() && view_ != nullptr && Catalogue()) {
    view_->playback()->PlayRecording(FromQString(page.chosen_file()));
  }
}

}  // namespace vidora
