// The keyboard as a user meets it: the program with the emulated keyboard, driven through the
// same requests varkonctl sends ("ui ...", "light ..."), checked on the screen, in the profile
// file and in the emulated keyboard's memory.
#include <gtest/gtest.h>
#include <json/value.h>

#include <filesystem>
#include <memory>
#include <set>

#include "app/device_screen.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app_test_support.h"
#include "core/json_file.h"
#include "core/json_text.h"
#include "devices/panels/keyboard_device.h"
#include "editors/light_control.h"
#include "emulator/emulated_rig.h"
#include "emulator/firmware_images.h"
#include "keyboard_program.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class KeyboardEndToEnd : public test::KeyboardProgram {
 protected:
  // The colours of the lit cells now, after the preview painted them.
  std::vector<uint32_t> CellColours() {
    std::vector<uint32_t> colours;
    for (int i = 0; i < Keyboard()->LightCount(); ++i) {
      if (CDeviceKeyButtonUI* cell = Keyboard()->LightButton(i)) {
        colours.push_back(cell->LightColour() | static_cast<uint32_t>(cell->LightAlpha()) << 24);
      }
    }
    return colours;
  }
};

// Every key shows the effect, animated; an edit in the lighting editor changes the preview, the
// keyboard's record and the profile, and all of it comes back after a restart.
TEST_F(KeyboardEndToEnd, TheLightingEditorDrivesPreviewRecordAndProfile) {
  // The keyboard's own settings came in: effect 1 (the wave) in colour cycle.
  Json::Value editor = KeyboardState()["lightEditor"];
  EXPECT_EQ(editor["mode"].asInt(), 1);
  EXPECT_EQ(editor["brightness"].asInt(), 4);
  EXPECT_EQ(KeyboardState()["profile"]["name"].asString(), "Profile1");
  const std::vector<uint32_t> first = CellColours();
  test::WaitUntil([] { return false; }, 300ms);
  const std::vector<uint32_t> later = CellColours();
  ASSERT_GE(first.size(), 100u);
  size_t moved = 0;
  std::set<uint32_t> distinct(later.begin(), later.end());
  for (size_t i = 0; i < first.size(); ++i) moved += first[i] != later[i] ? 1 : 0;
  EXPECT_GT(moved, first.size() / 2) << "the wave does not move";
  EXPECT_GT(distinct.size(), 10u) << "the cells do not show a wave";

  EXPECT_EQ(Ask("ui select light_combo_modeSelect 6"), "ok");  // static
  EXPECT_EQ(Ask("ui set deng_light_slider 2"), "ok");
  EXPECT_EQ(Ask("ui set deng_edit_R 18"), "ok");
  EXPECT_EQ(Ask("ui set deng_edit_G 300"), "ok");
  EXPECT_EQ(Ask("ui set deng_edit_B 86"), "ok");
  EXPECT_EQ(AskJson("ui get deng_edit_G")["text"].asString(), "255");
  // Static has no speed: its slider cannot be moved.
  EXPECT_EQ(Ask("ui set deng_speed_slider 3").rfind("error", 0), 0u);
  std::vector<uint8_t> record = Record();
  EXPECT_EQ(record[1], 6);
  EXPECT_EQ(record[2], 2);
  EXPECT_EQ(record[5], 0);  // a typed colour switches the colour cycle off
  EXPECT_EQ(record[6], 18);
  EXPECT_EQ(record[7], 255);
  EXPECT_EQ(record[8], 86);
  // The preview shows the static colour at brightness 2 (alpha 135) on every lit key.
  test::WaitUntil([] { return false; }, 200ms);
  // Only the keys below 126 carry a preview colour.
  for (int i = 0; i < 126; ++i) {
    if (CDeviceKeyButtonUI* cell = Keyboard()->LightButton(i)) {
      EXPECT_EQ(cell->LightColour() | static_cast<uint32_t>(cell->LightAlpha()) << 24,
                0x87000000u | 18u | 86u << 8 | 255u << 16)
          << "light_" << i;
    }
  }

  EXPECT_EQ(Ask("ui select light_combo_modeSelect 5"), "ok");  // breathing: speed and FX
  EXPECT_EQ(Ask("ui set deng_speed_slider 3"), "ok");
  EXPECT_EQ(Ask("ui check deng_7color_check on"), "ok");
  record = Record();
  EXPECT_EQ(record[1], 5);
  EXPECT_EQ(record[3], 1);  // 4 - speed
  EXPECT_EQ(record[5], 1);
  const Json::Value light = ProfileSection()["LightInfo"];
  EXPECT_EQ(light["SelectItem"].asInt(), 5);
  EXPECT_EQ(light["Light"].asInt(), 2);
  EXPECT_EQ(light["Speed"].asInt(), 3);
  EXPECT_EQ(light["MultiColor"].asInt(), 1);
  EXPECT_EQ(light["Green"].asInt(), 255);

  // A preset colour, and a colour picked in the palette, switch the colour cycle off again.
  EXPECT_EQ(Ask("ui click color_option_3"), "ok");
  const uint32_t preset = Keyboard()->LightPanel()->GetPresetColour(3);
  record = Record();
  EXPECT_EQ(record[5], 0);
  EXPECT_EQ(uint32_t{record[6]} << 16 | uint32_t{record[7]} << 8 | record[8], preset & 0xFFFFFF);
  EXPECT_EQ(Ask("ui colour deng_Color_Pallet 3366cc"), "ok");
  const uint32_t picked = Keyboard()->LightPanel()->GetPaletteColour();
  record = Record();
  EXPECT_EQ(uint32_t{record[6]} << 16 | uint32_t{record[7]} << 8 | record[8], picked & 0xFFFFFF);
  EXPECT_NEAR(record[6], 0x33, 6);
  EXPECT_NEAR(record[8], 0xCC, 6);

  // The same through the scripting request, on the device by name.
  EXPECT_EQ(Ask("light keyboard mode 1 brightness 3 direction 1 colour 00ff80"), "ok");
  record = Record();
  EXPECT_EQ(record[1], 1);
  EXPECT_EQ(record[2], 3);
  EXPECT_EQ(record[4], 1);
  EXPECT_EQ(record[7], 0xFF);
  EXPECT_EQ(record[8], 0x80);
  EXPECT_EQ(AskJson("ui get deng_light_slider")["value"].asInt(), 3);
  EXPECT_EQ(Ask("light keyboard brightness 9").rfind("error", 0), 0u);

  // The emulated memory and the profile are kept: a new start shows the same.
  Restart({"--simulate", "keyboard", "--latency", "0"});
  editor = KeyboardState()["lightEditor"];
  EXPECT_EQ(editor["mode"].asInt(), 1);
  EXPECT_EQ(editor["brightness"].asInt(), 3);
  EXPECT_EQ(editor["direction"].asInt(), 1);
  EXPECT_EQ(editor["colour"].asString(), "00ff80");
  EXPECT_EQ(AskJson("ui get light_combo_modeSelect")["selected"].asInt(), 1);
  EXPECT_EQ(AskJson("ui get deng_edit_B")["text"].asString(), "128");
}

