// The main window around the emulated devices, end to end: the watcher's first pass, arrival
// and removal on screen, cable and receiver, the sleeping mouse, hiding to the tray, the exit,
// the suspend gate and the window's own message rows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QStackedWidget>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/about_wnd.h"
#include "app/controls/device_option.h"
#include "app/device_screen.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/startup.h"
#include "app_test_support.h"
#include "device/device_transport.h"
#include "devices/panels/usb_device.h"
#include "emulator/emulated_rig.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/registered_messages.h"
#include "platform/ui/skin_loader.h"
#include "platform/ui/tray_icon.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using std::chrono::milliseconds;

class MainWindowTest : public ::testing::Test {
 protected:
  // Starts the program with emulated devices `kinds` plugged in and waits for the first pass.
  void Start(std::vector<EmulatedKind> kinds) {
    StartupOptions options;
    options.simulate = true;
    options.simulateKinds = std::move(kinds);
    program_ = std::make_unique<Program>(dir_.File("control"));
    std::string error;
    ASSERT_EQ(program_->Start(options, error), Program::StartResult::Running) << error;
    window_ = program_->mainWindow();
    ASSERT_TRUE(test::WaitUntil([&] { return window_->FirstPassDone(); }));
    // The arrivals of the first pass have been handled by then (they are sent before it ends).
    test::WaitUntil([] { return false; }, milliseconds(50));
  }
  DeviceScreen& Screen() { return *window_->deviceScreen(); }
  QWidget* Control(const char* name) { return ui::FindControl(window_->skinRoot(), name); }
  bool HintShown() { return !Control(kNoDeviceLinkName)->isHidden(); }
  const ManagedDevice* Record(int model) { return Screen().manager().DeviceForModel(model); }
  int PanelCount() {
    return qobject_cast<QStackedWidget*>(Control(kDeviceSwitchName))->count() - 1;
  }
  int VisibleItems() {
    int visible = 0;
    for (QWidget* item : Control(kSelectorLayoutName)->findChildren<CDeviceOptionUI*>()) {
      visible += item->isHidden() ? 0 : 1;
    }
    return visible;
  }
  bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    return test::WaitUntil(done, milliseconds(ms));
  }

  static constexpr int kKeyboardModel = 1;
  static constexpr int kMouseModel = 0;
  static constexpr int kPadModel = 2;

  test::TempDir dir_;
  std::unique_ptr<Program> program_;
  CMainWnd* window_ = nullptr;
};

TEST_F(MainWindowTest, StartsHiddenAndShowsTheNoDeviceHintAfterTheFirstPass) {
  StartupOptions options;
  options.simulate = true;
  program_ = std::make_unique<Program>(dir_.File("control"));
  std::string error;
  ASSERT_EQ(program_->Start(options, error), Program::StartResult::Running) << error;
  window_ = program_->mainWindow();
  EXPECT_FALSE(window_->FirstPassDone());
  EXPECT_FALSE(window_->isVisible());
  ASSERT_TRUE(WaitFor([&] { return window_->FirstPassDone(); }));
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(HintShown());
  EXPECT_EQ(PanelCount(), 0);
  EXPECT_EQ(window_->RunningThreads(), 2);  // the device watcher and synchronised lighting
}

TEST_F(MainWindowTest, PluggingAndUnpluggingTheKeyboard) {
  Start({});
  EXPECT_TRUE(HintShown());
  program_->rig()->Plug(EmulatedKind::Keyboard);
  ASSERT_TRUE(
      WaitFor([&] { return Record(kKeyboardModel) && Record(kKeyboardModel)->itemVisible; }));
  EXPECT_EQ(PanelCount(), 1);
  EXPECT_EQ(VisibleItems(), 1);
  EXPECT_TRUE(Record(kKeyboardModel)->itemSelected);
  EXPECT_FALSE(HintShown());
  CTarnwiseUSBDevice* keyboard = window_->CurrentDevice();
  ASSERT_NE(keyboard, nullptr);
  EXPECT_EQ(keyboard->Kind(), kKindKeyboard);
  EXPECT_TRUE(keyboard->TransportOpen());
  // The companion interface opened its input channel and reader.
  ASSERT_TRUE(WaitFor([&] { return keyboard->InputReaderRunning(false); }));
  program_->rig()->SendNotice(EmulatedKind::Keyboard, 0x0401);
  EXPECT_TRUE(WaitFor([&] { return keyboard->LastNotice() == 0x0401; }));

  program_->rig()->Unplug(EmulatedKind::Keyboard);
  ASSERT_TRUE(WaitFor([&] { return HintShown(); }));
  EXPECT_EQ(VisibleItems(), 0);
  EXPECT_FALSE(keyboard->TransportOpen());
  EXPECT_EQ(window_->CurrentDevice(), nullptr);
  EXPECT_TRUE(WaitFor([&] { return !keyboard->InputReaderRunning(false); }));

  // Plugged again: the same panel comes back.
  program_->rig()->Plug(EmulatedKind::Keyboard);
  ASSERT_TRUE(WaitFor([&] { return Record(kKeyboardModel)->itemVisible; }));
  EXPECT_EQ(PanelCount(), 1);
  EXPECT_EQ(window_->CurrentDevice(), keyboard);
}

