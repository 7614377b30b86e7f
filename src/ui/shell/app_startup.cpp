#include "ui/shell/app_startup.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string>

#include "core/document/large_block.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/document/text_codec.h"
#include "core/document/atomic_file.h"
#include "core/playlists/playlist_paths.h"
#include "core/stores/app_paths.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/save_failure.h"
#include "core/stores/settings_store.h"
#include "ui/accessibility/accessible_role.h"
#include "ui/accessibility/atspi_call_guard.h"
#include "ui/desktop/focus_ring_style.h"
#include "ui/desktop/rotation_policy.h"
#include "ui/desktop/window_placement.h"
#include "ui/dialogs/language_dialog.h"
#include "ui/dialogs/loading_screen.h"
#include "ui/playback/mpv_library.h"
#include "ui/shell/command_line_actions.h"
#include "ui/shell/display_check.h"
#include "ui/shell/close_button_watch.h"
#include "ui/shell/display_orientation.h"
#include "ui/shell/iio_motion_sensor.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/motion_sensor.h"
#include "ui/shell/signal_closer.h"
#include "ui/shell/single_instance.h"
#include "ui/skin/app_icon.h"
#include "ui/lifecycle/app_closing.h"
#include "ui/skin/resource_pack.h"
#include "ui/settings/system_app_paths.h"
#include "ui/texts/system_language.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

// The main window while it exists, for the signal handling.
QPointer<MainFrame> g_frame;

// Plain messages of the core (the catalogue loader's warnings, the HTTP
// client's diagnostics) as modal boxes on the UI thread; a message from
// another thread waits until the box has been dismissed. A box never
// belongs to the loading screen: at start-up it goes to the main window.
void InstallMessageSink() {
  SetMessageSink([](const std::u16string& text, const std::u16string& caption) {
    auto show = [text, caption] {
      ShowPlainMessageBox(LastingOwner(g_frame.data()), ToQString(text), ToQString(caption));
    };
    if (QThread::currentThread() == qApp->thread()) {
      show();
    } else {
      QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
    }
  });
}

// A close request that came while no main window existed yet (settings
// being read, the loading screen up, the window being built): the window
// closes as soon as it exists, so that its close sequence still saves.
bool g_close_requested = false;
// The close came from a signal: nobody may be at the screen to dismiss a
// message, so a failed save is reported on standard error instead.
bool g_closing_from_signal = false;

constexpr int kCloseRetryMs = 50;
// How long after the main window is shown the media engine starts loading.
constexpr int kEngineLoadDelayMs = 100;

// SIGTERM, SIGINT, or the main window's close button while a dialog is
// open. From now on no message box or dialog opens (AppClosing); the open
// ones are closed from the top (a wait dialog cancels its transfers and
// ends once its worker has returned), so that the close sequence never runs
// under a dialog that still uses the view; then the main window closes like
// the exit command. Before the main window exists the request is kept and
// the window closes as soon as it does; during the first-run dialog that
// dialog is cancelled.
void CloseFromSignal() {
  SetAppClosing(true);
  g_close_requested = true;
  if (QWidget* modal = QApplication::activeModalWidget()) {
    // A cancel, not a window close: some dialogs refuse close requests
    // by design (the channels dialog), none refuses its cancel for long.
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
    QTimer::singleShot(kCloseRetryMs, qApp, [] { CloseFromSignal(); });
    return;
  }
  if (g_frame) g_frame->close();
}

// Data files that a killed save left beside the settings, the catalogue,
// the stored playlists and the cached guides and logos; no save of this
// process has started yet.
void RemoveSaveDebris() {
  RemoveStaleTemporaryFiles(ConfigFile(kSettingsFileName));
  RemoveStaleTemporaryFiles(UserDataFile(kCatalogueFileName));
  for (const std::filesystem::path& folder : {PlaylistFolder(), GuideCacheFolder(), LogoCacheFolder()}) {
    RemoveStaleTemporaryFilesIn(folder);
  }
}

// What start-up found damaged, said once the texts are loaded.
void ReportDamagedFiles(bool settings_damaged, bool language_pack_damaged) {
  if (language_pack_damaged) ShowMessageByKey(nullptr, "msg_lang_damaged", MessageButtons::kOk);
  if (settings_damaged) ShowMessageByKey(nullptr, "msg_settings_reset", MessageButtons::kOk);
}

}  // namespace

bool SaveSettingsOrReport() {
  if (SaveSettings()) return true;
  const std::filesystem::path& path = Settings().path();
  const std::string reason = DescribeWriteFailure(path);
  if (g_closing_from_signal) {
    std::fprintf(stderr, "%s\n", Utf16ToUtf8(SaveFailureMessage(path, reason)).c_str());
  } else {
    ReportSaveFailure(path, reason);
  }
  return false;
}

void WarnWhenSettingsCannotBeKept() {
  const std::filesystem::path& path = Settings().path();
  const std::string problem = FolderWriteProblem(path);
  if (problem.empty()) return;
  ShowPlainMessage(FileProblemMessage("msg_settings_not_kept", path, problem), AppTitle());
}

bool TakeLaterStart(MainFrame& frame, const QString& command_line) {
  if (!frame.OnLaterStart(command_line)) return false;
  // After the answer went back: the later start must not wait for a
  // stream to open.
  QPointer<MainFrame> window(&frame);
  QTimer::singleShot(0, &frame, [window, command_line] {
    if (window && !window->closed()) ActOnCommandLine(*window, ParseForwardedCommandLine(command_line));
  });
  return true;
}