// The controls a mode uses, as the keyboard's table says.
TEST_F(KeyboardEndToEnd, ControlsFollowTheKeyboardModeTable) {
  const auto visible = [&](const char* name) {
    return AskJson(std::string("ui get ") + name)["visible"].asBool();
  };
  const auto enabled = [&](const char* name) {
    return AskJson(std::string("ui get ") + name)["enabled"].asBool();
  };
  Ask("ui select light_combo_modeSelect 17");
  EXPECT_FALSE(visible("deng_speed_layout"));
  EXPECT_TRUE(visible("light_combo_ZZCCmodeSelectLayout"));
  EXPECT_FALSE(enabled("deng_7color_check"));
  Ask("ui select light_combo_ZZCCmodeSelect 2");
  EXPECT_EQ(Record()[18], 2);
  Ask("ui select light_combo_modeSelect 5");
  EXPECT_TRUE(visible("deng_speed_layout"));
  EXPECT_FALSE(visible("light_combo_ZZCCmodeSelectLayout"));
  EXPECT_FALSE(enabled("deng_fx_layout"));
  Ask("ui select light_combo_modeSelect 20");
  EXPECT_TRUE(visible("lightcustom_layout"));
  Ask("ui select light_combo_modeSelect 21");
  EXPECT_FALSE(enabled("deng_light_layout"));
  // One device shown: "deng_same_mode" never shows, whatever the mode.
  Ask("ui select light_combo_modeSelect 4");
  EXPECT_FALSE(visible("deng_same_mode"));
}