TEST_F(MainWindowTest, MouseKeepsOneItemBetweenCableAndReceiver) {
  Start({EmulatedKind::Mouse, EmulatedKind::Receiver});
  ASSERT_NE(Record(kMouseModel), nullptr);
  EXPECT_FALSE(Record(kMouseModel)->receiverMode);
  EXPECT_TRUE(Record(kMouseModel)->itemVisible);
  std::vector<std::string> hides;
  Screen().manager().SetTrace([&](const std::string& line) {
    if (line.rfind("hide item", 0) == 0) hides.push_back(line);
  });

  program_->rig()->Unplug(EmulatedKind::Mouse);
  ASSERT_TRUE(WaitFor([&] { return Record(kMouseModel)->receiverMode; }));
  EXPECT_TRUE(Record(kMouseModel)->itemVisible);
  program_->rig()->Plug(EmulatedKind::Mouse);
  ASSERT_TRUE(WaitFor([&] { return !Record(kMouseModel)->receiverMode; }));
  test::WaitUntil([] { return false; }, milliseconds(200));
  EXPECT_TRUE(Record(kMouseModel)->itemVisible);
  EXPECT_TRUE(hides.empty());
  EXPECT_EQ(PanelCount(), 1);
  EXPECT_EQ(VisibleItems(), 1);
  Screen().manager().SetTrace({});
}

TEST_F(MainWindowTest, ASleepingMouseBehindTheReceiverHidesItsItemUntilItWakes) {
  DeviceScreen::SetTimeDivisor(20);
  StartupOptions options;
  options.simulate = true;
  program_ = std::make_unique<Program>(dir_.File("control"));
  std::string error;
  ASSERT_EQ(program_->Start(options, error), Program::StartResult::Running) << error;
  window_ = program_->mainWindow();
  program_->rig()->SetMouseReachable(false);
  program_->rig()->Plug(EmulatedKind::Receiver);
  ASSERT_TRUE(WaitFor([&] { return Record(kMouseModel) && Record(kMouseModel)->receiverMode; }));
  // The start-up timer found the mouse asleep: the item stays hidden.
  test::WaitUntil([] { return false; }, milliseconds(300));
  EXPECT_FALSE(Record(kMouseModel)->itemVisible);
  EXPECT_EQ(VisibleItems(), 0);

  program_->rig()->SetMouseReachable(true);
  ASSERT_TRUE(WaitFor([&] { return Record(kMouseModel)->itemVisible; }));
  EXPECT_EQ(VisibleItems(), 1);
  EXPECT_FALSE(HintShown());

  // Asleep again: the online check hides it.
  program_->rig()->SetMouseReachable(false);
  ASSERT_TRUE(WaitFor([&] { return !Record(kMouseModel)->itemVisible; }));
  program_->rig()->SetMouseReachable(true);
  EXPECT_TRUE(WaitFor([&] { return Record(kMouseModel)->itemVisible; }));
  DeviceScreen::SetTimeDivisor(1);
}

