// The macro panel as a user meets it: the program with the emulated keyboard, macros added,
// recorded from typed keys (delivered as the capture receives them), edited, given to a key and
// written into the emulated keyboard's macro memory, deleted while profiles use them, imported
// from hostile files.
#include <gtest/gtest.h>
#include <json/value.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/language.h"
#include "devices/evdev_scan_codes.h"
#include "devices/key_tables.h"
#include "editors/key_set_control.h"
#include "editors/macro_control.h"
#include "editors/macro_step_delegate.h"
#include "keyboard_program.h"
#include "platform/ui/input_hook.h"
#include "platform/ui/language_text.h"
#include "platform/ui/popup_menu.h"
#include "profile/macro_step.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kEvdevA = 30;
constexpr uint32_t kEvdevB = 48;
constexpr AssignmentCode kKeyA{kAssignKeyboard, 0, 0x04};
constexpr AssignmentCode kKeyB{kAssignKeyboard, 0, 0x05};

class MacroEndToEnd : public test::KeyboardProgram {
 protected:
  void SetUp() override {
    test::KeyboardProgram::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_NE(Panel(), nullptr) << "the keyboard panel has no macro panel";
    ShowMacroPage();
  }
  void ShowMacroPage() {
    window_->show();
    window_->resize(kFittedWidth, kFittedHeight);
    ASSERT_EQ(Ask("ui click macro_Op_tab"), "ok");
  }

  CMacroControlUI* Panel() const { return Keyboard() ? Keyboard()->MacroPanel() : nullptr; }
  void AddMacro() { ActThenAnswer("ui click macro_btn_name_add", {{"ui", "answer", "ok"}}); }
  std::string Folder() { return Keyboard()->Logic().Folders().dataFolder; }
  Json::Value MacroFile(size_t index) {
    const auto& items = Panel()->Library().Items();
    EXPECT_LT(index, items.size());
    if (index >= items.size()) return {};
    return ReadJsonFile(Folder() + "/" + items[index].guid + ".mac");
  }
  // A key as the window system delivers it to the window: its evdev code + 8 as native code.
  void Key(uint32_t evdev, bool press, bool autoRepeat = false) {
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier,
                    evdev + kWindowSystemKeyCodeOffset, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(window_, &event);
  }
  void Wait(std::chrono::milliseconds time) {
    test::WaitUntil([] { return false; }, time);
  }
  QWidget* Control(const char* name) { return Keyboard()->findChild<QWidget*>(name); }
  void Command(const char* menuItem) {
    ui::Message message;
    message.number = ui::kMenuCommandMessage;
    message.name = menuItem;
    window_->bus().Send(message);
  }
  static MacroStep Step(const Json::Value& file, Json::ArrayIndex i) {
    return ReadMacroStep(file["Events"][i]);
  }
  int ListIndex(AssignmentCode code) { return FindCanonicalIndex(code); }
  bool HookRunning() { return window_->inputHook() && window_->inputHook()->Running(); }
};

