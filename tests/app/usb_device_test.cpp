// The device base on its own: mapping the cells of a device picture, function pages, the
// preview and lighting control, game lighting, and bounded stops of its workers.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStackedWidget>
#include <memory>

#include "app/controls/register_custom_controls.h"
#include "app/device_screen.h"
#include "app_test_support.h"
#include "device/device_transport.h"
#include "devices/panels/headset_device.h"
#include "devices/panels/keyboard_device.h"
#include "devices/panels/mouse_device.h"
#include "devices/panels/mouse_pad_device.h"
#include "devices/panels/register_device_classes.h"
#include "emulator/emulated_rig.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_find.h"
#include "platform/ui/skin_loader.h"

namespace varkon {
namespace {

QByteArray PanelSkin(const char* deviceClass, int keys, int lights) {
  QByteArray skin = "<ui version=\"4.0\"><widget class=\"";
  skin += deviceClass;
  skin +=
      "\" name=\"panel\"><widget class=\"QWidget\" name=\"before\"/>"
      "<widget class=\"SelectPanel\" name=\"cells\">";
  for (int i = 0; i < keys; ++i) {
    skin += "<widget class=\"DeviceKeyButton\" name=\"key_" + QByteArray::number(i) + "\"/>";
  }
  for (int i = 0; i < lights; ++i) {
    skin += "<widget class=\"DeviceKeyButton\" name=\"light_" + QByteArray::number(i) + "\"/>";
  }
  skin +=
      "<widget class=\"DeviceKeyButton\" name=\"light_x\"/>"
      "<widget class=\"QWidget\" name=\"nested\"><widget class=\"DeviceKeyButton\" "
      "name=\"key_1\"/></widget>"
      "</widget>"
      "<widget class=\"QStackedWidget\" name=\"device_function_switch\">"
      "<widget class=\"QWidget\" name=\"f0\"><widget class=\"QStackedWidget\" "
      "name=\"device_key_function_switch\"><widget class=\"QWidget\" name=\"k0\"/>"
      "<widget class=\"QWidget\" name=\"k1\"/><widget class=\"QWidget\" name=\"k2\"/>"
      "</widget></widget>"
      "<widget class=\"QWidget\" name=\"f1\"/><widget class=\"QWidget\" name=\"f2\"/>"
      "<widget class=\"QWidget\" name=\"f3\"/></widget></widget></ui>";
  return skin;
}

class UsbDeviceTest : public ::testing::Test {
 protected:
  UsbDeviceTest() : loader_(test::SkinFolderOfSource()) {
    RegisterCustomControls(loader_);
    RegisterDeviceClasses(loader_);
  }
  // A device of `deviceClass` from an in-memory skin with `skinKeys` / `skinLights` cells,
  // configured with the model's counts.
  CTarnwiseUSBDevice* Make(const char* deviceClass, int skinKeys, int skinLights, int keyCount,
                           int lightCount) {
    std::string error;
    QWidget* root =
        loader_.LoadSkinData(PanelSkin(deviceClass, skinKeys, skinLights), {}, nullptr, &error);
    auto* device = qobject_cast<CTarnwiseUSBDevice*>(root);
    EXPECT_NE(device, nullptr) << error;
    if (!device) {
      delete root;
      return nullptr;
    }
    owned_.reset(device);
    device->SetLayoutFile("in memory");
    device->SetKeyButtonCount(keyCount);
    device->SetLightCount(lightCount);
    device->SetTransports(&transport_, &input_);
    device->InitButtons();
    return device;
  }

