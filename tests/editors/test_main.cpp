// The editor tests need a QApplication; without a display they use Qt's offscreen
// platform (test discovery runs this program at build time, outside the test environment).
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

// Qt is not built with ThreadSanitizer, so the way its own threads (the image-conversion pool
// behind painting) synchronise is invisible to it. Calls made from Qt's libraries are therefore
// not checked; everything our code does still is. TSAN_OPTIONS given by the user come on top.
extern "C" const char* __tsan_default_options() {
  return "ignore_noninstrumented_modules=1";
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
