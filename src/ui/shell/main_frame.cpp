#include "ui/shell/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QTimer>

#include "core/catalogue/channel_catalogue.h"
#include "ui/catalogue/channels_dialog_state.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "core/timeshift/timeshift_buffer.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/desktop/desktop_keys.h"
#include "ui/desktop/window_placement.h"
#include "ui/accessibility/accessible_role.h"
#include "ui/dialogs/loading_screen.h"
#include "ui/dialogs/passing_warning.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/guide/guide_entry.h"
#include "ui/health/channel_health_check.h"
#include "ui/parental/parental_lock.h"
#include "ui/playlists/playlist_drop_target.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/playlists/playlist_note.h"
#include "ui/playback/player_host.h"
#include "ui/recording/recording_badge.h"
#include "ui/recording/recording_controller.h"
#include "ui/recording/schedule_toggle.h"
#include "ui/providers/provider_setup.h"
#include "ui/providers/provider_texts.h"
#include "ui/shell/key_press_watch.h"
#include "ui/timeshift/restart_programme.h"
#include "ui/timeshift/timeshift_bar.h"
#include "ui/timeshift/timeshift_disk_watch.h"
#include "ui/tracks/watching_controls.h"
#include "ui/zapping/channel_zapper.h"
#include "ui/shell/motion_sensor.h"
#include "ui/shell/source_commands.h"
#include "ui/sleep/sleep_commands.h"
#include "ui/sleep/sleep_timer.h"
#include "ui/lifecycle/app_closing.h"
#include "ui/settings/settings_autosave.h"
#include "ui/texts/ui_texts.h"
#include "ui/lifecycle/ui_thread.h"

