// Runs the end-to-end tests inside one QApplication on the offscreen platform.
#include <QApplication>
#include <cstdlib>

#include <gtest/gtest.h>

#include "ui/playback/mpv_library.h"

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  // The tests play at once, as the player does when it is started with a
  // stream: the engine's library is there before the first player is made.
  vidora::SharedMpvLibrary();
  return RUN_ALL_TESTS();
}
