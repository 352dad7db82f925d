// The key assignment editor as a user meets it: the program with the emulated keyboard, keys
// picked on the picture and given new functions in the editor, written with "Apply", checked in
// the emulated keyboard's key tables and in the profile file.
#include <gtest/gtest.h>
#include <json/value.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "app/main_window.h"
#include "app/program.h"
#include "app_test_support.h"
#include "core/json_file.h"
#include "core/json_text.h"
#include "devices/key_tables.h"
#include "devices/panels/keyboard_device.h"
#include "editors/key_set_control.h"
#include "emulator/emulated_rig.h"
#include "keyboard_program.h"
#include "platform/ui/language_text.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

constexpr AssignmentCode kKeyA{kAssignKeyboard, 0, 0x04};
constexpr AssignmentCode kKeyB{kAssignKeyboard, 0, 0x05};

class KeyEditorEndToEnd : public test::KeyboardProgram {
 protected:
  void SetUp() override {
    test::KeyboardProgram::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_NE(Editor(), nullptr) << "the keys page has no key editor";
    ASSERT_EQ(Ask("ui click key_Op_tab"), "ok");
  }

  CKeySetControlUI* Editor() const { return Keyboard() ? Keyboard()->KeyEditor() : nullptr; }
  bool KeysUnsent() { return AskJson("state")["keysUnsent"].asBool(); }

  // The list index of the key whose default is `code`, and its position in the key tables.
  int ListIndex(AssignmentCode code) { return FindCanonicalIndex(code); }
  AssignmentCode TableEntry(MemoryArea table, int listIndex) {
    const size_t p = Keyboard()->Keyboard().Maps().keyPosition[static_cast<size_t>(listIndex)];
    const std::vector<uint8_t> memory = Firmware().Memory(table);
    EXPECT_LT(3 * p + 2, memory.size());
    return {memory[3 * p], memory[3 * p + 1], memory[3 * p + 2]};
  }
  Json::Value ProfileKey(int listIndex) {
    const std::string path = Keyboard()->Logic().Profiles().CurrentProfileFilePath();
    return ReadJsonFile(path)["Device"][0]["KeyList"][listIndex];
  }
  std::string SelectFunction(int function) {
    return Ask("ui select keyset_function_combo " +
               std::to_string(Editor()->FunctionItemFor(function)));
  }
  // A macro library of one macro with `steps` key presses, then the panel shows it.
  void WriteMacro(const std::string& name, int steps) {
    const std::string folder = Keyboard()->Logic().Folders().dataFolder;
    std::filesystem::create_directories(folder);
    Json::Value list(Json::objectValue);
    Json::Value entry(Json::objectValue);
    entry["MacroName"] = name;
    entry["Guid"] = "macro0";
    list["MacroInfo"].append(entry);
    ASSERT_TRUE(WriteJsonFileChecked(folder + "/macro.config", list));
    Json::Value macro(Json::objectValue);
    macro["MacroName"] = name;
    macro["Guid"] = "macro0";
    macro["Version"] = 64;
    macro["Events"] = Json::Value(Json::arrayValue);
    for (int i = 0; i < steps; ++i) {
      Json::Value step(Json::objectValue);
      step["Action"] = i % 2 == 0 ? "down" : "up";
      step["Type"] = 10;
      step["Button"] = 4;
      step["Delay"] = "10";
      macro["Events"].append(step);
    }
    ASSERT_TRUE(WriteJsonFileChecked(folder + "/macro0.mac", macro));
    Keyboard()->RefreshPanel();
    ASSERT_EQ(Keyboard()->MacroNames(), std::vector<std::string>{name});
  }
  // Clicks "Apply" and answers the message the write shows, if any; returns its text.
  std::string ApplyAnsweringMessage() {
    auto text = std::make_shared<std::string>();
    // The message box runs its own loop: it is read and answered from inside it.
    std::function<void(int)> poll = [this, text, &poll](int left) {
      QTimer::singleShot(20, window_, [this, text, &poll, left] {
        Json::Value message;
        ParseJsonText(program_->HandleRequest({"ui", "message"}), message);
        if (message.isMember("text")) {
          *text = message["text"].asString();
          program_->HandleRequest({"ui", "answer", "ok"});
        } else if (left > 0) {
          poll(left - 1);
        }
      });
    };
    poll(200);
    EXPECT_EQ(Ask("ui click key_butt_prosave"), "ok");
    test::WaitUntil([&] { return !text->empty(); }, 5s);
    Settle();
    return *text;
  }
};

