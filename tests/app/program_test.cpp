#include "app/program.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QStackedWidget>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "app_test_support.h"
#include "device/hid_backend.h"
#include "emulator/emulated_rig.h"
#include "platform/ui/control_find.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/tray_icon.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <fstream>

namespace varkon {
namespace {

class ProgramTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  std::string ControlDir() const { return dir_.File("control"); }
};

TEST_F(ProgramTest, MainWindowComesUpFromTheSkinCentredAndSized) {
  Program program(ControlDir());
  std::string error;
  ASSERT_EQ(program.Start({}, error), Program::StartResult::Running) << error;
  CMainWnd* window = program.mainWindow();
  ASSERT_NE(window, nullptr);
  // Hidden at 800 x 572 until the device watcher's first pass, then fitted to the screen.
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->size(), QSize(kMainWindowWidth, kMainWindowHeight));
  ASSERT_TRUE(test::WaitUntil([&] { return window->FirstPassDone() && window->isVisible(); }));
  test::WaitUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(std::abs(window->geometry().center().x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(window->geometry().center().y() - screen.center().y()), 1);
  for (const char* name :
       {"closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn", "setbtn", "No_device_Link",
        "device_select_layout", "device_switch", "device_power_switch", "control_light_status"}) {
    EXPECT_NE(ui::FindControl(window->skinRoot(), name), nullptr) << name;
  }
  EXPECT_NE(qobject_cast<QStackedWidget*>(ui::FindControl(window->skinRoot(), "device_switch")),
            nullptr);
  EXPECT_FALSE(ui::FindControl(window->skinRoot(), "restorebtn")->isVisibleTo(window));
  EXPECT_TRUE(ui::FindControl(window->skinRoot(), "maxbtn")->isVisibleTo(window));
  ASSERT_NE(window->trayMenu(), nullptr);
  EXPECT_NE(window->trayMenu()->FindItem("exit"), nullptr);
  EXPECT_NE(window->tray(), nullptr);
}

TEST_F(ProgramTest, CloseHidesToTheTrayAndTheWakeUpRestores) {
  Program program(ControlDir());
  std::string error;
  ASSERT_EQ(program.Start({}, error), Program::StartResult::Running) << error;
  CMainWnd* window = program.mainWindow();
  QWidget* close = ui::FindControl(window->skinRoot(), "closebtn");
  ASSERT_NE(close, nullptr);
  QMetaObject::invokeMethod(close, "click");
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(program.mainWindow(), window);

  SingleInstance second(ControlDir());
  ASSERT_EQ(second.Start({}), ControlServer::StartResult::AlreadyRunning);
  ASSERT_TRUE(second.WakeRunning());
  ASSERT_TRUE(test::WaitUntil([&] { return window->isVisible(); }));
  EXPECT_EQ(program.wakeUps(), 1);

  window->showMinimized();
  ASSERT_TRUE(second.WakeRunning());
  ASSERT_TRUE(test::WaitUntil([&] { return program.wakeUps() == 2; }));
  EXPECT_TRUE(test::WaitUntil([&] { return !window->isMinimized(); }));
}

TEST_F(ProgramTest, TrayClicksAndTheExitItem) {
  Program program(ControlDir());
  std::string error;
  ASSERT_EQ(program.Start({}, error), Program::StartResult::Running) << error;
  CMainWnd* window = program.mainWindow();
  int exits = 0;
  window->SetExitHandler([&] { ++exits; });
  window->hide();
  ui::Message click;
  click.number = ui::kTrayCallbackMessage;
  click.wParam = 1;
  click.lParam = ui::kTrayLeftButtonUp;
  window->bus().Send(click);
  EXPECT_TRUE(window->isVisible());

  ui::Message other;
  other.number = ui::kMenuCommandMessage;
  other.name = "show_main";
  window->bus().Send(other);
  EXPECT_EQ(exits, 0);
  QAction* exit = window->trayMenu()->FindItem("exit");
  ASSERT_NE(exit, nullptr);
  exit->trigger();
  ASSERT_TRUE(test::WaitUntil([&] { return exits == 1; }));
}

TEST_F(ProgramTest, SecondProgramWakesTheFirstAndBuildsNoWindow) {
  Program first(ControlDir());
  std::string error;
  ASSERT_EQ(first.Start({}, error), Program::StartResult::Running) << error;
  Program second(ControlDir());
  EXPECT_EQ(second.Start({}, error), Program::StartResult::WokeRunning);
  EXPECT_EQ(second.mainWindow(), nullptr);
  ASSERT_TRUE(test::WaitUntil([&] { return first.wakeUps() == 1; }));
}

TEST_F(ProgramTest, SimulatedDevicesAreOnTheDefaultBackend) {
  StartupOptions options;
  std::string error;
  ASSERT_TRUE(ParseStartupArgs({"--simulate", "keyboard,pad"}, options, error));
  {
    Program program(ControlDir());
    ASSERT_EQ(program.Start(options, error), Program::StartResult::Running) << error;
    ASSERT_NE(program.rig(), nullptr);
    EXPECT_TRUE(program.rig()->IsPlugged(EmulatedKind::Keyboard));
    EXPECT_TRUE(program.rig()->IsPlugged(EmulatedKind::Pad));
    EXPECT_FALSE(program.rig()->IsPlugged(EmulatedKind::Mouse));
    std::vector<std::string> paths;
    ASSERT_TRUE(DefaultHidBackend().Enumerate(paths));
    bool keyboard = false;
    for (const std::string& path : paths) {
      keyboard = keyboard || path == EmulatedRig::ConfigPath(EmulatedKind::Keyboard);
    }
    EXPECT_TRUE(keyboard);
  }
  // Once the program is gone the default is the platform backend again.
  std::vector<std::string> paths;
  DefaultHidBackend().Enumerate(paths);
  for (const std::string& path : paths) EXPECT_NE(path.rfind("emu:", 0), 0u) << path;
}

TEST_F(ProgramTest, MissingSkinFails) {
  test::ScopedEnv resources("VARKON_RESOURCE_DIR", dir_.File("empty"));
  Program program(ControlDir());
  std::string error;
  EXPECT_EQ(program.Start({}, error), Program::StartResult::Failed);
  EXPECT_NE(error.find("res.xml"), std::string::npos) << error;
  EXPECT_EQ(program.mainWindow(), nullptr);
}

TEST_F(ProgramTest, IndexNamingAMissingMainSkinFails) {
  std::filesystem::create_directories(dir_.File("res/skin"));
  std::ofstream(dir_.File("res/skin/res.xml"))
      << "<Resources><Xml id=\"XML_MAIN\" path=\"XML/gone.xml\"/></Resources>";
  test::ScopedEnv resources("VARKON_RESOURCE_DIR", dir_.File("res"));
  Program program(ControlDir());
  std::string error;
  EXPECT_EQ(program.Start({}, error), Program::StartResult::Failed);
  EXPECT_NE(error.find("XML/gone.xml"), std::string::npos) << error;
}

}  // namespace
}  // namespace varkon
