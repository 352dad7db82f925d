// varkon: the configuration utility.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/quit_signals.h"

// Qt is not built with ThreadSanitizer, so the way its own threads synchronise is invisible to
// it. Calls made from Qt's libraries are therefore not checked; everything our code does still
// is. TSAN_OPTIONS given by the user come on top.
extern "C" const char* __tsan_default_options() {
  return "ignore_noninstrumented_modules=1";
}

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(varkon::kProductName));
  // The installed desktop entry's id, so the desktop matches the window to its entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.varkon.KorvuWired"));
  QApplication::setQuitOnLastWindowClosed(false);

  std::vector<std::string> args;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  varkon::StartupOptions options;
  std::string error;
  if (!varkon::ParseStartupArgs(args, options, error)) {
    std::fprintf(stderr, "varkon: %s\n", error.c_str());
    return 1;
  }

  varkon::QuitSignals quitSignals([] { QCoreApplication::quit(); });
  varkon::Program program;
  switch (program.Start(options, error)) {
    case varkon::Program::StartResult::WokeRunning:
      return 0;
    case varkon::Program::StartResult::Failed:
      std::fprintf(stderr, "varkon: %s\n", error.c_str());
      return 1;
    case varkon::Program::StartResult::Running:
      break;
  }
  QApplication::exec();
  return 0;
}