TEST_F(MainWindowTest, SelectingItemsAndFunctionPages) {
  Start({EmulatedKind::Keyboard, EmulatedKind::Pad});
  ASSERT_NE(Record(kPadModel), nullptr);
  CDeviceOptionUI* padItem = Screen().ItemOfModel(kPadModel);
  ASSERT_NE(padItem, nullptr);
  padItem->SelectButton()->click();
  EXPECT_TRUE(Record(kPadModel)->itemSelected);
  EXPECT_FALSE(Record(kKeyboardModel)->itemSelected);
  EXPECT_EQ(window_->CurrentDevice(), Screen().DeviceOfModel(kPadModel));
  auto* deviceSwitch = qobject_cast<QStackedWidget*>(Control(kDeviceSwitchName));
  EXPECT_EQ(deviceSwitch->currentWidget(), Screen().DeviceOfModel(kPadModel));

  // The neighbour buttons walk the visible items and stop at the ends.
  QWidget* selector = Control(kSelectorLayoutName);
  const bool padFirst = ui::IndexOfItem(selector, padItem) <
                        ui::IndexOfItem(selector, Screen().ItemOfModel(kKeyboardModel));
  const char* towardsKeyboard = padFirst ? "device_select_next" : "device_select_prev";
  const char* towardsPad = padFirst ? "device_select_prev" : "device_select_next";
  window_->router().Route({"click", towardsKeyboard});
  EXPECT_TRUE(Record(kKeyboardModel)->itemSelected);
  window_->router().Route({"click", towardsKeyboard});
  EXPECT_TRUE(Record(kKeyboardModel)->itemSelected);
  window_->router().Route({"click", towardsPad});
  EXPECT_TRUE(Record(kPadModel)->itemSelected);
  EXPECT_FALSE(Record(kKeyboardModel)->itemSelected);

  // Function-page tabs act on the current device.
  Screen().ItemOfModel(kKeyboardModel)->SelectButton()->click();
  CTarnwiseUSBDevice* keyboard = window_->CurrentDevice();
  ASSERT_NE(keyboard, nullptr);
  window_->router().Route({"selectchanged", "key_Op_tab", 1});
  EXPECT_EQ(keyboard->GetFunctionPage(), 2);
  window_->router().Route({"selectchanged", "deng_Op_tab", 0});  // turning off does nothing
  EXPECT_EQ(keyboard->GetFunctionPage(), 2);
}

TEST_F(MainWindowTest, CloseHidesAndExitStopsEveryThread) {
  Start({EmulatedKind::Keyboard, EmulatedKind::Mouse, EmulatedKind::Pad, EmulatedKind::Headset});
  ASSERT_TRUE(window_->isVisible());
  auto* close = qobject_cast<QAbstractButton*>(Control("closebtn"));
  ASSERT_NE(close, nullptr);
  close->click();
  EXPECT_FALSE(window_->isVisible());
  EXPECT_FALSE(window_->ShutDown());
  EXPECT_EQ(window_->RunningThreads(), 2);
  for (CTarnwiseUSBDevice* device : Screen().Devices()) {
    EXPECT_TRUE(device->LightThreadRunning());
    // Only the wireless devices hold off their power polling while hidden.
    EXPECT_EQ(device->PollInhibit(), device->WirelessCapable());
  }
  // A left click on the tray icon shows it again, the next one hides it.
  ui::Message tray;
  tray.number = ui::kTrayCallbackMessage;
  tray.lParam = ui::kTrayLeftButtonUp;
  window_->bus().Send(tray);
  EXPECT_TRUE(window_->isVisible());
  window_->bus().Send(tray);
  EXPECT_FALSE(window_->isVisible());

  bool exited = false;
  window_->SetExitHandler([&] { exited = true; });
  ui::Message menu;
  menu.number = ui::kMenuCommandMessage;
  menu.name = "exit";
  window_->bus().Send(menu);
  EXPECT_TRUE(exited);
  EXPECT_TRUE(window_->ShutDown());
  EXPECT_EQ(window_->RunningThreads(), 0);
  for (CTarnwiseUSBDevice* device : Screen().Devices()) {
    EXPECT_FALSE(device->LightThreadRunning());
    EXPECT_FALSE(device->InputReaderRunning(false));
  }
}

TEST_F(MainWindowTest, ProfileComboSettlesIntoOneSwitch) {
  Start({EmulatedKind::Keyboard});
  std::vector<CTarnwiseUSBDevice*> switched;
  window_->SetProfileSwitchHandler([&](CTarnwiseUSBDevice* device) { switched.push_back(device); });
  for (int i = 0; i < 4; ++i) {
    window_->router().Route({"itemselect", "device_profile_combo", static_cast<uintptr_t>(i)});
    test::WaitUntil([] { return false; }, milliseconds(50));
  }
  EXPECT_TRUE(switched.empty());
  ASSERT_TRUE(WaitFor([&] { return !switched.empty(); }));
  test::WaitUntil([] { return false; }, milliseconds(500));
  ASSERT_EQ(switched.size(), 1u);
  EXPECT_EQ(switched[0], window_->CurrentDevice());
}

