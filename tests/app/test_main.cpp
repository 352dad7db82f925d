// The program's tests need a QApplication; without a display they use Qt's offscreen platform
// (test discovery runs this program at build time, outside the test environment). The program
// folder is the source tree's resources.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

#include "support/temp_dir.h"

// Qt is not built with ThreadSanitizer, so the way its own threads synchronise is invisible to
// it. Calls made from Qt's libraries are therefore not checked; everything our code does still
// is. QProcess starts the program with a vfork-like clone that shares this process's memory
// until the exec, which makes ThreadSanitizer take this process for a forked child and refuse
// its later threads; die_after_fork=0 lets them start. TSAN_OPTIONS given by the user come on
// top.
extern "C" const char* __tsan_default_options() {
  return "ignore_noninstrumented_modules=1:die_after_fork=0";
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("VARKON_RESOURCE_DIR", VARKON_SOURCE_DIR "/resources");
  // Settings and device memories go to a folder of this run, never to the user's own.
  varkon::test::TempDir home;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.File("config")));
  qputenv("XDG_STATE_HOME", QByteArray::fromStdString(home.File("state")));
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home.File("data")));
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  const int result = RUN_ALL_TESTS();
  return result;
}
