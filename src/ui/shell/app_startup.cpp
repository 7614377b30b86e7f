#include "ui/shell/app_startup.h"

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <memory>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/atomic_file.h"
#include "core/stores/app_paths.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "ui/dialogs/language_dialog.h"
#include "ui/dialogs/loading_screen.h"
#include "ui/shell/close_button_watch.h"
#include "ui/shell/display_orientation.h"
#include "ui/shell/iio_motion_sensor.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/motion_sensor.h"
#include "ui/shell/signal_closer.h"
#include "ui/shell/single_instance.h"
#include "ui/stores/app_closing.h"
#include "ui/stores/resource_pack.h"
#include "ui/stores/ui_texts.h"

namespace vidora {

namespace {

// Plain messages of the core (the catalogue loader's warnings, the HTTP
// client's diagnostics) as modal boxes on the UI thread; a message from
// another thread waits until the box has been dismissed.
void InstallMessageSink() {
  SetMessageSink([](const std::u16string& text, const std::u16string& caption) {
    auto show = [text, caption] {
      ShowPlainMessageBox(QApplication::activeWindow(), ToQString(text), ToQString(caption));
    };
    if (QThread::currentThread() == qApp->thread()) {
      show();
    } else {
      QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
    }
  });
}

// The main window while it exists, for the signal handling.
QPointer<MainFrame> g_frame;
// A close request that came while no main window existed yet (settings
// being read, the loading screen up, the window being built): the window
// closes as soon as it exists, so that its close sequence still saves.
bool g_close_requested = false;

constexpr int kCloseRetryMs = 50;

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
    modal->close();
    QTimer::singleShot(kCloseRetryMs, qApp, [] { CloseFromSignal(); });
    return;
  }
  if (g_frame) g_frame->close();
}

// Data files that a killed save left beside the settings and the
// catalogue; no save of this process has started yet.
void RemoveSaveDebris() {
  RemoveStaleTemporaryFiles(JoinPath(AppFolderPath(), std::filesystem::path(kSettingsFileName)));
  RemoveStaleTemporaryFiles(JoinPath(AppFolderPath(), std::filesystem::path(kCatalogueFileName)));
}

// What start-up found damaged, said once the texts are loaded.
void ReportDamagedFiles(bool settings_damaged, bool language_pack_damaged) {
  if (language_pack_damaged) ShowMessageByKey(nullptr, "msg_lang_damaged", MB_OK);
  if (settings_damaged) ShowMessageByKey(nullptr, "msg_settings_reset", MB_OK);
}

int RunMainWindow(SingleInstance& instance) {
  int exit_code = 0;
  MainFrameOptions options;
  options.on_closed = [] { QCoreApplication::exit(0); };
  // The output to turn is the one that shows the middle of the frame.
  options.display_orientation = [](QWidget* frame) {
    return CreateXRandrDisplayOrientation([frame] { return frame->geometry().center(); });
  };
  auto frame = std::make_unique<MainFrame>(std::move(options));
  MainFrame* window = frame.get();
  g_frame = window;
  CloseButtonWatch close_button(window, [] { CloseFromSignal(); });
  instance.Listen([window](const QString& command_line) { return window->OnLaterStart(command_line); });
  frame->show();
  frame->raise();
  frame->activateWindow();
  if (g_close_requested) QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
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

QString CommandLineOf(const QStringList& arguments) { return arguments.mid(1).join(QLatin1Char(' ')); }

int RunPlayer() {
  // Taken over first: once the lock shows that this player runs, a close
  // request must reach it.
  SignalCloser closer(CloseFromSignal);
  SingleInstance instance(QString::fromLatin1(kInstanceTitle));
  const int check = instance.Check(CommandLineOf(QCoreApplication::arguments()));
  if (check < 0 || check == 1) return check;

  InstallMessageSink();
  RemoveSaveDebris();
  LoadSettings(kSettingsFileName);
  LoadLanguagePack(kLanguagePackFileName);
  LoadResourcePack(kResourcePackFileName);
  ReportDamagedFiles(Settings().damaged(), Languages().damaged());
  std::unique_ptr<MotionSensor> sensor = OpenMotionSensor();
  SetCurrentMotionSensor(sensor.get());

  int exit_code = 0;
  // A close request before the first-run dialog is a cancel of it.
  if (!g_close_requested && RunFirstRunDialog()) {
    ShowLoadingScreen();
    exit_code = RunMainWindow(instance);
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