namespace vidora {

namespace {

constexpr int kFrameTickMs = 100;

// Whether `window` is the frame or its chain of parents reaches it.
bool ReachesFrame(const QWidget* window, const QWidget* frame) {
  for (; window != nullptr; window = window->parentWidget()) {
    if (window == frame) return true;
  }
  return false;
}

// Whether the application's active window is `frame` or one of its windows.
bool IsFrameInFront(const QWidget* frame) { return ReachesFrame(QApplication::activeWindow(), frame); }

}  // namespace

MainFrame::MainFrame(MainFrameOptions options) : options_(std::move(options)) {
  AssertUiThread();
  resize(kDefaultWidth, kDefaultHeight);
  setWindowTitle(ToQString(AppTitle()));

  EnableSourceFeatures();
  actions_ = new MainActions(this);
  DefineActions();
  menu_ = BuildMenu(*actions_);
  SetAccessibleRole(this, QAccessible::Window);  // a screen reader's "frame"
  soft_keys_ = new SoftKeyBar(this);
  soft_keys_->SetLeftAction(menu_.left);
  soft_keys_->SetRightMenu(menu_.right_caption, menu_.right.get());

  parental_ = std::make_unique<ParentalLock>();
  view_ = new MainView(this, actions_, options_.view);
  autosave_ = std::make_unique<SettingsAutosave>([this] {
    if (options_.remember_place) RememberMainWindow(this);
  });
  LayoutChildren();
  PlaylistDropTarget::Install(this);
  recordings_ = new RecordingController(RecordingController::DefaultOptions(), this);
  new ChannelHealthCheck(ChannelHealthCheck::DefaultOptions(), this);
  if (PlaylistManager* playlists = view_->playlists()) {
    auto* guide = new GuideEntry(this, *playlists, [this](Channel* channel) {
      if (view_ != nullptr) view_->PlayChannel(channel);
    });
    guide->set_play_archive([this](const Channel& channel, const std::u16string& address, const std::u16string& name) {
      if (view_ != nullptr) view_->playback()->PlayCatchup(channel, address, name);
    });
    guide->set_recorder(GuideRecorder(*recordings_));
    FollowProviderAccounts(this, *playlists, *view_->playback());
    connect(playlists, &PlaylistManager::GuideFailed, this, [this](const QString& summary, const QString& details) {
      if (!closed_) ShowPlainMessageBox(DialogOwner(), summary + QStringLiteral("\n") + details, ToQString(AppTitle()));
    });
    connect(playlists, &PlaylistManager::Imported, this, [this](bool ok, const QString& detail, const QString& text) {
      if (closed_) return;
      if (ok) ShowPlaylistNote(this, text, detail);
      else ShowPlaylistFailure(DialogOwner(), text, detail);
    });
    connect(playlists, &PlaylistManager::PlaylistAdded, this, [this](const QString& key) {
      // Queued: the channels dialog runs a loop of its own, which must not
      // run inside the manager's report. It opens only over the bare main
      // window, never on top of a dialog the user opened meanwhile.
      QTimer::singleShot(0, this, [this, key] {
        if (closed_ || AppClosing() || QApplication::activeModalWidget() != nullptr) return;
        ChooseDialogPlaylist(key.toStdString());
        RunChannels();
      });
    });
    connect(playlists, &PlaylistManager::StreamGiven, this, [this](const QString& address) {
      if (!closed_ && view_ != nullptr && Catalogue() != nullptr) {
        view_->PlayChannel(Catalogue()->MakeAddressChannel(address.toStdU16String()));
      }
    });
  }

  if (options_.desktop) {
    DesktopSession::Services services = options_.desktop();
    services.raise = [this] { OnLaterStart(last_command_line_); };
    services.quit = [this] { Trigger(MainCommand::kExit); };
    services.hold = [this](bool hold) {
      if (timeshift_ == nullptr || !timeshift_->seekable()) return false;
      if (timeshift_->paused() != hold) timeshift_->TogglePause();
      return true;
    };
    desktop_ = std::make_unique<DesktopSession>(view_->playback(), std::move(services));
  }

  // The timer's end quits as the Exit command does, when chosen.
  sleep_ = std::make_unique<SleepTimer>(view_->playback(), [this] { Trigger(MainCommand::kExit); });
  FollowSleepMenu(menu_.sleep, SleepActionsOf(*actions_), sleep_.get(), view_->playback());

  new RecordingBadge(this, recordings_);
  AddDesktopKeys();
  watching_ = new WatchingControls(this, *view_->playback());
  // Beside the other things of what plays, before About and Exit.
  QAction* before = nullptr;
  for (QAction* action : menu_.right->actions()) {
    if (action->isSeparator()) {
      before = action;
      break;
    }
  }
  watching_->AddMenus(menu_.right.get(), before);
  zapper_ = new ChannelZapper(this, *view_->playback(), watching_->note(), [this](Channel* channel) {
    if (view_ != nullptr) view_->PlayChannel(channel);
  });

  if (options_.display_orientation) orientation_ = options_.display_orientation(this);
  watch_ = std::make_unique<KeyPressWatch>(nullptr, this);
  connect(&timer_, &QTimer::timeout, this, &MainFrame::Tick);
  timer_.start(kFrameTickMs);
}

MainFrame::~MainFrame() {
  timer_.stop();
  desktop_.reset();  // it observes the view's playback
  sleep_.reset();  // so does the sleep timer
  delete view_;  // a frame that never closed still ends its view first
  view_ = nullptr;
}

void MainFrame::AddDesktopKeys() {
  DesktopKeyActions actions;
  actions.play_stop = [this] {
    PlaybackControl* playback = view_ != nullptr ? view_->playback() : nullptr;
    if (playback == nullptr) return;
    if (playback->playing()) {
      // Space pauses and resumes (live channels into their buffer); Stop
      // stays on its button.
      if (timeshift_ != nullptr) timeshift_->TogglePause();
    } else {
      playback->PlayChannel(nullptr);
    }
  };
  actions.toggle_full_screen = [this] { Trigger(MainCommand::kFullScreen); };
  actions.in_full_screen = [this] { return view_ != nullptr && view_->full_screen_layout(); };
  actions.volume = [this] { return view_ != nullptr ? view_->playback()->volume_level() : 0; };
  actions.set_volume = [this](int level) {
    if (view_ != nullptr) view_->playback()->SetVolume(level);
  };
  actions.toggle_mute = [this] {
    if (view_ != nullptr) view_->playback()->ToggleMute();
  };
  actions.step_favourite = [this](bool next) {
    if (view_ != nullptr) view_->playback()->StepFavourite(next);
  };
  actions.step_channel = [this](bool next) {
    if (zapper_ != nullptr) zapper_->Step(next);
  };
  actions.toggle_recording = [this] { Trigger(MainCommand::kRecord); };
  keys_ = new DesktopKeys(this, std::move(actions));
  PlaybackControl* playback = view_->playback();
  if (PlayerHost* host = playback->player(); host != nullptr && host->window() != nullptr) {
    timeshift_ = new TimeshiftBar(host->window()->parentWidget(), this, host, PlaybackControl::Limits());
    timeshift_->Follow(host->window());
    if (desktop_) connect(timeshift_, &TimeshiftBar::PausedChanged, desktop_.get(), &DesktopSession::SetPaused);
    // Until the disk is nearly full; then the buffer goes to memory.
    auto* disk = new TimeshiftDiskWatch(this, TimeshiftFolder());
    connect(disk, &TimeshiftDiskWatch::DiskLow, this, [this](qint64 free_megabytes) {
      if (view_ == nullptr) return;
      view_->playback()->MoveTimeshiftToMemory();
      ShowPassingWarning(DialogOwner(), ToQString(AppTitle()), Text("timeshift_disk_low").arg(free_megabytes),
                         QString::fromStdString(TimeshiftFolder().string()));
    });
    timeshift_->set_restart_programme([this] {
      const PlaylistManager* playlists = PlaylistManager::Current();
      if (view_ == nullptr || playlists == nullptr) return;
      const QString refusal = RestartRunningProgramme(*view_->playback(), *playlists);
      if (!refusal.isEmpty() && watching_ != nullptr) watching_->note()->Show(refusal);
    });
  }
  if (playback->player() != nullptr) keys_->WatchPicture(playback->player()->window());
  keys_->WatchPicture(playback->radio());
}

QWidget* MainFrame::DialogOwner() { return LastingOwner(this); }

void MainFrame::Trigger(MainCommand command) {
  AssertUiThread();
  actions_->Get(command)->trigger();
}

void MainFrame::RunChannels() {
  ChannelsDialog dialog(DialogOwner());
  dialog.exec();
  if (closed_ || view_ == nullptr) return;  // closed from outside meanwhile
  repaint();
  if (dialog.play_requested()) view_->PlayChannel(dialog.chosen_channel());
}

void MainFrame::ToggleFullScreen() {
  if (view_ == nullptr) return;
  if (view_->full_screen_layout()) {
    // Only a turn that entering made is undone: on a screen that was
    // already wide nothing turned, and asking for portrait now would turn
    // the user's screen on its side.
    if (turned_for_full_screen_) SetDisplayOrientation(DMDO_0);
    turned_for_full_screen_ = false;
    // A desktop window goes back to where and how it was (normal or
    // maximised), not to the whole work area.
    setWindowState(state_before_full_screen_);
    show();
    bar_hidden_ = false;
    soft_keys_->show();
    soft_keys_->repaint();
  } else {
    state_before_full_screen_ = windowState() & ~(Qt::WindowFullScreen | Qt::WindowMinimized);
    showFullScreen();
    bar_hidden_ = true;
    soft_keys_->hide();
    // With a sensor the display follows the device; LandscapeFS is not read.
    if (!HasMotionSensor() && GetSetting(kLandscapeFullScreenSetting)) {
      turned_for_full_screen_ = SetDisplayOrientation(DMDO_270);
    }
  }
  // The tap or key that chose the command must not end the new state.
  watch_->TakePressed();
  LayoutChildren();
  view_->ToggleFullLayout();
  view_->Relayout();
}

bool MainFrame::OnLaterStart(const QString& command_line) {
  AssertUiThread();
  if (closed_) return false;
  last_command_line_ = command_line;
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  // Owned windows follow, so that an open dialog is not left behind the
  // frame; the modal one, if any, keeps the focus.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window == this || !window->isVisible() || !ReachesFrame(window, this)) continue;
    window->raise();
  }
  if (QWidget* modal = QApplication::activeModalWidget(); ReachesFrame(modal, this)) {
    modal->activateWindow();
  }
  return true;
}