  ui::SkinLoader loader_;
  DeviceTransport transport_;
  DeviceTransport input_;
  std::unique_ptr<CTarnwiseUSBDevice> owned_;
};

TEST_F(UsbDeviceTest, SkinTagsMakeTheFourClassesWithTheirKinds) {
  const std::pair<const char*, int> classes[] = {{"TarnwiseKeyboardDevice", kKindKeyboard},
                                                 {"TarnwiseMouseDevice", kKindMouse},
                                                 {"TarnwiseMousePadDevice", kKindMousePad},
                                                 {"TarnwiseHS6533Device", kKindHeadset}};
  for (const auto& [tag, kind] : classes) {
    CTarnwiseUSBDevice* device = Make(tag, 1, 1, 1, 1);
    ASSERT_NE(device, nullptr) << tag;
    EXPECT_EQ(device->Kind(), kind) << tag;
    EXPECT_EQ(device->GetFunctionPage(), 1);
    EXPECT_EQ(device->ModelIndex(), -1);
    EXPECT_TRUE(device->LightControl());
  }
}

TEST_F(UsbDeviceTest, MapsOnlyDirectCellsWithinTheCounts) {
  // light_15 with a light count of 15 is not a cell; neither is a nested key_1.
  CTarnwiseUSBDevice* mouse = Make("TarnwiseMouseDevice", 11, 16, 11, 15);
  ASSERT_NE(mouse, nullptr);
  EXPECT_EQ(mouse->SelectPanel()->objectName(), "cells");
  for (int i = 0; i < 11; ++i) ASSERT_NE(mouse->KeyButton(i), nullptr) << i;
  EXPECT_EQ(mouse->KeyButton(1)->parentWidget(), mouse->SelectPanel());
  for (int i = 0; i < 15; ++i) {
    ASSERT_NE(mouse->LightButton(i), nullptr) << i;
    EXPECT_EQ(mouse->LightButton(i)->LightColour(), 0xFFFFFFu);
    EXPECT_EQ(mouse->LightButton(i)->LightAlpha(), 255);
    EXPECT_TRUE(mouse->LightButton(i)->IsLightShown());
  }
  EXPECT_EQ(mouse->LightButton(15), nullptr);
  auto* extra = qobject_cast<CDeviceKeyButtonUI*>(ui::FindControl(mouse, "light_15"));
  ASSERT_NE(extra, nullptr);
  EXPECT_FALSE(extra->IsLightShown());

  // A mouse pad has no keys: its key_ cells map to nothing.
  CTarnwiseUSBDevice* pad = Make("TarnwiseMousePadDevice", 3, 15, 0, 15);
  ASSERT_NE(pad, nullptr);
  EXPECT_EQ(pad->KeyButtonCount(), 0);
  EXPECT_EQ(pad->KeyButton(0), nullptr);
  EXPECT_NE(pad->LightButton(14), nullptr);
}

TEST_F(UsbDeviceTest, NoLayoutMeansNoCells) {
  auto device = std::make_unique<CTarnwiseMousePadDevice>();
  device->SetKeyButtonCount(3);
  device->SetLightCount(15);
  device->InitButtons();
  EXPECT_EQ(device->KeyButtonCount(), 0);
  EXPECT_EQ(device->LightCount(), 0);
  device->SetLightColour(0, 0x11223344);
  EXPECT_EQ(device->GetLightColour(0), 0u);
}

TEST_F(UsbDeviceTest, FunctionPagesSelectTheTabs) {
  CTarnwiseUSBDevice* keyboard = Make("TarnwiseKeyboardDevice", 0, 0, 0, 0);
  ASSERT_NE(keyboard, nullptr);
  auto* functions =
      qobject_cast<QStackedWidget*>(ui::FindControl(keyboard, "device_function_switch"));
  auto* keys =
      qobject_cast<QStackedWidget*>(ui::FindControl(keyboard, "device_key_function_switch"));
  ASSERT_TRUE(functions && keys);
  keyboard->SelectFunctionPage(2);
  EXPECT_EQ(functions->currentIndex(), 0);
  EXPECT_EQ(keys->currentIndex(), 1);
  keyboard->SelectFunctionPage(4);  // system page of a keyboard
  EXPECT_EQ(functions->currentIndex(), 3);
  EXPECT_EQ(keys->currentIndex(), 1);
  keyboard->SelectFunctionPage(7);
  EXPECT_EQ(functions->currentIndex(), 0);
  EXPECT_EQ(keys->currentIndex(), 2);
  keyboard->SelectFunctionPage(99);
  EXPECT_EQ(functions->currentIndex(), 0);
  EXPECT_EQ(keys->currentIndex(), 0);
  EXPECT_EQ(keyboard->GetFunctionPage(), 99);

  // Page 4 of a headset is page 7.
  CTarnwiseUSBDevice* headset = Make("TarnwiseHS6533Device", 0, 0, 0, 0);
  ASSERT_NE(headset, nullptr);
  headset->SelectFunctionPage(4);
  EXPECT_EQ(qobject_cast<QStackedWidget*>(ui::FindControl(headset, "device_key_function_switch"))
                ->currentIndex(),
            2);
}

TEST_F(UsbDeviceTest, LightingControlOffStopsThePreviewButKeepsTheColours) {
  CTarnwiseUSBDevice* pad = Make("TarnwiseMousePadDevice", 0, 2, 0, 2);
  ASSERT_NE(pad, nullptr);
  const uint32_t red = LightColour(255, 0, 0, 200).Pack();
  pad->SetLightColour(0, red);
  pad->PaintPreview();
  EXPECT_EQ(pad->LightButton(0)->LightColour(), 0x0000FFu);  // red in the cell's byte order
  EXPECT_EQ(pad->LightButton(0)->LightAlpha(), 200);

  pad->SetLightControl(false);
  pad->SetLightColour(0, LightColour(0, 0, 255, 100).Pack());
  pad->PaintPreview();
  EXPECT_EQ(pad->LightButton(0)->LightColour(), 0x0000FFu);
  EXPECT_EQ(pad->GetLightColour(0), LightColour(0, 0, 255, 100).Pack());
  pad->SetLightControl(true);
  pad->PaintPreview();
  EXPECT_EQ(pad->LightButton(0)->LightAlpha(), 100);
  // Out of range: ignored, read as 0.
  pad->SetLightColour(2, red);
  EXPECT_EQ(pad->GetLightColour(2), 0u);
  EXPECT_EQ(pad->GetLightColour(-1), 0u);
}

TEST_F(UsbDeviceTest, GameLightingAndBack) {
  CTarnwiseUSBDevice* mouse = Make("TarnwiseMouseDevice", 0, 1, 0, 1);
  ASSERT_NE(mouse, nullptr);
  LightState own;
  own.mode = 3;
  own.speed = 30;
  mouse->SetLightParams(own);
  mouse->ApplyGameLighting(0, 7);
  EXPECT_EQ(mouse->GetLightState().mode, 7);
  EXPECT_EQ(mouse->GetLightState().speed, 1);  // forced into 1-20 for the first variant
  mouse->ApplyGameLighting(1, 9);              // a second event keeps the game lighting
  EXPECT_EQ(mouse->GetLightState().mode, 9);
  mouse->ApplyGameLighting(5, 2);  // no such variant
  EXPECT_EQ(mouse->GetLightState().mode, 9);
  mouse->RestoreOwnLighting();
  EXPECT_EQ(mouse->GetLightState(), own);
}

TEST_F(UsbDeviceTest, HiddenWindowInhibitsPollingOnlyForWirelessDevices) {
  CTarnwiseUSBDevice* mouse = Make("TarnwiseMouseDevice", 0, 0, 0, 0);
  ASSERT_NE(mouse, nullptr);
  mouse->SetWindowHidden(true);
  EXPECT_FALSE(mouse->PollInhibit());
  mouse->SetWirelessCapable(true);
  mouse->SetWindowHidden(true);
  EXPECT_TRUE(mouse->PollInhibit());
}

TEST_F(UsbDeviceTest, WorkersStopWithinTheirBoundWhileReading) {
  EmulatedRig rig;
  rig.Plug(EmulatedKind::Mouse);
  DeviceTransport transport(&rig.Backend());
  DeviceTransport input(&rig.Backend());
  ASSERT_TRUE(input.CableChannel().Open(EmulatedRig::NoticePath(EmulatedKind::Mouse), true, true,
                                        true, false));
  ASSERT_TRUE(transport.CableChannel().Open(EmulatedRig::ConfigPath(EmulatedKind::Mouse), true,
                                            true, true, false));
  transport.SetOpened(true);
  auto mouse = std::make_unique<CTarnwiseMouseDevice>();
  mouse->SetTransports(&transport, &input);
  mouse->SetLightCount(15);
  mouse->SetLayoutFile("none");
  mouse->InitButtons();
  mouse->StartInputReader(false);
  ASSERT_TRUE(mouse->InputReaderRunning(false));
  EXPECT_TRUE(mouse->LightThreadRunning());
  rig.SendNotice(EmulatedKind::Mouse, 0x0102);
  ASSERT_TRUE(test::WaitUntil([&] { return mouse->LastNotice() == 0x0102; }));

  // The reader sits in a read with nothing to come.
  QElapsedTimer clock;
  clock.start();
  mouse->StopWorkers();
  EXPECT_LT(clock.elapsed(), 1500);
  EXPECT_FALSE(mouse->InputReaderRunning(false));
  EXPECT_FALSE(mouse->LightThreadRunning());
}

}  // namespace
}  // namespace varkon
