// The mouse pad and the headset's lights as a user meets them: the program with the emulated
// devices, the lighting editor under each picture, what reaches each device's settings record,
// the pad's own change notice, profile switches, plugs, and the headset's lights following the
// preview through its output reports whether the window is shown, hidden or minimised.
#include <gtest/gtest.h>
#include <json/value.h>

#include <QDir>
#include <QImage>
#include <QPointer>

#include "devices/light_headset_frame.h"
#include "devices/logic/pad_record.h"
#include "devices/panels/headset_device.h"
#include "devices/panels/mouse_pad_device.h"
#include "emulator/memory_file.h"
#include "keyboard_program.h"
#include "platform/control_socket.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class PadLightEndToEnd : public test::ProgramTest {
 protected:
  void Start(const std::vector<std::string>& args) {
    ProgramTest::Start(args);
    if (HasFatalFailure()) return;
    window_->show();
  }
  bool Ready() override {
    CPadLightDevice* device = Current();
    return device && device->Pad().InfoRead() && device->Pad().Jobs().Pending() == 0;
  }
  size_t JobsPending() override {
    size_t pending = 0;
    for (CPadLightDevice* device : window_->findChildren<CPadLightDevice*>()) {
      pending += device->Pad().Jobs().Pending();
    }
    return pending;
  }
  CPadLightDevice* Current() const {
    return window_ ? qobject_cast<CPadLightDevice*>(window_->CurrentDevice()) : nullptr;
  }
  EmulatedKind Kind() const {
    return Current() && Current()->Kind() == kKindHeadset ? EmulatedKind::Headset
                                                          : EmulatedKind::Pad;
  }
  // The record of the active profile as the device holds it.
  std::vector<uint8_t> Record() {
    const std::vector<uint8_t> memory =
        program_->rig()->Firmware(Kind()).Memory(MemoryArea::Settings);
    return {memory.begin(), memory.begin() + kPadRecordSize};
  }
  int ModeValue(int position) {
    return Current()->Logic().NameLists().lightModeValues.at(static_cast<size_t>(position));
  }
  Json::Value LightInfo() {
    const std::string path = Current()->Logic().Profiles().CurrentProfileFilePath();
    return ReadJsonFile(path)["Device"][0]["LightInfo"];
  }
  bool Enabled(const std::string& name) { return AskJson("ui get " + name)["enabled"].asBool(); }
  // Colours of the preview cells, sampled twice: an animated mode changes them.
  bool PreviewMoves() {
    const auto sample = [&] {
      std::vector<uint32_t> colours;
      for (int i = 0; i < Current()->LightCount(); ++i) {
        CDeviceKeyButtonUI* cell = Current()->LightButton(i);
        colours.push_back(cell ? cell->LightColour() << 8 | cell->LightAlpha() : 0);
      }
      return colours;
    };
    const std::vector<uint32_t> first = sample();
    return test::WaitUntil([&] { return sample() != first; }, 3s);
  }
  // A registered message through the program's control socket, as `varkonctl send` does.
  std::string Send(const std::string& message) {
    std::string answer;
    if (!ControlClient(dir_.File("control")).Request("send " + message, answer)) return "unsent";
    Settle();
    return answer;
  }
  void Render(const std::string& name) {
    window_->resize(kFittedWidth, kFittedHeight);
    Settle();
    QDir().mkpath(VARKON_BINARY_DIR "/app-render");
    window_->grab().toImage().save(
        QString::fromStdString(std::string(VARKON_BINARY_DIR) + "/app-render/" + name + ".png"));
  }
};

// Every change in the pad's lighting editor reaches its record, translated (the mode's code,
// 4 − speed); the device's own bytes stay as it gave them.
TEST_F(PadLightEndToEnd, ThePadsEditorWritesItsRecordAndThePreviewMoves) {
  Start({"--simulate", "pad", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  const uint8_t ownByte = Record()[4];
  // At start the pad was given the profile's lighting: the factory profile's wave.
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(0));
  EXPECT_TRUE(PreviewMoves());

  ASSERT_EQ(Ask("ui select light_combo_modeSelect 3"), "ok");  // static
  ASSERT_EQ(Ask("ui set deng_light_slider 2"), "ok");
  ASSERT_EQ(Ask("ui set deng_edit_R 18"), "ok");
  ASSERT_EQ(Ask("ui set deng_edit_B 86"), "ok");
  std::vector<uint8_t> record = Record();
  EXPECT_EQ(record[pad_record::kMode], ModeValue(3));
  EXPECT_EQ(record[pad_record::kBrightness], 2);
  EXPECT_EQ(record[pad_record::kRed], 18);
  EXPECT_EQ(record[pad_record::kBlue], 86);
  EXPECT_EQ(record[4], ownByte);
  EXPECT_EQ(LightInfo()["SelectItem"].asInt(), 3);

  // Speed 4 (fastest) goes out as 0, speed 0 as 4.
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 2"), "ok");  // breathing
  ASSERT_EQ(Ask("ui set deng_speed_slider 4"), "ok");
  EXPECT_EQ(Record()[pad_record::kSpeed], 0);
  ASSERT_EQ(Ask("ui set deng_speed_slider 0"), "ok");
  EXPECT_EQ(Record()[pad_record::kSpeed], 4);
  EXPECT_TRUE(PreviewMoves());

  // Off leaves only the effect list to choose from; alone, the pad offers no "same mode".
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 8"), "ok");
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(8));
  EXPECT_TRUE(Enabled("light_combo_modeSelect"));
  for (const char* name : {"deng_light_slider", "deng_speed_slider", "deng_edit_R"}) {
    EXPECT_FALSE(Enabled(name)) << name;
  }
  EXPECT_FALSE(AskJson("ui get deng_same_mode")["visible"].asBool());
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 1"), "ok");
  EXPECT_TRUE(PreviewMoves());
  const CDeviceKeyButtonUI* cell = Current()->LightButton(0);
  EXPECT_GT(cell->LightAlpha(), 0) << cell->LightColour();
  Render("pad_lighting");
}

