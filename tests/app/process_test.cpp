// The varkon executable as a user starts it: one instance per user, a second start wakes the
// first and ends with 0, SIGTERM and SIGINT end it with 0, a missing skin ends it with 1.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>

#include "app_test_support.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

class ProcessTest : public ::testing::Test {
 protected:
  QProcessEnvironment Environment(const std::string& resources) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.path()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(runtime_.File("config")));
    env.insert("XDG_STATE_HOME", QString::fromStdString(runtime_.File("state")));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VARKON_DEBUG", "1");
    env.insert("VARKON_RESOURCE_DIR", QString::fromStdString(resources));
    return env;
  }
  void Launch(QProcess& process, const QStringList& args,
              const std::string& resources = test::ResourceFolder()) const {
    process.setProcessEnvironment(Environment(resources));
    process.start(VARKON_PROGRAM, args);
    ASSERT_TRUE(process.waitForStarted(10000));
  }
  bool WaitListening() const {
    const std::string socket = runtime_.path() + "/varkon-korvu-wired/control";
    return test::WaitUntil([&] { return std::filesystem::exists(socket); },
                           std::chrono::milliseconds(30000));
  }
  // Collects what the program wrote to stderr until `text` shows.
  static bool WaitForOutput(QProcess& process, QByteArray& seen, const char* text) {
    return test::WaitUntil(
        [&] {
          seen += process.readAllStandardError();
          return seen.contains(text);
        },
        std::chrono::milliseconds(30000));
  }
  void EndsCleanlyOn(int signalNumber) {
    QProcess first;
    Launch(first, {"--simulate", "all"});
    ASSERT_TRUE(WaitListening());
    ::kill(static_cast<pid_t>(first.processId()), signalNumber);
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
  }

  test::TempDir runtime_;
};

TEST_F(ProcessTest, SecondStartWakesTheFirstAndExitsWithZero) {
  QProcess first;
  Launch(first, {"--simulate", "all"});
  ASSERT_TRUE(WaitListening());

  QProcess second;
  Launch(second, {});
  ASSERT_TRUE(second.waitForFinished(30000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);

  QByteArray seen;
  EXPECT_TRUE(WaitForOutput(first, seen, "wake-up received (0, 1)")) << seen.constData();
  EXPECT_EQ(first.state(), QProcess::Running);
  first.terminate();
  ASSERT_TRUE(first.waitForFinished(30000));
  EXPECT_EQ(first.exitCode(), 0);
}

// What other tools see: the state snapshot, the emulated devices driven from outside, and the
// report to a listener registered as the external tool.
TEST_F(ProcessTest, VarkonctlDrivesTheSimulatedDevicesAndReadsTheState) {
  QProcess program;
  Launch(program, {"--simulate", "keyboard"});
  ASSERT_TRUE(WaitListening());
  auto ctl = [&](const QStringList& args, int* exitCode = nullptr) {
    QProcess tool;
    tool.setProcessEnvironment(Environment(test::ResourceFolder()));
    tool.start(VARKON_CTL, args);
    EXPECT_TRUE(tool.waitForFinished(30000));
    if (exitCode) *exitCode = tool.exitCode();
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
  };
  ASSERT_TRUE(test::WaitUntil([&] { return ctl({"state"}).contains("\"firstPassDone\":true"); },
                              std::chrono::milliseconds(30000)));
  QString state = ctl({"state"});
  EXPECT_TRUE(state.contains("\"model\":\"keyboard\"")) << state.toStdString();
  EXPECT_TRUE(state.contains("\"noDeviceLink\":false")) << state.toStdString();

  int status = -1;
  EXPECT_EQ(ctl({"sim", "notice", "keyboard", "0x0401"}, &status), "ok");
  EXPECT_EQ(status, 0);
  ctl({"sim", "plug", "toaster"}, &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(ctl({"sim", "unplug", "keyboard"}), "ok");
  EXPECT_TRUE(test::WaitUntil([&] { return ctl({"state"}).contains("\"noDeviceLink\":true"); },
                              std::chrono::milliseconds(30000)));

  QProcess listener;
  listener.setProcessEnvironment(Environment(test::ResourceFolder()));
  listener.start(VARKON_CTL, {"listen", "--as", "WorkTool"});
  ASSERT_TRUE(listener.waitForStarted(10000));
  QByteArray heard;
  // Until the listener is registered, the report finds nobody; send it again until heard.
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        ctl({"send", "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}"});
        heard += listener.readAllStandardOutput();
        return heard.contains("data 5 ");
      },
      std::chrono::milliseconds(30000)));
  listener.terminate();
  listener.waitForFinished(10000);
  program.terminate();
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 0);
  // The emulated devices keep what was written to them for the next run.
  EXPECT_TRUE(std::filesystem::exists(runtime_.File("state") +
                                      "/Varkon Korvu Wired/emulated-devices.json"));
}

TEST_F(ProcessTest, TermEndsWithZero) {
  EndsCleanlyOn(SIGTERM);
}

TEST_F(ProcessTest, InterruptEndsWithZero) {
  EndsCleanlyOn(SIGINT);
}

TEST_F(ProcessTest, MissingSkinIsAnErrorWithStatusOne) {
  QProcess process;
  Launch(process, {}, runtime_.File("no-such-folder"));
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 1);
  const QByteArray err = process.readAllStandardError();
  EXPECT_TRUE(err.contains("varkon: cannot open the resource index")) << err.constData();
}

TEST_F(ProcessTest, UnknownSimulatedDeviceIsRefused) {
  QProcess process;
  Launch(process, {"--simulate", "toaster"});
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_TRUE(process.readAllStandardError().contains("toaster"));
}

}  // namespace
}  // namespace varkon
