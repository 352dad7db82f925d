// The control tests need a QApplication; without a display they use Qt's offscreen platform.
// Skins and images come from the source tree's resources.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

// Qt is not built with ThreadSanitizer; calls made from its libraries are not checked.
extern "C" const char* __tsan_default_options() {
  return "ignore_noninstrumented_modules=1";
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("VARKON_RESOURCE_DIR", VARKON_SOURCE_DIR "/resources");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