// A key clicked on the picture is edited: another key from the picker, a media function, a mouse
// button and a macro, each written by "Apply" into table A and the profile; table B keeps
// 00 00 00 while the Fn code is the default.
TEST_F(KeyEditorEndToEnd, TheEditorGivesTheMainLayerNewFunctions) {
  const int a = ListIndex(kKeyA);
  ASSERT_GE(a, 0);
  ASSERT_TRUE(Keyboard()->Keyboard().Maps().Has(static_cast<size_t>(a)));
  EXPECT_EQ(Ask("ui click key_" + std::to_string(a)), "ok");
  EXPECT_EQ(Keyboard()->SelectedKey(), a);
  // The editor shows the key's own code: the keyboard-key page with "A" picked.
  EXPECT_EQ(Editor()->SelectedFunction(), kFunctionKeyboardKey);
  EXPECT_EQ(Editor()->PickerIndex(), 58);
  EXPECT_FALSE(Editor()->ButtonsEnabled());

  // "B" in the picker: kept at once, sent by "Apply".
  EXPECT_EQ(Ask("ui click keyboard_key_79"), "ok");
  EXPECT_EQ(Keyboard()->KeyRecord(a).main.code, kKeyB);
  EXPECT_TRUE(Editor()->ButtonsEnabled());
  EXPECT_TRUE(KeysUnsent());
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, a), kKeyA) << "written before Apply";
  EXPECT_EQ(Ask("ui click key_butt_prosave"), "ok");
  Settle();
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, a), kKeyB);
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableB, a), (AssignmentCode{0, 0, 0}));
  EXPECT_EQ(ProfileKey(a)["Assignment"].asInt(), 0x200005);
  EXPECT_FALSE(KeysUnsent());
  EXPECT_FALSE(Editor()->ButtonsEnabled());

  // Media: play/pause (row 1).
  EXPECT_EQ(SelectFunction(kFunctionMedia), "ok");
  EXPECT_EQ(Ask("ui select keyset_media_combo 1"), "ok");
  EXPECT_EQ(Ask("ui click key_butt_prosave"), "ok");
  Settle();
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, a), (AssignmentCode{0x30, 0xCD, 0x00}));
  EXPECT_EQ(ProfileKey(a)["Assignment"].asInt(), 0x30CD00);

  // Mouse button: right (row 2).
  EXPECT_EQ(SelectFunction(kFunctionMouseButton), "ok");
  EXPECT_EQ(Ask("ui select keyset_mousekey_combo 2"), "ok");
  EXPECT_EQ(Ask("ui click key_butt_prosave"), "ok");
  Settle();
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, a), (AssignmentCode{0x10, 0x02, 0x00}));

  // A macro played a number of times: the repeat line shows only for play mode 4.
  WriteMacro("Greeting", 6);
  EXPECT_EQ(SelectFunction(kFunctionMacro), "ok");
  EXPECT_EQ(Ask("ui select keyset_macro_combo 0"), "ok");
  EXPECT_EQ(Ask("ui select keyset_macro_over_combo 4"), "ok");
  EXPECT_TRUE(AskJson("ui get keyset_macro_cycle_layout")["visible"].asBool());
  EXPECT_EQ(Ask("ui set keyset_macro_cycle_edit 3"), "ok");
  EXPECT_EQ(Keyboard()->KeyRecord(a).main.code, (AssignmentCode{0x71, 0, 3}));
  EXPECT_EQ(Ask("ui select keyset_macro_over_combo 2"), "ok");
  EXPECT_FALSE(AskJson("ui get keyset_macro_cycle_layout")["visible"].asBool());
  EXPECT_EQ(Ask("ui click key_butt_prosave"), "ok");
  Settle();
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, a), (AssignmentCode{0x70, 0, 2}));
  EXPECT_EQ(ProfileKey(a)["Assignment"].asInt(), 0x700002);
  EXPECT_FALSE(Firmware().Memory(MemoryArea::MacroMemory).empty());

  // "Default" writes the key's own code at once.
  EXPECT_EQ(Ask("ui click key_butt_keydefalut"), "ok");
  Settle();
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, a), kKeyA);
  EXPECT_EQ(ProfileKey(a)["Assignment"].asInt(), 0x200004);
}