namespace {

int RunMainWindow(SingleInstance& instance, const CommandLineRequests& requests) {
  int exit_code = 0;
  MainFrameOptions options;
  options.save_settings = SaveSettingsOrReport;
  options.on_closed = [] { QCoreApplication::exit(0); };
  // The output to turn is the one that shows the middle of the frame. A
  // desktop's monitor is never turned: only a device with a motion sensor
  // or a built-in panel made to be turned gets the back end.
  if (RotationMakesSense(HasMotionSensor(), ConnectedOutputs())) {
    options.display_orientation = [](QWidget* frame) {
      return CreateXRandrDisplayOrientation([frame] { return frame->geometry().center(); });
    };
  }
  options.desktop = [] { return DesktopServicesOfThisSession(); };
  options.remember_place = true;
  auto frame = std::make_unique<MainFrame>(std::move(options));
  MainFrame* window = frame.get();
  g_frame = window;
  CloseButtonWatch close_button(window, [] { CloseFromSignal(); });
  PlaceMainWindow(window);
  instance.Listen([window](const QString& command_line) { return TakeLaterStart(*window, command_line); });
  frame->show();
  frame->raise();
  frame->activateWindow();
  // Once the window has had its first paint; the player comes up when the
  // library is there (or waits for it at the first Play).
  QTimer::singleShot(kEngineLoadDelayMs, window, [] { PreloadMpvLibrary(); });
  if (g_close_requested) {
    QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
  } else {
    QTimer::singleShot(0, window, [window, requests] {
      if (window->closed()) return;
      WarnWhenSettingsCannotBeKept();
      if (!window->closed()) ActOnCommandLine(*window, requests);
    });
  }
  exit_code = QApplication::exec();
  g_frame = nullptr;
  frame.reset();
  return exit_code;
}

}  // namespace

bool RunFirstRunDialog() {
  if (!GetSetting(kFirstRunSetting)) return true;
  LanguageDialog dialog(QApplication::activeWindow());
  dialog.exec();
  if (!dialog.confirmed()) return false;
  SetSetting(kFirstRunSetting, false);
  return true;
}

std::optional<int> ExitBeforeApplication(const QStringList& arguments) {
  const CommandLineRequests requests = ParseCommandLine(arguments);
  // Qt's own options (-platform, -display, ...) are unknown to the parser
  // until the application object has taken them out: errors wait until then.
  if (requests.show_help) {
    std::fputs(CommandLineHelpText().toLocal8Bit().constData(), stdout);
    return 0;
  }
  if (requests.show_version) {
    std::fputs(CommandLineVersionText().toLocal8Bit().constData(), stdout);
    return 0;
  }
  const QString no_display = MissingDisplayReason(arguments);
  if (!no_display.isEmpty()) {
    std::fprintf(stderr, "%s\n", no_display.toLocal8Bit().constData());
    return 1;
  }
  return std::nullopt;
}

int RunPlayerFromCommandLine() {
  const CommandLineRequests requests = ParseCommandLine(QCoreApplication::arguments());
  if (!requests.error.isEmpty()) std::fprintf(stderr, "%s\n", requests.error.toLocal8Bit().constData());
  return RunPlayer(requests);
}

int RunPlayer(const CommandLineRequests& requests) {
  // Taken over first: once the lock shows that this player runs, a close
  // request must reach it.
  SignalCloser closer([] {
    g_closing_from_signal = true;
    CloseFromSignal();
  });
  SingleInstance instance(QString::fromLatin1(kInstanceTitle));
  const int check = instance.Check(ForwardedCommandLine(requests));
  if (check < 0 || check == 1) return check;
  KeepLargeBlocksApart();
  // A later start hands over what it understood and ends as any later
  // start does; a first one does not run on arguments it cannot take.
  if (!requests.error.isEmpty()) return kBadCommandLine;

  // Every window, the first-run dialog included, carries the icon; the
  // desktop matches the windows to vidora.desktop.
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("vidora"));
  // Before any window: a screen reader may ask as soon as one shows.
  InstallAtSpiCallGuard();
  InstallAccessibleRoles();
  InstallSystemAppPaths();
  InstallMessageSink();
  RemoveSaveDebris();
  LoadSettings(kSettingsFileName);
  LoadLanguagePack(kLanguagePackFileName);
  // Qt's own texts (message box buttons) in the interface language.
  if (const int current = Languages().CurrentIndex(); current >= 0) {
    InstallQtTranslations(ToQString(LanguageCode(current)));
  }
  LoadResourcePack(kResourcePackFileName);
  ReportDamagedFiles(Settings().damaged(), Languages().damaged());
  InstallFocusRing();
  std::unique_ptr<MotionSensor> sensor = OpenMotionSensor();
  SetCurrentMotionSensor(sensor.get());

  int exit_code = 0;
  // A close request before the first-run dialog is a cancel of it.
  if (!g_close_requested && RunFirstRunDialog()) {
    ShowLoadingScreen();
    // The media engine's hundred-odd libraries load on a worker, and only
    // once the main window is up (RunMainWindow) unless a channel is to
    // play at once: while the dynamic loader loads a library it holds every
    // other thread's library loads and thread starts, and the UI thread's
    // own (Qt's image-format plugins for the icon and the skin, the
    // accessibility bridge's session-bus thread, the image scaler's pool
    // for the splash) would wait behind them, and on a busy machine the
    // loading takes the cores the window needs.
    if (!requests.stream_addresses.isEmpty()) PreloadMpvLibrary();
    exit_code = RunMainWindow(instance, requests);
    CloseLoadingScreen();  // a window that failed before its first tick
  }

  sensor->Close();
  SetCurrentMotionSensor(nullptr);
  sensor.reset();
  FreeCatalogue();
  FreeResourcePack();
  FreeLanguagePack();
  SetMessageSink({});
  SetAppClosing(false);
  g_close_requested = false;
  return exit_code;
}

}  // namespace vidora
