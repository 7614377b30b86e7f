#ifndef VIDORA_UI_SHELL_APP_STARTUP_H_
#define VIDORA_UI_SHELL_APP_STARTUP_H_

#include <QString>
#include <QStringList>

#include <optional>

#include "ui/shell/command_line.h"

namespace vidora {

// The name the single-instance lock and server go by.
inline constexpr char kInstanceTitle[] = "Vidora";

// The exit code of a start whose arguments the player cannot take.
inline constexpr int kBadCommandLine = 2;

// What main() does before it makes the application object, from the raw
// `arguments`: --help and --version print their text and give 0; without
// a reachable display a one-line error goes to standard error and the
// result is 1. Otherwise nullopt: the player is to run.
std::optional<int> ExitBeforeApplication(const QStringList& arguments);

// Reads the application object's arguments (Qt's own options taken out)
// and runs RunPlayer with the requests. A bad argument prints one line to
// standard error; a player that runs already still gets the rest (exit
// code 1), otherwise the result is kBadCommandLine.
int RunPlayerFromCommandLine();

class MainFrame;

// The close sequence's save of the settings: a failure is never silent.
// The user gets "msg_save_failed" with the file and the reason, on
// standard error when a signal closes the player (nobody may be there to
// dismiss a box). Returns whether the file was saved.
bool SaveSettingsOrReport();

// When the settings folder cannot be written, tells the user at once
// ("msg_settings_not_kept" with the file and the reason) rather than at
// the close; the player runs on either way.
void WarnWhenSettingsCannotBeKept();

// A later start's forwarded `command_line` reached the running player:
// the frame comes forward (MainFrame::OnLaterStart) and, once the answer
// went back to the later start, acts on its requests (ActOnCommandLine).
// Returns what OnLaterStart returned.
bool TakeLaterStart(MainFrame& frame, const QString& command_line);

// While the `first_run` setting is true (its default), asks for the
// language with the first-run dialog. Returns whether start-up goes on:
// true when the flag was clear or the dialog was confirmed (the flag is
// then cleared), false when it was cancelled (the flag stays set).
bool RunFirstRunDialog();

// Runs the player inside the application object that main() made, on the
// UI thread, and returns the process's exit code. A running player gets
// `requests` forwarded (ForwardedCommandLine) and acts on them; otherwise
// this one does once its main window is up (ActOnCommandLine), or ends
// with kBadCommandLine when `requests` holds an error. Files are
// found and kept where SystemAppPaths says. Exit codes:
//   1  an already running player took over (it came to the front);
//   0  after the main window closed, or when the first-run dialog was
//      cancelled (nothing saved, so it comes again next time);
//   kInstanceCheckFailed / kInstanceInvalidArgument when the
//      single-instance check could not be made.
// Start-up order: single-instance check, removal of what killed saves left
// beside the settings and the catalogue, settings, language pack, resource
// pack, one message each when the settings or the language pack were
// damaged, motion sensor, the first-run dialog while `first_run` is set,
// the loading screen (up on the display before the main window is built),
// the main window and its event loop, the media engine's library starting
// to load on a worker once the window is shown (PreloadMpvLibrary; as the
// loading screen shows when `requests` name a stream to play); shutdown: motion
// sensor, catalogue, resource pack, language pack. SIGTERM, SIGINT and the
// main window's close button end any dialog and the run within about two
// seconds; once the main window exists its close sequence saves.
int RunPlayer(const CommandLineRequests& requests = {});

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_APP_STARTUP_H_