// With "keyset_fn" on, the Fn layer is edited and written into table B; the main layer stays.
TEST_F(KeyEditorEndToEnd, TheFnSwitchEditsTheFnLayer) {
  const int b = ListIndex(kKeyB);
  EXPECT_EQ(Ask("ui click keyset_fn"), "ok");
  ASSERT_TRUE(Keyboard()->Keyboard().FnKeysetFlag());
  // A key of the Fn-locked list cannot be picked on that layer.
  EXPECT_EQ(Ask("ui click key_" + std::to_string(ListIndex(kKeyA))).rfind("error", 0), 0u);
  EXPECT_EQ(Ask("ui click key_" + std::to_string(b)), "ok");
  EXPECT_EQ(SelectFunction(kFunctionSystem), "ok");
  EXPECT_EQ(Ask("ui select keyset_system_combo 1"), "ok");
  EXPECT_EQ(Ask("ui click key_butt_prosave"), "ok");
  Settle();
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableB, b), (AssignmentCode{0x40, 0x02, 0}));
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, b), kKeyB);
  EXPECT_EQ(ProfileKey(b)["FnAssignment"].asInt(), 0x400200);
  EXPECT_EQ(ProfileKey(b)["Assignment"].asInt(), 0x200005);
  // Back on the main layer the editor shows the main code again.
  EXPECT_EQ(Ask("ui click keyset_fn"), "ok");
  EXPECT_FALSE(Keyboard()->Keyboard().FnKeysetFlag());
  EXPECT_EQ(Editor()->SelectedFunction(), kFunctionKeyboardKey);
}

// Macros too long for the keyboard: text 16 with the count, nothing written, then the edited key
// goes back to its default and the write is tried again.
TEST_F(KeyEditorEndToEnd, AMacroOverflowFallsBackToTheDefault) {
  const int a = ListIndex(kKeyA);
  WriteMacro("Long", 20000);
  EXPECT_EQ(Ask("ui click key_" + std::to_string(a)), "ok");
  EXPECT_EQ(SelectFunction(kFunctionMacro), "ok");
  EXPECT_EQ(Ask("ui select keyset_macro_combo 0"), "ok");
  EXPECT_EQ(Keyboard()->KeyRecord(a).main.code.kind, 0x70);
  const std::string text = ApplyAnsweringMessage();
  const std::string format = LanguageText("message_text_16");
  const std::string before = format.substr(0, format.find("%d"));
  ASSERT_FALSE(text.empty()) << "no message";
  EXPECT_EQ(text.rfind(before, 0), 0u) << text;
  EXPECT_NE(text.find_first_of("0123456789", before.size()), std::string::npos) << text;
  EXPECT_EQ(text.find("%d"), std::string::npos);
  // The retry wrote the default.
  EXPECT_EQ(Keyboard()->KeyRecord(a).main.code, kKeyA);
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, a), kKeyA);
  EXPECT_EQ(ProfileKey(a)["Assignment"].asInt(), 0x200004);
}

