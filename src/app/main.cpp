// The vidora executable: the command line, the application object and the
// player's run.
#include <QApplication>
#include <QStringList>

#include "ui/shell/app_startup.h"

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  // --help, --version and a missing display need no application object
  // (which would abort without a display).
  if (const std::optional<int> exit_code = vidora::ExitBeforeApplication(arguments)) return *exit_code;
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);  // the main window's close sequence ends the run
  return vidora::RunPlayerFromCommandLine();
}
