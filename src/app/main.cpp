// The vidora executable: the application object and the player's run.
#include <QApplication>

#include "ui/shell/app_startup.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);  // the main window's close sequence ends the run
  return vidora::RunPlayer();
}
