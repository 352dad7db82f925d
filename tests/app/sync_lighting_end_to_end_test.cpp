// All devices lighting in step: the keyboard breathing, "deng_same_mode" clicked, every device
// given breathing in its own numbering with the keyboard's colour and brightness (in its record
// and its profile), the previews breathing from one shared phase, and a device whose own
// lighting changes leaving the group while the others stay in step.
#include <gtest/gtest.h>
#include <json/value.h>

#include <set>

#include "devices/logic/mouse_record.h"
#include "devices/logic/pad_record.h"
#include "devices/panels/headset_device.h"
#include "devices/panels/mouse_device.h"
#include "devices/panels/mouse_pad_device.h"
#include "keyboard_program.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class SyncLightingEndToEnd : public test::ProgramTest {
 protected:
  template <typename T>
  T* Device() const {
    return window_ ? window_->findChild<T*>() : nullptr;
  }
  bool Ready() override {
    const auto* keyboard = Device<CTarnwiseKeyboardDevice>();
    const auto* mouse = Device<CTarnwiseMouseDevice>();
    const auto* pad = Device<CTarnwiseMousePadDevice>();
    const auto* headset = Device<CTarnwiseHS6533Device>();
    return keyboard && keyboard->Keyboard().Discovered() && mouse && mouse->Mouse().Discovered() &&
           pad && pad->Pad().InfoRead() && headset && headset->Pad().InfoRead() &&
           JobsPending() == 0;
  }
  size_t JobsPending() override {
    size_t pending = 0;
    for (CTarnwiseUSBDevice* device : window_->findChildren<CTarnwiseUSBDevice*>()) {
      pending += device->Logic().Jobs().Pending();
    }
    return pending;
  }
  std::vector<uint8_t> Settings(EmulatedKind kind) {
    return program_->rig()->Firmware(kind).Memory(MemoryArea::Settings);
  }
  static int Value(CTarnwiseUSBDevice* device, int position) {
    return device->Logic().NameLists().lightModeValues.at(static_cast<size_t>(position));
  }
  static Json::Value LightInfo(CTarnwiseUSBDevice* device) {
    return ReadJsonFile(
        device->Logic().Profiles().CurrentProfileFilePath())["Device"][0]["LightInfo"];
  }
  // The first light's colour of every device in the group, read in one go from `state`; true
  // when they are all the same and lit.
  bool InStep(const std::set<std::string>& models) {
    const Json::Value state = AskJson("state");
    std::set<uint32_t> colours;
    for (const Json::Value& device : state["devices"]) {
      if (!models.count(device["model"].asString())) continue;
      if (!device["syncOn"].asBool()) return false;
      colours.insert(device["previewColour"].asUInt());
    }
    return colours.size() == 1 && (*colours.begin() >> 24) != 0;
  }
};

TEST_F(SyncLightingEndToEnd, EveryDeviceBreathesInStepUntilItsOwnLightingChanges) {
  Start({"--simulate", "keyboard,mouse,pad,headset", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  window_->show();
  ASSERT_EQ(Ask("light keyboard mode 5 brightness 3 speed 3 colour 20c040"), "ok");
  ASSERT_EQ(Ask("ui click deng_same_mode"), "ok");
  Settle();

  auto* mouse = Device<CTarnwiseMouseDevice>();
  auto* pad = Device<CTarnwiseMousePadDevice>();
  auto* headset = Device<CTarnwiseHS6533Device>();
  const std::vector<uint8_t> mouseRecord = Settings(EmulatedKind::Mouse);
  EXPECT_EQ(mouseRecord[mouse_record::kEffect], Value(mouse, 2));
  EXPECT_EQ(mouseRecord[mouse_record::kBrightness], 3);
  EXPECT_EQ(mouseRecord[mouse_record::kGreen], 0xC0);
  for (EmulatedKind kind : {EmulatedKind::Pad, EmulatedKind::Headset}) {
    const std::vector<uint8_t> record = Settings(kind);
    CTarnwiseUSBDevice* device =
        kind == EmulatedKind::Pad ? static_cast<CTarnwiseUSBDevice*>(pad) : headset;
    EXPECT_EQ(record[pad_record::kMode], Value(device, 2)) << static_cast<int>(kind);
    EXPECT_EQ(record[pad_record::kRed], 0x20);
    EXPECT_EQ(record[pad_record::kBrightness], 3);
  }
  for (CTarnwiseUSBDevice* device :
       {static_cast<CTarnwiseUSBDevice*>(mouse), static_cast<CTarnwiseUSBDevice*>(pad),
        static_cast<CTarnwiseUSBDevice*>(headset)}) {
    EXPECT_EQ(LightInfo(device)["SelectItem"].asInt(), 2);
    EXPECT_EQ(LightInfo(device)["Blue"].asInt(), 0x40);
  }

  // The previews breathe from one phase: the same colour on every device, and it moves.
  const std::set<std::string> all = {"keyboard", "mouse", "MousePad", "HD"};
  ASSERT_TRUE(test::WaitUntil([&] { return InStep(all); }, 5s));
  const uint32_t first = AskJson("state")["devices"][0]["previewColour"].asUInt();
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        return InStep(all) && AskJson("state")["devices"][0]["previewColour"].asUInt() != first;
      },
      5s));

  // The mouse's own colour takes it out; the others stay in step.
  ASSERT_EQ(Ask("light mouse colour ff0000"), "ok");
  EXPECT_FALSE(mouse->SyncOn());
  EXPECT_TRUE(test::WaitUntil([&] { return InStep({"keyboard", "MousePad", "HD"}); }, 5s));
  EXPECT_TRUE(pad->SyncOn());

  // A device that goes leaves the group.
  program_->rig()->Unplug(EmulatedKind::Pad);
  EXPECT_TRUE(test::WaitUntil([&] { return !pad->SyncOn(); }, 5s));
}

}  // namespace
}  // namespace varkon
