#ifndef VIDORA_UI_SHELL_APP_STARTUP_H_
#define VIDORA_UI_SHELL_APP_STARTUP_H_

#include <QString>
#include <QStringList>

namespace vidora {

// The name the single-instance lock and server go by.
inline constexpr char kInstanceTitle[] = "Vidora";

// The command line a start hands to an already running player: its
// arguments after the program name, joined by spaces.
QString CommandLineOf(const QStringList& arguments);

// While the `first_run` setting is true (its default), asks for the
// language with the first-run dialog. Returns whether start-up goes on:
// true when the flag was clear or the dialog was confirmed (the flag is
// then cleared), false when it was cancelled (the flag stays set).
bool RunFirstRunDialog();

// Runs the player inside the application object that main() made, on the
// UI thread, and returns the process's exit code:
//   1  an already running player took over (it came to the front);
//   0  after the main window closed, or when the first-run dialog was
//      cancelled (nothing saved, so it comes again next time);
//   kInstanceCheckFailed / kInstanceInvalidArgument when the
//      single-instance check could not be made.
// Start-up order: single-instance check, removal of what killed saves left
// beside the settings and the catalogue, settings, language pack, resource
// pack, one message each when the settings or the language pack were
// damaged, motion sensor, the first-run dialog while `first_run` is set,
// the loading screen, the main window and its event loop; shutdown: motion
// sensor, catalogue, resource pack, language pack. SIGTERM, SIGINT and the
// main window's close button end any dialog and the run within about two
// seconds; once the main window exists its close sequence saves.
int RunPlayer();

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_APP_STARTUP_H_