TEST_F(MainWindowTest, SuspendGatesArrivalsAndLightControl) {
  Start({EmulatedKind::Keyboard});
  CTarnwiseUSBDevice* keyboard = window_->CurrentDevice();
  ASSERT_NE(keyboard, nullptr);
  ui::Message power;
  power.number = kMessagePowerBroadcast;
  power.wParam = kPowerSuspend;
  window_->bus().Send(power);
  EXPECT_FALSE(window_->PowerOn());
  EXPECT_FALSE(keyboard->LightControl());
  // A device plugged in while suspending is not taken up.
  program_->rig()->Plug(EmulatedKind::Pad);
  test::WaitUntil([] { return false; }, milliseconds(400));
  EXPECT_EQ(Record(kPadModel), nullptr);

  power.wParam = kPowerResumeAutomatic;
  window_->bus().Send(power);
  EXPECT_TRUE(window_->PowerOn());
  EXPECT_TRUE(keyboard->LightControl());
}

TEST_F(MainWindowTest, LightingControlFromOtherProgramsAndTheSwitch) {
  Start({EmulatedKind::Keyboard});
  CTarnwiseUSBDevice* keyboard = window_->CurrentDevice();
  ASSERT_NE(keyboard, nullptr);
  const uint32_t control = RegisterStartupMessages().guid[2];
  ui::Message message;
  message.number = control;
  message.wParam = 1;
  message.lParam = 0;
  window_->bus().Send(message);
  EXPECT_FALSE(window_->LightControl());
  EXPECT_FALSE(keyboard->LightControl());
  // lParam 2 keeps the state but hands it out again.
  keyboard->SetLightControl(true);
  message.lParam = 2;
  window_->bus().Send(message);
  EXPECT_FALSE(window_->LightControl());
  EXPECT_FALSE(keyboard->LightControl());
  // wParam other than 1 changes nothing.
  message.wParam = 0;
  message.lParam = 1;
  window_->bus().Send(message);
  EXPECT_FALSE(window_->LightControl());

  // The switch flips it, sends 0x1C to the keyboard once, and says so to other programs.
  program_->rig()->Firmware(EmulatedKind::Keyboard).ClearRequests();
  qobject_cast<QAbstractButton*>(Control("control_light_status"))->click();
  EXPECT_TRUE(window_->LightControl());
  EXPECT_TRUE(keyboard->LightControl());
  int lightControlCommands = 0;
  for (const auto& request : program_->rig()->Firmware(EmulatedKind::Keyboard).Requests()) {
    lightControlCommands += request[3] == 0x1C ? 1 : 0;
  }
  EXPECT_EQ(lightControlCommands, 1);
}

TEST_F(MainWindowTest, ReportToTheExternalTool) {
  Start({});
  std::string sent;
  window_->SetWorkToolSender([&](const std::string& line) {
    sent = line;
    return true;
  });
  ui::Message message;
  message.number = RegisterStartupMessages().guid[3];
  window_->bus().Send(message);
  ASSERT_EQ(sent.size(), 7u + 2048u);
  EXPECT_EQ(sent.substr(0, 7), "data 5 ");
  // Integers 0-3 the version, 4 the model count, then the first model's vendor id.
  EXPECT_EQ(sent.substr(7, 8 * 6), std::string("02000000") + "03000000" + "00000000" + "02000000" +
                                       "04000000" + "0f320000");
}

TEST_F(MainWindowTest, StateSnapshotNamesWhatIsShown) {
  Start({EmulatedKind::Keyboard});
  const std::string state = window_->StateJson();
  for (const char* member : {"\"window\":{", "\"visible\":true", "\"noDeviceLink\":false",
                             "\"lightControl\":true", "\"language\":", "\"model\":\"keyboard\"",
                             "\"attached\":true", "\"receiverMode\":false", "\"itemVisible\":true",
                             "\"itemSelected\":true", "\"functionPage\":1", "\"lightState\":["}) {
    EXPECT_NE(state.find(member), std::string::npos) << member << " in " << state;
  }
  EXPECT_EQ(program_->HandleRequest({"sim", "plug", "toaster"}).rfind("error", 0), 0u);
  EXPECT_EQ(program_->HandleRequest({"sim", "notice", "keyboard", "70000"}).rfind("error", 0), 0u);
  EXPECT_EQ(program_->HandleRequest({"sim", "plug", "pad"}), "ok");
  EXPECT_TRUE(WaitFor([&] { return Record(kPadModel) && Record(kPadModel)->itemVisible; }));
}