// The pad's own buttons changed its lighting: its 0x401 report has the record read again half
// a second later, and the editor and the profile follow. A profile switch writes the record.
TEST_F(PadLightEndToEnd, ThePadsNoticeRereadsItsRecordAndProfilesRewriteIt) {
  Start({"--simulate", "pad", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  VendorFirmware& pad = program_->rig()->Firmware(EmulatedKind::Pad);
  // The pad now plays mode 4 (blink) at speed 3 (byte 1), in green.
  pad.SetMemory(
      MemoryArea::Settings, 0,
      {0x00, static_cast<uint8_t>(ModeValue(4)), 0x03, 0x01, 0x00, 0x00, 0x00, 0xC8, 0x00});
  program_->rig()->SendNotice(EmulatedKind::Pad, 0x0401);
  ASSERT_TRUE(test::WaitUntil(
      [&] { return AskJson("ui get light_combo_modeSelect")["selected"].asInt() == 4; }, 5s));
  EXPECT_EQ(AskJson("ui get deng_speed_slider")["value"].asInt(), 3);
  EXPECT_EQ(LightInfo()["SelectItem"].asInt(), 4);
  EXPECT_EQ(LightInfo()["Speed"].asInt(), 3);
  EXPECT_EQ(LightInfo()["Green"].asInt(), 0xC8);

  // A second profile with its own lighting; switching back and forth rewrites the record.
  ASSERT_EQ(Ask("profile MousePad add --yes"), "ok");
  const Json::Value list = AskJson("profile MousePad list");
  ASSERT_EQ(list["profiles"].size(), 2u);
  ASSERT_EQ(Ask("profile MousePad switch " + list["profiles"][1].asString()), "ok");
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 3"), "ok");
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(3));
  ASSERT_EQ(Ask("profile MousePad switch " + list["profiles"][0].asString()), "ok");
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(4));
  EXPECT_EQ(Record()[pad_record::kGreen], 0xC8);
}

// A pad pulled out in the middle of a write leaves the window answering; plugged back, it gets
// its lighting from the profile even though something else changed it meanwhile.
TEST_F(PadLightEndToEnd, APadPulledOutMidWriteGetsItsProfileBackWhenPluggedIn) {
  Start({"--simulate", "pad", "--latency", "5"});
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 3"), "ok");
  ASSERT_EQ(Ask("ui set deng_edit_G 77"), "ok");
  // The next write is on the wire (5 ms per packet) when the pad goes.
  ASSERT_EQ(program_->HandleRequest({"ui", "set", "deng_edit_R", "99"}), "ok");
  program_->rig()->Unplug(EmulatedKind::Pad);
  EXPECT_EQ(AskJson("state")["firstPassDone"].asBool(), true);
  ASSERT_TRUE(test::WaitUntil([&] { return Current() == nullptr; }, 5s));

  program_->rig()
      ->Firmware(EmulatedKind::Pad)
      .SetMemory(MemoryArea::Settings, 0, {0x00, 0x00, 0x01});
  program_->rig()->Plug(EmulatedKind::Pad);
  ASSERT_TRUE(test::WaitUntil([&] { return Current() && Ready(); }, 10s));
  Settle();
  EXPECT_TRUE(test::WaitUntil([&] { return Record()[pad_record::kMode] == ModeValue(3); }, 5s));
  EXPECT_EQ(Record()[pad_record::kGreen], 77);
  EXPECT_EQ(Record()[pad_record::kRed], 99);
}

// A game's kill event flashes the current device in the mode it names: its record and the
// editor take the mode, its profile does not; five seconds after the last event the device's
// own lighting comes back, on the device too.
TEST_F(PadLightEndToEnd, AGameEventFlashesTheDeviceAndItsOwnLightingComesBack) {
  Start({"--simulate", "pad", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 2"), "ok");
  const Json::Value own = LightInfo();
  ASSERT_EQ(Send("Game_Kill 0 3"), "ok");
  Settle();
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(3));
  EXPECT_EQ(AskJson("ui get light_combo_modeSelect")["selected"].asInt(), 3);
  EXPECT_EQ(LightInfo(), own);
  // Another variant, then an unknown one, which changes nothing.
  ASSERT_EQ(Send("Game_Death 1 4"), "ok");
  Settle();
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(4));
  ASSERT_EQ(Send("Game_Death 7 1"), "ok");
  Settle();
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(4));

  EXPECT_TRUE(test::WaitUntil([&] { return Record()[pad_record::kMode] == ModeValue(2); }, 8s));
  EXPECT_EQ(AskJson("ui get light_combo_modeSelect")["selected"].asInt(), 2);
  EXPECT_EQ(LightInfo(), own);
}

