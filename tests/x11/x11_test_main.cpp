// The tests that need a real X server: this program starts its own Xvfb on a free display, runs
// the tests against it with Qt's xcb platform and stops the server at the end. Xvfb and xdotool
// come with scripts/install-deps; without them the run fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/temp_dir.h"
#include "x11_test_support.h"

namespace {

using namespace std::chrono_literals;

constexpr int kFirstDisplay = 71;
constexpr int kLastDisplay = 170;

bool DisplayTaken(int display) {
  const std::string number = std::to_string(display);
  return std::filesystem::exists("/tmp/.X11-unix/X" + number) ||
         std::filesystem::exists("/tmp/.X" + number + "-lock");
}

// Starts Xvfb on `display`; its pid, or -1. Its output goes to `log`. The server goes down with
// this process if the tests die.
pid_t StartServer(const std::string& xvfb, int display, const std::string& log) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out >= 0) {
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
  }
  const std::string name = ":" + std::to_string(display);
  execl(xvfb.c_str(), xvfb.c_str(), name.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
        static_cast<char*>(nullptr));
  _exit(127);
}

// The pid in the display's lock file, or -1.
pid_t LockOwner(int display) {
  std::ifstream lock("/tmp/.X" + std::to_string(display) + "-lock");
  long owner = -1;
  return lock >> owner ? static_cast<pid_t>(owner) : -1;
}

// Waits until the server `pid` listens on `display` (its socket is there and the display's lock
// is its own, not another run's that took the same number); false when it ended first or took
// too long.
bool WaitForServer(pid_t pid, int display) {
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return false;
    if (std::filesystem::exists(socket) && LockOwner(display) == pid) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

void StopServer(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return;
    std::this_thread::sleep_for(10ms);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const std::string xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb")).toStdString();
  const std::string xdotool =
      QStandardPaths::findExecutable(QStringLiteral("xdotool")).toStdString();
  if (xvfb.empty() || xdotool.empty()) {
    std::fprintf(stderr,
                 "FAILED: these tests need Xvfb and xdotool (missing:%s%s); install them with "
                 "scripts/install-deps\n",
                 xvfb.empty() ? " Xvfb" : "", xdotool.empty() ? " xdotool" : "");
    return 1;
  }
  varkon::test::TempDir home;
  const std::string log = home.File("xvfb.log");
  pid_t server = -1;
  int display = kFirstDisplay;
  for (; display <= kLastDisplay; ++display) {
    if (DisplayTaken(display)) continue;
    server = StartServer(xvfb, display, log);
    if (server > 0 && WaitForServer(server, display)) break;
    if (server > 0) StopServer(server);
    server = -1;
  }
  if (server < 0) {
    std::fprintf(stderr, "FAILED: no X server could be started on displays :%d-:%d\n",
                 kFirstDisplay, kLastDisplay);
    std::string line;
    for (std::ifstream in(log); std::getline(in, line);) std::fprintf(stderr, "%s\n", line.c_str());
    return 1;
  }

  qputenv("DISPLAY", QByteArray(":") + QByteArray::number(display));
  qputenv("QT_QPA_PLATFORM", "xcb");
  qunsetenv("WAYLAND_DISPLAY");
  qunsetenv("XAUTHORITY");
  qputenv("VARKON_RESOURCE_DIR", VARKON_SOURCE_DIR "/resources");
  // Settings and device memories go to a folder of this run, never to the user's own.
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.File("config")));
  qputenv("XDG_STATE_HOME", QByteArray::fromStdString(home.File("state")));
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home.File("data")));
  varkon::test::SetXdotool(xdotool);

  int result = 1;
  {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    result = RUN_ALL_TESTS();
  }
  StopServer(server);
  return result;
}