// Record "a", wait, "b" in measured mode: a down and an up row per key, the held key once, the
// delays the waits, the same steps in the file and after a restart.
TEST_F(MacroEndToEnd, ARecordingHoldsTheTypedKeysWithTheirWaits) {
  AddMacro();
  ASSERT_EQ(Panel()->Library().Items().size(), 1u);
  EXPECT_EQ(Panel()->Library().Items()[0].name, "macro_1");
  EXPECT_EQ(Keyboard()->KeyEditor()->MacroCount(), 1u);

  ASSERT_EQ(Ask("ui click macro_btn_starredio"), "ok");
  ASSERT_TRUE(window_->MacroRecording());
  EXPECT_TRUE(HookRunning());
  EXPECT_TRUE(Control("macro_btn_stopredio")->isVisible());
  EXPECT_FALSE(Control("macro_btn_starredio")->isVisible());
  EXPECT_FALSE(Control("macro_action_list")->isEnabled());
  EXPECT_FALSE(Control("KeySetControlItem")->isEnabled());
  EXPECT_FALSE(window_->skinRoot()->findChild<QWidget*>("device_select_layout")->isEnabled());

  Key(kEvdevA, true);
  for (int i = 0; i < 5; ++i) {
    Wait(20ms);
    Key(kEvdevA, true, true);  // the keyboard repeating the held key
  }
  Key(kEvdevA, false);
  Wait(300ms);
  Key(kEvdevB, true);
  Wait(40ms);
  Key(kEvdevB, false);
  ASSERT_EQ(Ask("ui click macro_btn_stopredio"), "ok");
  EXPECT_FALSE(window_->MacroRecording());
  EXPECT_FALSE(HookRunning());
  EXPECT_TRUE(Control("KeySetControlItem")->isEnabled());
  EXPECT_TRUE(Control("macro_btn_starredio")->isVisible());

  ASSERT_EQ(Panel()->ShownStepCount(), 4);
  const int held = Panel()->ShownDelay(0).toInt();
  const int waited = Panel()->ShownDelay(1).toInt();
  EXPECT_GE(held, 100);
  EXPECT_GE(waited, 300);
  EXPECT_LT(waited, 1500);
  EXPECT_GE(Panel()->ShownDelay(2).toInt(), 40);
  EXPECT_EQ(Panel()->ShownDelay(3), "0");
  EXPECT_EQ(Panel()->ShownLabel(0), QString::fromStdString(LanguageText("keyboard_key_A")));
  EXPECT_EQ(Panel()->ShownAction(1), QString::fromStdString(LanguageText("macro_step_up")));

  const Json::Value file = MacroFile(0);
  ASSERT_EQ(file["Events"].size(), 4u);
  EXPECT_EQ(file["Version"].asInt(), 64);
  EXPECT_EQ(file["MacroName"].asString(), "macro_1");
  const bool downs[] = {true, false, true, false};
  const int usages[] = {0x04, 0x04, 0x05, 0x05};
  for (Json::ArrayIndex i = 0; i < 4; ++i) {
    EXPECT_EQ(Step(file, i).down, downs[i]) << i;
    EXPECT_EQ(Step(file, i).type, kStepKey) << i;
    EXPECT_EQ(Step(file, i).button, usages[i]) << i;
    EXPECT_EQ(file["Events"][i]["Delay"].asString(),
              Panel()->ShownDelay(static_cast<int>(i)).toStdString());
  }

  Restart({"--simulate", "keyboard", "--latency", "0"});
  ShowMacroPage();
  ASSERT_EQ(Panel()->ShownStepCount(), 4);
  EXPECT_EQ(Panel()->ShownDelay(1).toInt(), waited);
  // The steps' names follow the language.
  const int shownLanguage = program_->language()->languageIndex();
  const QString up = Panel()->ShownAction(1);
  ASSERT_TRUE(program_->language()->ApplyLanguage(shownLanguage == 0 ? 1 : 0));
  EXPECT_EQ(Panel()->ShownAction(1), QString::fromStdString(LanguageText("macro_step_up")));
  EXPECT_NE(Panel()->ShownAction(1), up);
  ASSERT_TRUE(program_->language()->ApplyLanguage(shownLanguage));

  // The panel as it looks with the recording.
  QDir().mkpath(VARKON_BINARY_DIR "/app-render");
  window_->grab().toImage().save(VARKON_BINARY_DIR "/app-render/macro_panel.png");
}

// A macro given to a key and written: the macro memory holds its image and the key plays it.
TEST_F(MacroEndToEnd, AKeyGivenTheMacroPlaysItFromTheKeyboardsMemory) {
  AddMacro();
  ASSERT_EQ(Ask("ui click macro_btn_starredio"), "ok");
  Key(kEvdevA, true);
  Key(kEvdevA, false);
  ASSERT_EQ(Ask("ui click macro_btn_stopredio"), "ok");
  ASSERT_EQ(Panel()->ShownStepCount(), 2);
  const Json::Value file = MacroFile(0);

  const int a = ListIndex(kKeyB);
  ASSERT_EQ(Ask("ui click key_Op_tab"), "ok");
  ASSERT_EQ(Ask("ui click key_" + std::to_string(a)), "ok");
  CKeySetControlUI* editor = Keyboard()->KeyEditor();
  ASSERT_EQ(Ask("ui select keyset_function_combo " +
                std::to_string(editor->FunctionItemFor(kFunctionMacro))),
            "ok");
  ASSERT_EQ(Ask("ui select keyset_macro_combo 0"), "ok");
  ASSERT_EQ(Ask("ui click key_butt_prosave"), "ok");
  EXPECT_EQ(Keyboard()->KeyRecord(a).main.code.kind, 0x70);
  EXPECT_EQ(Keyboard()->KeyRecord(a).main.code.b1, 0);

  const std::vector<uint8_t> memory = Firmware().Memory(MemoryArea::MacroMemory);
  ASSERT_GE(memory.size(), 30u);
  const std::vector<uint8_t> header(memory.begin(), memory.begin() + 6);
  EXPECT_EQ(header, (std::vector<uint8_t>{0xAA, 0x55, 30, 0, 1, 0}));
  EXPECT_EQ(memory[16], 18);  // the block's offset
  EXPECT_EQ(memory[18], 2);   // its step count
  for (Json::ArrayIndex i = 0; i < 2; ++i) {
    const MacroEvent event = EncodeMacroStep(file["Events"][i]);
    const std::vector<uint8_t> stored(memory.begin() + 22 + 4 * i, memory.begin() + 26 + 4 * i);
    EXPECT_EQ(stored, std::vector<uint8_t>(event.begin(), event.end())) << i;
  }
  EXPECT_EQ(memory[28], 0x0A);  // A's release: type 10 without the down bit, usage 4
  EXPECT_EQ(memory[29], 0x04);
}