class HeadsetLights : public PadLightEndToEnd {
 protected:
  CTarnwiseHS6533Device* Headset() const { return qobject_cast<CTarnwiseHS6533Device*>(Current()); }
  Json::Value Memory() { return AskJson("sim memory headset"); }
  uint32_t Reports() { return Memory()["frameReports"].asUInt(); }
  // Reports keep coming: at least two bursts more within a second.
  bool ReportsFlow() {
    const uint32_t before = Reports();
    return test::WaitUntil([&] { return Reports() >= before + 2 * kHeadsetReportCount; }, 2s);
  }
};

// The headset's lights follow the preview: static red shows in every light's red reports at the
// level the preview shows (capped at 247), and the reports keep coming when the window is
// hidden or minimised. Its record takes the mode as the pad's does.
TEST_F(HeadsetLights, TheHeadsetGetsEveryFrameShownHiddenOrMinimised) {
  Start({"--simulate", "headset", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_NE(Headset(), nullptr);
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 3"), "ok");
  ASSERT_EQ(Ask("ui set deng_edit_R 255"), "ok");
  ASSERT_EQ(Ask("ui set deng_edit_G 0"), "ok");
  ASSERT_EQ(Ask("ui set deng_edit_B 40"), "ok");
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(3));

  CDeviceKeyButtonUI* cell = Headset()->LightButton(0);
  ASSERT_NE(cell, nullptr);
  const uint8_t alpha = cell->LightAlpha();
  const std::string red = HexString(std::vector<uint8_t>(7, HeadsetLevel(255, alpha)));
  const std::string blue = HexString(std::vector<uint8_t>(7, HeadsetLevel(40, alpha)));
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        const Json::Value reports = Memory()["lastReports"];
        return reports["22aa"].asString().rfind(red, 0) == 0 &&
               reports["22ac"].asString().rfind(blue, 0) == 0;
      },
      3s));
  const Json::Value last = Memory()["lastReports"];
  EXPECT_EQ(last.size(), kHeadsetReportCount);
  EXPECT_EQ(last["44aa"].asString().substr(0, 14), red);
  EXPECT_EQ(last["22ab"].asString().substr(0, 14), "00000000000000");
  EXPECT_EQ(last["22ac"].asString().substr(0, 14), blue);
  EXPECT_TRUE(ReportsFlow());
  Render("headset_lighting");

  ASSERT_EQ(Ask("window hide"), "ok");
  EXPECT_TRUE(ReportsFlow());
  ASSERT_EQ(Ask("window show"), "ok");
  window_->showMinimized();
  EXPECT_TRUE(ReportsFlow());
  window_->showNormal();

  // A profile switch rewrites the headset's record too.
  ASSERT_EQ(Ask("profile HD add --yes"), "ok");
  const Json::Value list = AskJson("profile HD list");
  ASSERT_EQ(list["profiles"].size(), 2u);
  ASSERT_EQ(Ask("profile HD switch " + list["profiles"][1].asString()), "ok");
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 2"), "ok");
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(2));
  ASSERT_EQ(Ask("profile HD switch " + list["profiles"][0].asString()), "ok");
  EXPECT_EQ(Record()[pad_record::kMode], ModeValue(3));
  EXPECT_EQ(Record()[pad_record::kBlue], 40);
}

// Both devices at once: the editor offers "same mode"; a headset pulled out mid-burst leaves
// the window answering and the pad's lights going.
TEST_F(HeadsetLights, TwoDevicesOfferSameModeAndAHeadsetPulledOutMidBurstHarmsNothing) {
  Start({"--simulate", "pad,headset", "--latency", "1"});
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 1"), "ok");
  EXPECT_TRUE(AskJson("ui get deng_same_mode")["visible"].asBool());
  ASSERT_TRUE(ReportsFlow());
  program_->rig()->Unplug(EmulatedKind::Headset);
  // Gone from the window once the program has seen it go.
  const auto headsetAttached = [&] {
    const Json::Value state = AskJson("state");
    for (const Json::Value& device : state["devices"]) {
      if (device["model"].asString() == "HD") return device["attached"].asBool();
    }
    return false;
  };
  ASSERT_TRUE(test::WaitUntil([&] { return !headsetAttached(); }, 5s));
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->Kind(), kKindMousePad);
  EXPECT_TRUE(PreviewMoves());
  program_->rig()->Plug(EmulatedKind::Headset);
  const uint32_t before = program_->rig()->Firmware(EmulatedKind::Headset).FrameReportCount();
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        return program_->rig()->Firmware(EmulatedKind::Headset).FrameReportCount() >
               before + kHeadsetReportCount;
      },
      10s));
}

}  // namespace
}  // namespace varkon