// Effect 20: painted keys keep their colours in the profile, and the keyboard's colour page has
// them at the LEDs its tables gave those keys.
TEST_F(KeyboardEndToEnd, PaintedKeysReachTheProfileAndTheColourPage) {
  Ask("light keyboard colour 20c040");
  Ask("ui select light_combo_modeSelect 20");
  const KeyboardKeyMaps& maps = Keyboard()->Keyboard().Maps();
  int a = -1, b = -1;
  for (int i = 0; i < 126 && b < 0; ++i) {
    if (!maps.Has(static_cast<size_t>(i)) || !Keyboard()->LightButton(i)) continue;
    (a < 0 ? a : b) = i;
  }
  ASSERT_GE(b, 0);
  EXPECT_EQ(Ask("ui paint " + std::to_string(a) + " " + std::to_string(b)), "ok");
  const Json::Value colours = ProfileSection()["CustomLightMode"]["LightColorInfo"][0];
  EXPECT_EQ(colours[a]["Red"].asInt(), 0x20);
  EXPECT_EQ(colours[b]["Green"].asInt(), 0xC0);
  EXPECT_EQ(colours[b]["Blue"].asInt(), 0x40);
  const std::vector<uint8_t> page = Firmware().Memory(MemoryArea::ColourTables);
  for (int key : {a, b}) {
    const size_t led = maps.keyLed[static_cast<size_t>(key)];
    EXPECT_EQ(page[3 * led], 0x20) << key;
    EXPECT_EQ(page[3 * led + 1], 0xC0) << key;
    EXPECT_EQ(page[3 * led + 2], 0x40) << key;
  }
  // Painting dark, one clicked key.
  Ask("ui click custom_off_color_btn");
  Ask("ui click key_" + std::to_string(a));
  EXPECT_EQ(Firmware().Memory(MemoryArea::ColourTables)[3 * maps.keyLed[static_cast<size_t>(a)]],
            0);
  EXPECT_EQ(ProfileSection()["CustomLightMode"]["LightColorInfo"][0][a]["Red"].asInt(), 0);
}

// Effects 29 and 30 stream the preview to the keyboard, shown, hidden or minimised.
TEST_F(KeyboardEndToEnd, MusicEffectsStreamFramesAlsoWhileHidden) {
  Ask("ui select light_combo_modeSelect 30");
  EXPECT_EQ(Record()[1], 0xFE);
  const auto frames = [&] { return Firmware().LightFrames(); };
  ASSERT_TRUE(test::WaitUntil([&] { return frames() >= 3; }, 5s));
  Ask("window hide");
  ASSERT_TRUE(test::WaitUntil([&] { return !window_->isVisible(); }));
  const uint32_t hidden = frames();
  test::WaitUntil([] { return false; }, 600ms);
  EXPECT_GE(frames(), hidden + 4) << "streaming stopped with the window hidden";
  EXPECT_EQ(Firmware().LastLightFrame().size(), 3u * KeyboardKeyCount());
  Ask("ui select light_combo_modeSelect 1");  // the window is hidden: refused
  window_->showMinimized();
  const uint32_t minimised = frames();
  test::WaitUntil([] { return false; }, 600ms);
  EXPECT_GE(frames(), minimised + 4);
}