void MainFrame::Tick() {
  AssertUiThread();
  if (closed_) return;
  // Full screen lasts until the user leaves it on the player itself: on a
  // desktop, focus moving to another window, another monitor or one of the
  // player's dialogs is no reason to end it.
  if (view_ != nullptr && view_->full_screen_layout() && watch_->TakePressed()) {
    Trigger(MainCommand::kFullScreen);
    return;
  }
  MotionSensor* sensor = CurrentMotionSensor();
  if (sensor == nullptr || !sensor->Available()) return;
  MotionSample sample;
  const bool read = sensor->Read(sample);
  const auto turn = tilt_.Feed(ClassifyTilt(read, sample), IsFrameInFront(this));
  if (turn.has_value()) SetDisplayOrientation(*turn);
}

FullScreenTurn MainFrame::full_screen_turn() const {
  if (HasMotionSensor()) return FullScreenTurn::kBySensor;
  return orientation_ != nullptr ? FullScreenTurn::kBySetting : FullScreenTurn::kNever;
}

bool MainFrame::SetDisplayOrientation(int value) {
  return orientation_ != nullptr && orientation_->SetDisplayOrientation(value);
}

void MainFrame::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  closed_ = true;
  timer_.stop();
  // Leaving by Ctrl+Q or a signal while in full screen must not leave the
  // display turned after the player has gone.
  if (turned_for_full_screen_) SetDisplayOrientation(DMDO_0);
  turned_for_full_screen_ = false;
  // The screen may blank again and the desktop's widgets let go of us.
  desktop_.reset();
  // Recordings end first, with their files given their final names.
  recordings_->StopAll();
  autosave_.reset();
  sleep_.reset();
  if (view_ != nullptr) view_->StopPlayer();
  if (options_.remember_place) RememberMainWindow(this);
  if (options_.save_settings) {
    options_.save_settings();
  } else {
    SaveSettings();
  }
  delete view_;
  view_ = nullptr;
  event->accept();
  if (options_.on_closed) options_.on_closed();
}

void MainFrame::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutChildren();
  if (autosave_ != nullptr && options_.remember_place) autosave_->Changed();
}

void MainFrame::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (autosave_ != nullptr && options_.remember_place) autosave_->Changed();
}

void MainFrame::LayoutChildren() {
  const int bar = bar_hidden_ ? 0 : SoftKeyBar::BarHeight();
  soft_keys_->setGeometry(0, height() - bar, width(), bar);
  if (view_ != nullptr) view_->setGeometry(0, 0, width(), height() - bar);
}

}  // namespace vidora