// Steps inserted by command, delays typed, rows moved and deleted: each saved at once.
TEST_F(MacroEndToEnd, EveryEditIsSavedAtOnce) {
  AddMacro();
  auto* left = qobject_cast<QLineEdit*>(Control("mouse_x_left_edit"));
  ASSERT_NE(left, nullptr);
  left->setText("300");
  ASSERT_EQ(Ask("ui click macro_inset_moveleftkey_btn"), "ok");
  Json::Value file = MacroFile(0);
  ASSERT_EQ(file["Events"].size(), 1u);
  EXPECT_EQ(Step(file, 0).button, 44);
  EXPECT_EQ(Step(file, 0).type, kStepMoveX);
  EXPECT_TRUE(Step(file, 0).down);

  Command("back_click");
  file = MacroFile(0);
  ASSERT_EQ(file["Events"].size(), 3u);
  EXPECT_EQ(Step(file, 1).button, 0x08);
  EXPECT_TRUE(Step(file, 1).down);
  EXPECT_FALSE(Step(file, 2).down);
  EXPECT_EQ(Panel()->ShownStepCount(), 3);

  // A delay typed into row 0 (a click on its field opens it): at most 65535, saved when the
  // field is left.
  QListWidget* list = Panel()->StepList();
  const QRect row = list->visualItemRect(list->item(0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    MacroStepDelegate::DelayRect(row).center());
  auto* delay = list->findChild<QLineEdit*>("macro_delay");
  ASSERT_NE(delay, nullptr) << "the click did not open the delay field";
  QTest::keyClicks(delay, "70000");
  QTest::keyClick(delay, Qt::Key_Return);
  Settle();
  EXPECT_EQ(MacroFile(0)["Events"][0]["Delay"].asString(), "65535");
  EXPECT_EQ(Panel()->ShownDelay(0), "65535");

  // Row 2 (back up) to the top, then one down; delete it; clear all.
  ASSERT_EQ(Ask("ui select macro_action_list 2"), "ok");
  ASSERT_EQ(Ask("ui click macro_btn_uptop"), "ok");
  file = MacroFile(0);
  EXPECT_EQ(Step(file, 0).button, 0x08);
  EXPECT_FALSE(Step(file, 0).down);
  EXPECT_EQ(file["Events"][1]["Delay"].asString(), "65535");
  ASSERT_EQ(Ask("ui click macro_btn_down"), "ok");
  EXPECT_EQ(Step(MacroFile(0), 1).type, kStepMouseButton);
  EXPECT_FALSE(Step(MacroFile(0), 1).down);
  ASSERT_EQ(Ask("ui click macro_btn_delete"), "ok");
  EXPECT_EQ(MacroFile(0)["Events"].size(), 2u);
  EXPECT_EQ(Panel()->ShownStepCount(), 2);

  // Recording after the selected row, without delays, from the steps menu.
  ASSERT_EQ(Ask("ui select macro_action_list 0"), "ok");
  Command("redio_later_ignore_time");
  ASSERT_TRUE(window_->MacroRecording());
  Key(kEvdevB, true);
  Key(kEvdevB, false);
  ASSERT_EQ(Ask("ui click macro_btn_stopredio"), "ok");
  file = MacroFile(0);
  ASSERT_EQ(file["Events"].size(), 4u);
  EXPECT_EQ(Step(file, 1).button, 0x05);
  EXPECT_EQ(Step(file, 2).button, 0x05);
  EXPECT_EQ(Step(file, 3).type, kStepMouseButton);

  // "Replace the key of this step": the next key typed becomes row 3's key, its delay stays.
  ASSERT_EQ(Ask("ui select macro_action_list 3"), "ok");
  const std::string kept = MacroFile(0)["Events"][3]["Delay"].asString();
  Command("macro_action_edit");
  ASSERT_TRUE(window_->MacroRecording());
  Key(kEvdevA, true);
  ASSERT_EQ(Ask("ui click macro_btn_stopredio"), "ok");
  file = MacroFile(0);
  ASSERT_EQ(file["Events"].size(), 4u);
  EXPECT_EQ(Step(file, 3).type, kStepKey);
  EXPECT_EQ(Step(file, 3).button, 0x04);
  EXPECT_TRUE(Step(file, 3).down);
  EXPECT_EQ(file["Events"][3]["Delay"].asString(), kept);

  ASSERT_EQ(Ask("ui click macro_btn_deleteall"), "ok");
  EXPECT_EQ(MacroFile(0)["Events"].size(), 0u);
  EXPECT_EQ(Panel()->ShownStepCount(), 0);
}

// Deleting a macro that keys of two profiles use: in both profile files those keys fall back to
// their defaults and a later macro's keys follow it down by one.
TEST_F(MacroEndToEnd, DeletingAMacroFixesTheKeysOfEveryProfile) {
  AddMacro();
  AddMacro();
  ASSERT_EQ(Panel()->Library().Items().size(), 2u);
  const std::string a = std::to_string(ListIndex(kKeyA));
  const std::string b = std::to_string(ListIndex(kKeyB));
  const auto assign = [&] {
    ASSERT_EQ(Ask("keys keyboard set " + a + " 0x70 1 0"), "ok");
    ASSERT_EQ(Ask("keys keyboard set " + b + " 0x70 0 0"), "ok");
    ASSERT_EQ(Ask("keys keyboard write"), "ok");
  };
  assign();
  ASSERT_EQ(Ask("profile keyboard add --yes"), "ok");
  ASSERT_EQ(Ask("profile keyboard switch profile2"), "ok");
  assign();
  ASSERT_EQ(Ask("profile keyboard switch Profile1"), "ok");
  ShowMacroPage();

  ASSERT_EQ(Ask("ui select macro_name_list 0"), "ok");
  const Json::Value shown = ActThenAnswer("ui click macro_btn_name_sub",
                                          {{"ui", "answer", "ok"}, {"ui", "answer", "ok"}});
  EXPECT_EQ(shown["text"].asString(), LanguageText("message_text_2"));
  ASSERT_EQ(Panel()->Library().Items().size(), 1u);
  EXPECT_EQ(Panel()->Library().Items()[0].name, "macro_2");
  EXPECT_EQ(Keyboard()->KeyEditor()->MacroCount(), 1u);

  const int keyA = ListIndex(kKeyA);
  const int keyB = ListIndex(kKeyB);
  const auto check = [&](const char* profile) {
    const Json::Value keys = ProfileSection()["KeyList"];
    EXPECT_EQ(keys[keyA]["Assignment"].asInt(), 0x700000) << profile;
    EXPECT_EQ(keys[keyB]["Assignment"].asInt(), 0x200005) << profile;
  };
  check("Profile1");
  const std::vector<uint8_t> table = Firmware().Memory(MemoryArea::KeyTableA);
  const size_t p = Keyboard()->Keyboard().Maps().keyPosition[static_cast<size_t>(keyA)];
  EXPECT_EQ(table[3 * p], 0x70);
  EXPECT_EQ(table[3 * p + 1], 0);
  ASSERT_EQ(Ask("profile keyboard switch profile2"), "ok");
  check("profile2");

  // Refusing the second question changes nothing.
  ShowMacroPage();
  ASSERT_EQ(Ask("ui select macro_name_list 0"), "ok");
  ActThenAnswer("ui click macro_btn_name_sub",
                {{"ui", "answer", "ok"}, {"ui", "answer", "cancel"}});
  EXPECT_EQ(Panel()->Library().Items().size(), 1u);
  EXPECT_EQ(ProfileSection()["KeyList"][keyA]["Assignment"].asInt(), 0x700000);
}

// Hostile files: wrong types, unknown keys, absurd delays import and write without harm; a file
// of 100 000 steps is refused with its reason.
TEST_F(MacroEndToEnd, HostileMacroFilesNeitherCrashNorOverflowTheMemory) {
  test::TempDir outside;
  Json::Value odd(Json::objectValue);
  const char* steps[] = {
      R"({"Action": 5, "Type": "ten", "Button": 4, "Delay": "-300"})",
      R"({"Action": "down", "Type": 10, "Button": 99999, "Delay": 1e300})",
      R"({"Action": "down", "Type": 77, "Button": -1, "Delay": "99999999999999999999"})",
      R"([1, 2, 3])",
      R"({"Action": "up", "Type": 9, "Button": 3.5, "Delay": null})",
  };
  odd["Events"] = Json::Value(Json::arrayValue);
  for (const char* text : steps) {
    Json::Value step;
    ASSERT_TRUE(ParseJsonText(text, step)) << text;
    odd["Events"].append(step);
  }
  const std::string oddPath = outside.File("odd.mac");
  ASSERT_TRUE(WriteJsonFileChecked(oddPath, odd));
  ActThenAnswer("ui click macro_btn_import", {{"ui", "answer-file", oddPath}});
  ASSERT_EQ(Panel()->Library().Items().size(), 1u);
  EXPECT_EQ(Panel()->Library().Items()[0].name, "odd");
  EXPECT_EQ(Panel()->ShownStepCount(), 5);

  Json::Value huge(Json::objectValue);
  huge["Events"] = Json::Value(Json::arrayValue);
  for (int i = 0; i < 100000; ++i) huge["Events"].append(odd["Events"][1]);
  const std::string hugePath = outside.File("huge.mac");
  ASSERT_TRUE(WriteJsonFileChecked(hugePath, huge));
  const Json::Value told = ActThenAnswer("ui click macro_btn_import",
                                         {{"ui", "answer-file", hugePath}, {"ui", "answer", "ok"}});
  EXPECT_EQ(told["text"].asString(), LanguageText("message_macro_import_refused"));
  EXPECT_EQ(Panel()->Library().Items().size(), 1u);
  // Small enough a file, but one step more than a recording may hold.
  huge["Events"].resize(kMaxMacroFileSteps + 1);
  ASSERT_TRUE(WriteJsonFileChecked(hugePath, huge));
  ActThenAnswer("ui click macro_btn_import",
                {{"ui", "answer-file", hugePath}, {"ui", "answer", "ok"}});
  EXPECT_EQ(Panel()->Library().Items().size(), 1u);
  const std::string notJson = outside.File("text.mac");
  std::ofstream(notJson) << "{\"Events\": [";
  ActThenAnswer("ui click macro_btn_import",
                {{"ui", "answer-file", notJson}, {"ui", "answer", "ok"}});
  EXPECT_EQ(Panel()->Library().Items().size(), 1u);

  // The odd macro on a key: written, and the image is as long as its header says.
  const std::string b = std::to_string(ListIndex(kKeyB));
  ASSERT_EQ(Ask("keys keyboard set " + b + " 0x70 0 0"), "ok");
  ASSERT_EQ(Ask("keys keyboard write"), "ok");
  const std::vector<uint8_t> memory = Firmware().Memory(MemoryArea::MacroMemory);
  ASSERT_GE(memory.size(), 16u + 6 + 20);
  EXPECT_EQ(memory[0], 0xAA);
  EXPECT_EQ(memory[2] | memory[3] << 8, 16 + 6 + 4 * 5);
}

// Whatever ends a recording, the capture is released with it: the window hiding, the device
// going away.
TEST_F(MacroEndToEnd, NoCaptureOutlivesTheRecording) {
  AddMacro();
  ASSERT_EQ(Ask("ui click macro_btn_starredio"), "ok");
  ASSERT_TRUE(HookRunning());
  window_->hide();
  EXPECT_FALSE(HookRunning());
  EXPECT_FALSE(window_->MacroRecording());
  EXPECT_TRUE(window_->skinRoot()->findChild<QWidget*>("device_select_layout")->isEnabled());

  ShowMacroPage();
  ASSERT_EQ(Ask("ui click macro_btn_starredio"), "ok");
  Key(kEvdevA, true);
  ASSERT_TRUE(HookRunning());
  program_->rig()->Unplug(EmulatedKind::Keyboard);
  ASSERT_TRUE(test::WaitUntil([&] { return Keyboard() == nullptr; }, 10s));
  EXPECT_FALSE(HookRunning());
  EXPECT_FALSE(window_->MacroRecording());
  EXPECT_TRUE(window_->skinRoot()->findChild<QWidget*>("device_select_layout")->isEnabled());
}

}  // namespace
}  // namespace varkon