TEST_F(KeyboardEndToEnd, NoticesSwitchTheOnboardProfileAndReReadTheKeyboard) {
  program_->rig()->SendNotice(EmulatedKind::Keyboard, 0x1135);
  ASSERT_TRUE(test::WaitUntil([&] { return Keyboard()->Keyboard().ActiveProfile() == 5; }));
  Settle();
  EXPECT_EQ(KeyboardState()["keyboard"]["recordByte17"].asInt(), 3);
  Ask("ui click system_Op_tab");
  EXPECT_NE(AskJson("ui get onboard_profile_label")["text"].asString().find('5'),
            std::string::npos);
  program_->rig()->SendNotice(EmulatedKind::Keyboard, 0x0405);  // nothing
  // The keyboard changed its own settings and says so: the record is read again.
  Firmware().SetMemory(MemoryArea::Settings, 2, {1});
  program_->rig()->SendNotice(EmulatedKind::Keyboard, 0x0402);
  ASSERT_TRUE(test::WaitUntil([&] { return Keyboard()->GetLightState().brightness == 1; }));
  Settle();
  EXPECT_EQ(ProfileSection()["LightInfo"]["Light"].asInt(), 1);
  EXPECT_EQ(AskJson("ui get deng_light_slider")["value"].asInt(), 1);

  // A key pressed on the keyboard lights its cell in the reactive effect; keys it does not have
  // light nothing.
  Ask("light keyboard mode 7 brightness 4");
  test::WaitUntil([] { return false; }, 300ms);
  const KeyboardKeyMaps& maps = Keyboard()->Keyboard().Maps();
  const int key = 30;
  ASSERT_TRUE(maps.Has(key));
  EXPECT_EQ(Keyboard()->GetLightColour(key) >> 24, 0u);
  program_->rig()->SendNotice(EmulatedKind::Keyboard,
                              static_cast<uint16_t>(0x0500 + maps.keyPosition[key]));
  EXPECT_TRUE(test::WaitUntil([&] { return (Keyboard()->GetLightColour(key) >> 24) > 0; }, 2s));
  program_->rig()->SendNotice(EmulatedKind::Keyboard,
                              static_cast<uint16_t>(0x0600 + maps.keyPosition[key]));
}

TEST_F(KeyboardEndToEnd, TheSystemPageStoresAndSendsTheKeyboardOptions) {
  EXPECT_EQ(Ask("ui click system_Op_tab"), "ok");
  EXPECT_EQ(Keyboard()->GetFunctionPage(), 4);
  EXPECT_EQ(Ask("ui check 6flag_option on"), "ok");
  EXPECT_EQ(Ask("ui check polling_rate_option_2 on"), "ok");
  EXPECT_EQ(Ask("ui check wflag_option on"), "ok");
  EXPECT_EQ(Ask("ui check winlockflag_option on"), "ok");
  EXPECT_EQ(Ask("ui check repeat_delay_check_2 on"), "ok");
  EXPECT_EQ(Ask("ui set repeat_rate_slider 7"), "ok");
  EXPECT_EQ(Ask("ui set voice_sensitivity 40"), "ok");
  const std::vector<uint8_t> record = Record();
  EXPECT_EQ(record[19], 1);
  EXPECT_EQ(record[20], 1);
  EXPECT_EQ(record[21], 1);
  EXPECT_EQ(record[22], 2);
  EXPECT_NE(AskJson("ui get repeat_delay_time_label1")["text"].asString().find("750ms"),
            std::string::npos);
  EXPECT_EQ(AskJson("ui get voice_sensitivity_value")["text"].asString(), "40");
  const Json::Value system = ProfileSection()["SystemStages"];
  EXPECT_EQ(system["Key6Flag"].asInt(), 1);
  EXPECT_EQ(system["PollingRate"].asInt(), 2);
  EXPECT_EQ(system["WFlag"].asInt(), 1);
  EXPECT_EQ(system["WinFlag"].asInt(), 1);
  EXPECT_EQ(system["RepeatDelay"].asInt(), 2);
  EXPECT_EQ(system["Repeat"].asInt(), 7);
  EXPECT_EQ(ProfileSection()["LightInfo"]["byVoiceSensitivity"].asInt(), 40);
  // Reset brings the factory repeat settings back and leaves the rest.
  EXPECT_EQ(Ask("ui click reset_repeat_btn"), "ok");
  EXPECT_NE(ProfileSection()["SystemStages"]["Repeat"].asInt(), 7);
  EXPECT_EQ(ProfileSection()["SystemStages"]["Key6Flag"].asInt(), 1);
}