TEST_F(MainWindowTest, AboutWindowOpensOnceAndClosesWithTheMainWindow) {
  Start({});
  bool sawAbout = false;
  QTimer::singleShot(200, [&] {
    int open = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (qobject_cast<CAboutWnd*>(top) && top->isVisible()) ++open;
    }
    sawAbout = open == 1;
    // Closing the main window closes its child windows, which ends the modal run.
    window_->router().Route({"click", "closebtn"});
  });
  ui::Message menu;
  menu.number = ui::kMenuCommandMessage;
  menu.name = "about_menu";
  window_->bus().Send(menu);
  EXPECT_TRUE(sawAbout);
  EXPECT_FALSE(window_->isVisible());
}

TEST_F(MainWindowTest, PanelControlsReachTheirDeviceAndTheSkinChangeTheRoot) {
  Start({EmulatedKind::Keyboard});
  CTarnwiseUSBDevice* keyboard = window_->CurrentDevice();
  ASSERT_NE(keyboard, nullptr);
  std::vector<std::string> clicked;
  keyboard->Pump().OnPrefix(
      "click", "key_", [&](const RoutedNotification& n, int index) { clicked.push_back(n.name); });
  ASSERT_NE(keyboard->KeyButton(20), nullptr);
  keyboard->KeyButton(20)->click();
  ASSERT_EQ(clicked.size(), 1u);
  EXPECT_EQ(clicked[0], "key_20");
  // A control outside the panel does not reach it.
  qobject_cast<QAbstractButton*>(Control("minbtn"))->click();
  EXPECT_EQ(clicked.size(), 1u);

  LightState state = keyboard->GetLightState();
  state.customGroup = 3;
  state.zzccLedMode = 2;
  keyboard->SetLightParams(state);
  EXPECT_EQ(keyboard->LightStateWords()[3] & 0xFF, 3u);
  EXPECT_EQ(keyboard->LightStateWords()[2] >> 24, 2u);

  window_->ReceiveSkinChange(true, 0xFF203040, {});
  EXPECT_EQ(ui::BackgroundColour(window_->skinRoot()), 0xFF203040u);
  EXPECT_TRUE(ui::BackgroundImage(window_->skinRoot()).isEmpty());
  window_->ReceiveSkinChange(false, 0, "image/logo.svg");
  EXPECT_EQ(ui::BackgroundColour(window_->skinRoot()), 0u);
  EXPECT_EQ(ui::BackgroundImage(window_->skinRoot()), "image/logo.svg");
}

// A main skin that lacks the device containers and the title bar still makes a window: what
// needs them stays inert, devices arriving change nothing on screen, and nothing crashes.
TEST(MainWindowSkin, MissingControlsAreReportedAndLeftOut) {
  test::TempDir skin;
  std::filesystem::create_directories(skin.File("XML"));
  {
    std::ofstream file(skin.File("XML/main.xml"));
    file << "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"main_wnd\">"
            "<widget class=\"QPushButton\" name=\"closebtn\"/></widget></ui>";
  }
  ui::SkinLoader loader(skin.path());
  EmulatedRig rig;
  rig.Plug(EmulatedKind::Keyboard);
  {
    CMainWnd window;
    std::string error;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(window.Create(loader, "XML/main.xml", {}, error)) << error;
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("\"device_switch\""), std::string::npos) << reported;
    EXPECT_EQ(reported.find("\"closebtn\""), std::string::npos) << reported;
    EXPECT_EQ(window.MissingControls().size(), 10u);
    window.WindowInit(&rig.Backend());
    ASSERT_TRUE(test::WaitUntil([&] { return window.FirstPassDone(); }));
    test::WaitUntil([] { return false; }, milliseconds(200));
    EXPECT_EQ(window.CurrentDevice(), nullptr);
    EXPECT_EQ(window.deviceScreen()->Devices().size(), 0u);
    window.router().Route({"click", "control_light_status"});
    EXPECT_FALSE(window.LightControl());
    window.Shutdown();
    EXPECT_EQ(window.RunningThreads(), 0);
  }
}

TEST(MainWindowDpi, MonitorSizeChoosesTheDpi) {
  EXPECT_EQ(DpiForMonitor(1920, 1080), 144);
  EXPECT_EQ(DpiForMonitor(1500, 1080), 96);
  EXPECT_EQ(DpiForMonitor(1920, 960), 96);
  EXPECT_EQ(ValidDpi(120), 120);
  EXPECT_EQ(ValidDpi(100), 96);
  EXPECT_EQ(ValidDpi(216), 96);
}

}  // namespace
}  // namespace varkon