// `keys list|set|write`, and keys typed on the real keyboard while capture is on.
TEST_F(KeyEditorEndToEnd, ScriptsAndTypedKeys) {
  const int a = ListIndex(kKeyA);
  Json::Value list = AskJson("keys keyboard list");
  ASSERT_EQ(list.size(), Keyboard()->Keyboard().Keys().size());
  EXPECT_EQ(list[a]["index"].asInt(), a);
  EXPECT_EQ(list[a]["label"].asString(), LanguageText("keyboard_key_A"));
  EXPECT_EQ(list[a]["default"][2].asInt(), 0x04);
  EXPECT_EQ(Ask("keys keyboard set " + std::to_string(a) + " 0x30 0xE9 0"), "ok");
  EXPECT_EQ(Ask("keys keyboard set " + std::to_string(a) + " 0x40 1 0 --fn"), "ok");
  EXPECT_EQ(Ask("keys keyboard set 999 0 0 0").rfind("error", 0), 0u);
  EXPECT_EQ(Ask("keys keyboard set 1 256 0 0").rfind("error", 0), 0u);
  EXPECT_TRUE(KeysUnsent());
  list = AskJson("keys keyboard list");
  EXPECT_EQ(list[a]["main"][1].asInt(), 0xE9);
  EXPECT_EQ(list[a]["fn"][0].asInt(), 0x40);
  EXPECT_EQ(Ask("keys keyboard write"), "ok");
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, a), (AssignmentCode{0x30, 0xE9, 0}));
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableB, a), (AssignmentCode{0x40, 0x01, 0}));
  EXPECT_EQ(ProfileKey(a)["Assignment"].asInt(), 0x30E900);
  EXPECT_FALSE(KeysUnsent());

  // Typed keys: right Shift picks the Shift option; "A" with it selected keeps its modifier bit.
  const int b = ListIndex(kKeyB);
  EXPECT_EQ(Ask("ui click key_" + std::to_string(b)), "ok");
  window_->OnKeyCaptured(0x36, false);  // right Shift
  EXPECT_EQ(Editor()->ModifierIndex(), 2);
  EXPECT_EQ(Keyboard()->KeyRecord(b).main.code, (AssignmentCode{0x20, 0x20, 0}));
  window_->OnKeyCaptured(0x1E, false);  // A
  EXPECT_EQ(Keyboard()->KeyRecord(b).main.code, (AssignmentCode{0x20, 0x20, 0x04}));
  EXPECT_EQ(Editor()->CapturedText().toStdString(), LanguageText("keyboard_key_A"));
  // Ctrl, then "A" with the Ctrl option: (0x20, b1 of the current slot, 0x04).
  window_->OnKeyCaptured(0x1D, false);  // left Ctrl
  EXPECT_EQ(Editor()->ModifierIndex(), 1);
  window_->OnKeyCaptured(0x1E, false);
  EXPECT_EQ(Keyboard()->KeyRecord(b).main.code, (AssignmentCode{0x20, 0x01, 0x04}));
  // "Keep" leaves the typed key as it is; a key with no plain row (scan 0x00) is ignored.
  EXPECT_EQ(Ask("ui click key_butt_keysave"), "ok");
  EXPECT_EQ(Keyboard()->KeyRecord(b).main.code, (AssignmentCode{0x20, 0x01, 0x04}));
  window_->OnKeyCaptured(0x00, false);
  EXPECT_EQ(Keyboard()->KeyRecord(b).main.code, (AssignmentCode{0x20, 0x01, 0x04}));
  EXPECT_EQ(Ask("ui click key_butt_prosave"), "ok");
  Settle();
  EXPECT_EQ(TableEntry(MemoryArea::KeyTableA, b), (AssignmentCode{0x20, 0x01, 0x04}));
}

// The keys page shows the whole editor: every picker key and button lies inside the panel, and a
// picture of each page is left in the build folder to be looked at.
TEST_F(KeyEditorEndToEnd, TheKeysPageShowsTheWholeEditor) {
  const int a = ListIndex(kKeyA);
  EXPECT_EQ(Ask("ui click key_" + std::to_string(a)), "ok");
  window_->show();
  window_->resize(kFittedWidth, kFittedHeight);
  Settle();
  CKeySetControlUI* editor = Editor();
  ASSERT_TRUE(editor->isVisible());
  // Everything is measured in the device panel, which also holds the Fn switch.
  QWidget* device = Keyboard();
  const QRect panel(editor->mapTo(device, QPoint(0, 0)), editor->size());
  for (int i = 0; i < 115; ++i) {
    QWidget* key = editor->findChild<QWidget*>(QString::asprintf("keyboard_key_%d", i));
    ASSERT_NE(key, nullptr) << i;
    const QRect area(key->mapTo(device, QPoint(0, 0)), key->size());
    EXPECT_TRUE(key->isVisible()) << i;
    EXPECT_TRUE(panel.contains(area)) << "keyboard_key_" << i << " is cut off";
  }
  for (const char* name : {"key_butt_keysave", "key_butt_keycancel", "key_butt_keydefalut",
                           "key_butt_prosave", "keyset_function_combo", "keyset_fn"}) {
    QWidget* control = Keyboard()->findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_TRUE(control->isVisible()) << name;
    const QRect area(control->mapTo(device, QPoint(0, 0)), control->size());
    EXPECT_TRUE(panel.contains(area)) << name << " is cut off";
  }
  QDir().mkpath(VARKON_BINARY_DIR "/app-render");
  for (int function : {kFunctionKeyboardKey, kFunctionMacro, kFunctionSwing}) {
    EXPECT_EQ(SelectFunction(function), "ok");
    const QImage image = window_->grab().toImage();
    ASSERT_FALSE(image.isNull());
    image.save(QString::asprintf(VARKON_BINARY_DIR "/app-render/key_editor_%d.png", function));
  }
}

}  // namespace
}  // namespace varkon