// A keyboard that does not answer, refuses, or goes away leaves the window responsive and
// reports nothing as done; plugged back in, it is read again.
TEST_F(KeyboardEndToEnd, AMisbehavingKeyboardLeavesTheWindowResponsive) {
  Fault silent;
  silent.kind = FaultKind::NoReply;
  silent.times = -1;
  Firmware().InjectFault(silent);
  window_->ResetUiStall();
  const std::string answer = program_->HandleRequest({"ui", "set", "deng_light_slider", "1"});
  EXPECT_EQ(answer, "ok");
  // The keyboard's silence (a second per command) is spent on its worker, not on the window.
  test::WaitUntil([] { return false; }, 1500ms);
  EXPECT_LT(window_->UiStallMaxMs(), 500);
  ASSERT_TRUE(test::WaitUntil([&] { return Keyboard()->Keyboard().Jobs().Pending() == 0; }, 20s));
  Settle();  // the outcome reaches the window after the job
  EXPECT_NE(KeyboardState()["keyboard"]["lastStatus"].asInt(), 1);
  Firmware().ClearFaults();

  Fault refused;
  refused.kind = FaultKind::StatusFE;
  refused.command = kCmdWriteSettings;
  refused.times = -1;
  Firmware().InjectFault(refused);
  Ask("ui set deng_light_slider 2");
  EXPECT_EQ(KeyboardState()["keyboard"]["lastStatus"].asInt(), kStatusDeviceFE);
  Firmware().ClearFaults();

  program_->rig()->Unplug(EmulatedKind::Keyboard);
  ASSERT_TRUE(test::WaitUntil([&] { return window_->CurrentDevice() == nullptr; }));
  EXPECT_EQ(Ask("light keyboard brightness 3").rfind("error", 0), std::string::npos);
  program_->rig()->Plug(EmulatedKind::Keyboard);
  ASSERT_TRUE(test::WaitUntil([&] { return Keyboard() != nullptr; }));
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        return Keyboard()->Keyboard().LastStatus() == kStatusOk &&
               Keyboard()->Keyboard().Jobs().Pending() == 0;
      },
      20s));
  EXPECT_GE(KeyboardState()["keyboard"]["keysFound"].asInt(), 100);
}

// Every kind of device binds its profile and animates its picture.
TEST(DevicesEndToEnd, EveryDeviceHasItsProfileAndAnimates) {
  test::TempDir dir;
  test::ScopedEnv data("XDG_DATA_HOME", dir.File("data"));
  test::ScopedEnv state("XDG_STATE_HOME", dir.File("state"));
  StartupOptions options;
  std::string error;
  ASSERT_TRUE(ParseStartupArgs({"--simulate", "keyboard,mouse,pad,headset", "--latency", "0"},
                               options, error));
  Program program(dir.File("control"));
  ASSERT_EQ(program.Start(options, error), Program::StartResult::Running) << error;
  CMainWnd* window = program.mainWindow();
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        if (!window->FirstPassDone() || window->deviceScreen()->Devices().size() != 4) return false;
        for (CTarnwiseUSBDevice* device : window->deviceScreen()->Devices()) {
          if (!device->Logic().ProfileBound()) return false;
        }
        return true;
      },
      30s));
  for (CTarnwiseUSBDevice* device : window->deviceScreen()->Devices()) {
    EXPECT_EQ(device->GetProfileName(), "Profile1") << device->DisplayName();
    EXPECT_TRUE(std::filesystem::exists(device->Logic().Profiles().CurrentProfileFilePath()));
    std::vector<uint32_t> before;
    for (int i = 0; i < device->LightCount(); ++i) before.push_back(device->GetLightColour(i));
    bool changed = false;
    test::WaitUntil(
        [&] {
          for (int i = 0; i < device->LightCount(); ++i) {
            if (device->GetLightColour(i) != before[static_cast<size_t>(i)]) changed = true;
          }
          return changed;
        },
        3s);
    EXPECT_TRUE(changed) << device->DisplayName() << " does not animate its effect";
  }
}

}  // namespace
}  // namespace varkon
