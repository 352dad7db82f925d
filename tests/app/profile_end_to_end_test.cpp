// The profile panel as a user meets it: the program with the emulated keyboard, its buttons,
// questions and file dialogs answered as a script does ("ui ...", "profile ..."), checked in the
// profile index and files on disk and in the emulated keyboard's memory.
#include <gtest/gtest.h>
#include <json/value.h>

#include <QAction>
#include <QMenu>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "editors/device_profile.h"
#include "keyboard_program.h"
#include "platform/ui/language_text.h"
#include "platform/ui/popup_menu.h"
#include "profile/profile_index.h"

namespace varkon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class ProfileEndToEnd : public test::KeyboardProgram {
 protected:
  ProfileIndex& Profiles() { return Keyboard()->Logic().Profiles(); }
  std::string DataFolder() { return Profiles().DataFolder(); }
  Json::Value Index() { return ReadJsonFile(DataFolder() + "ProfileList.ini"); }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    const Json::Value index = Index();
    for (const Json::Value& entry : index["profilelist"]) {
      names.push_back(entry["profilename"].asString());
    }
    return names;
  }
  Json::Value ProfileFile(int i) {
    return ReadJsonFile(DataFolder() + Index()["profilelist"][i]["profileUUID"].asString() +
                        ".Json");
  }
  // A panel button whose question the script confirms.
  void ClickAndConfirm(const std::string& button, const std::string& question) {
    const Json::Value message = ActThenAnswer("ui click " + button, {{"ui", "answer", "ok"}});
    EXPECT_EQ(message["textId"].asString(), question) << button;
  }
  // A panel button that opens a file dialog, answered with `path`.
  void ClickAndChooseFile(const std::string& button, const std::string& path) {
    ActThenAnswer("ui click " + button, {{"ui", "answer-file", path}});
  }
  std::vector<uint8_t> KeyTableA() { return Firmware().Memory(MemoryArea::KeyTableA); }
  // The main-layer code the keyboard holds for list key `index`.
  std::vector<uint8_t> KeyboardCode(int index) {
    const uint8_t position = Keyboard()->Keyboard().Maps().keyPosition[index];
    const std::vector<uint8_t> table = KeyTableA();
    return {table.begin() + position * 3, table.begin() + position * 3 + 3};
  }
  // Waits for the profile switch of the list (timer 1055) and the device's write to finish.
  void WaitForSwitchTo(int index) {
    ASSERT_TRUE(test::WaitUntil([&] { return Profiles().GetSelectedIndex() == index; }, 5s));
    Settle();
  }
};

// Every operation of the panel, from its buttons, with the files on disk following each one.
TEST_F(ProfileEndToEnd, ThePanelsOperationsKeepTheIndexAndFiles) {
  // First start: "Profile1", selected, in a file holding its name and identifier.
  EXPECT_EQ(Names(), std::vector<std::string>{"Profile1"});
  EXPECT_EQ(Index()["profileselect"].asInt(), 0);
  const std::regex stamp(R"(\d{4}_\d{2}_\d{2}_\d{2}_\d{2}_\d{2}_\d{3}(_\d+)?)");
  const std::string firstId = Index()["profilelist"][0]["profileUUID"].asString();
  EXPECT_TRUE(std::regex_match(firstId, stamp)) << firstId;
  EXPECT_EQ(ProfileFile(0)["profilename"].asString(), "Profile1");
  EXPECT_EQ(ProfileFile(0)["profileUUID"].asString(), firstId);
  EXPECT_EQ(AskJson("ui get device_profile_combo")["text"].asString(), "Profile1");

  // The tab row and the profile panel agree on the page; the keyboard has no cursor tab.
  ASSERT_EQ(Ask("ui click system_Op_tab"), "ok");
  EXPECT_EQ(Profiles().SelectedOperationTab(), 4);
  ASSERT_EQ(Ask("ui click deng_Op_tab"), "ok");
  EXPECT_EQ(Profiles().SelectedOperationTab(), 1);

  // The menu folds open over the device panel.
  ASSERT_EQ(Ask("ui click profile_fun_spread_btn"), "ok");
  EXPECT_TRUE(Keyboard()->ProfilePanel()->IsProfileMenuVisible());

  // Add, after its question: "profile1" is taken ignoring case, so "profile2". A refused
  // question adds nothing.
  ClickAndConfirm("device_add_btn", "message_text_27");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Profile1", "profile2"}));
  EXPECT_EQ(ProfileFile(1)["profilename"].asString(), "profile2");
  EXPECT_TRUE(std::regex_match(ProfileFile(1)["profileUUID"].asString(), stamp));
  EXPECT_TRUE(ProfileFile(1)["Device"].isArray());  // made from the factory data
  ActThenAnswer("ui click device_add_btn", {{"ui", "answer", "cancel"}});
  EXPECT_EQ(Names().size(), 2u);

  // Copy and rename the selected profile.
  ClickAndConfirm("device_copy_btn", "message_text_26");
  EXPECT_EQ(Names().back(), "Profile1 copy");
  EXPECT_EQ(Ask("ui set device_profile_name_edit Game Day"), "ok");
  EXPECT_EQ(Ask("ui click device_profile_edit_save_btn"), "ok");
  Settle();
  EXPECT_EQ(Names()[0], "Game Day");
  EXPECT_EQ(ProfileFile(0)["profilename"].asString(), "Game Day");
  EXPECT_EQ(AskJson("ui get device_profile_combo")["text"].asString(), "Game Day");
  // Another profile's name (in any case) is refused with its message.
  EXPECT_EQ(Ask("ui set device_profile_name_edit PROFILE2"), "ok");
  EXPECT_EQ(ActThenAnswer("ui click device_profile_edit_save_btn", {{"ui", "answer", "ok"}})["text"]
                .asString(),
            LanguageText("message_text_5"));
  EXPECT_EQ(Names()[0], "Game Day");
  EXPECT_EQ(program_->HandleRequest({"profile", "keyboard", "rename", "   "}),
            "error " + LanguageText("message_text_25"));

  // Export through the save dialog, then import the file twice.
  test::TempDir outside;
  const std::string exported = outside.File("Game Day.json");
  ClickAndChooseFile("device_export_btn", exported);
  EXPECT_TRUE(SameJsonDocument(ReadJsonFile(exported), ProfileFile(0)));
  // A file that cannot be written is reported, not taken for done.
  EXPECT_EQ(Ask("profile keyboard export " + outside.File("no such folder/x.json")),
            "error " + LanguageText("profile_export_not_written"));
  ClickAndChooseFile("device_import_btn", exported);
  ClickAndChooseFile("device_import_btn", exported);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Game Day", "profile2", "Profile1 copy",
                                               "Game Day(1)", "Game Day(1)(2)"}));
  const Json::Value imported = ProfileFile(4);
  EXPECT_EQ(imported["profilename"].asString(), "Game Day(1)(2)");
  EXPECT_EQ(imported["profileUUID"].asString(),
            Index()["profilelist"][4]["profileUUID"].asString());
  EXPECT_EQ(imported["Device"], ProfileFile(0)["Device"]);
  // Cancelling the dialog imports nothing.
  ActThenAnswer("ui click device_import_btn", {{"ui", "answer", "cancel"}});
  EXPECT_EQ(Names().size(), 5u);

  // Delete the selected (first) profile: its file goes, and the keyboard takes the profile now
  // selected, so nothing writes into the deleted one again.
  const std::string deletedFile = DataFolder() + firstId + ".Json";
  ClickAndConfirm("device_sub_btn", "message_text_29");
  EXPECT_EQ(Names().size(), 4u);
  EXPECT_EQ(Names()[0], "profile2");
  EXPECT_FALSE(fs::exists(deletedFile));
  EXPECT_EQ(Index()["profileselect"].asInt(), 0);
  EXPECT_EQ(Keyboard()->GetProfileName(), "profile2");
  Ask("light keyboard brightness 1");
  EXPECT_FALSE(fs::exists(deletedFile));
  EXPECT_EQ(ProfileFile(0)["Device"][0]["LightInfo"]["Light"].asInt(), 1);

  // Reset brings the factory settings back into the selected profile, keeping its name.
  ClickAndConfirm("device_reset_btn", "message_text_22");
  EXPECT_EQ(ProfileFile(0)["profilename"].asString(), "profile2");
  EXPECT_NE(ProfileFile(0)["Device"][0]["LightInfo"]["Light"].asInt(), 1);
  EXPECT_EQ(KeyboardState()["lightEditor"]["brightness"].asInt(),
            ProfileFile(0)["Device"][0]["LightInfo"]["Light"].asInt());

  // The list in the state and from the script agrees with the panel.
  const Json::Value list = AskJson("profile keyboard list");
  EXPECT_EQ(list["selected"].asInt(), 0);
  EXPECT_EQ(list["profiles"].size(), 4u);
  EXPECT_EQ(KeyboardState()["profiles"], list["profiles"]);

  // At most 50 profiles are added; copies and imports still go in.
  for (size_t count = Names().size(); count < 50; ++count) {
    ASSERT_EQ(Ask("profile keyboard add --yes"), "ok");
  }
  EXPECT_EQ(Names().size(), 50u);
  EXPECT_EQ(Ask("profile keyboard add --yes").rfind("error", 0), 0u);
  EXPECT_EQ(Ask("profile keyboard copy --yes"), "ok");
  EXPECT_EQ(Ask("profile keyboard import " + exported), "ok");
  EXPECT_EQ(Names().size(), 52u);
}

// Switching profiles, from the list, a script, the tray or the keyboard's own hot-key, rewrites
// (or, for the hot-key, follows) the keyboard's record and key tables.
TEST_F(ProfileEndToEnd, SwitchingProfilesRewritesTheKeyboard) {
  ASSERT_EQ(Ask("profile keyboard add --yes"), "ok");
  const std::vector<uint8_t> firstRecord = Record();
  const int key = 30;
  const std::vector<uint8_t> defaultCode = KeyboardCode(key);

  // The list's selection settles, then the keyboard takes profile 2; it gets its own lighting
  // and its own key.
  ASSERT_EQ(Ask("ui select device_profile_combo 1"), "ok");
  WaitForSwitchTo(1);
  EXPECT_EQ(Keyboard()->GetProfileName(), "profile2");
  Ask("light keyboard mode 3 brightness 2");
  KeyAssignmentRecord record = Keyboard()->KeyRecord(key);
  record.main.code = {kAssignKeyboard, 0, 0x2C};  // the space bar's usage
  Keyboard()->StoreKeyRecord(key, record);
  Keyboard()->SaveProfile();
  const std::vector<uint8_t> secondRecord = Record();
  EXPECT_NE(secondRecord, firstRecord);

  // Back to the first: its record and the key's own code.
  EXPECT_EQ(Ask("profile keyboard switch Profile1"), "ok");
  EXPECT_EQ(Record(), firstRecord);
  EXPECT_EQ(KeyboardCode(key), defaultCode);
  EXPECT_EQ(AskJson("ui get device_profile_combo")["text"].asString(), "Profile1");

  // The tray's submenu switches too.
  window_->RefreshTrayProfiles();
  QMenu* profiles = window_->trayMenu()->menu()->findChild<QMenu*>("tray_profiles_menu");
  ASSERT_NE(profiles, nullptr);
  ASSERT_EQ(profiles->actions().size(), 1);
  QMenu* keyboardMenu = profiles->actions()[0]->menu();
  ASSERT_NE(keyboardMenu, nullptr);
  ASSERT_EQ(keyboardMenu->actions().size(), 2);
  EXPECT_TRUE(keyboardMenu->actions()[0]->isChecked());
  keyboardMenu->actions()[1]->trigger();
  WaitForSwitchTo(1);
  EXPECT_EQ(Record(), secondRecord);
  EXPECT_EQ(KeyboardCode(key), (std::vector<uint8_t>{kAssignKeyboard, 0, 0x2C}));

  // The keyboard's hot-key to its first profile: the list follows, nothing is rewritten.
  const std::vector<uint8_t> tableBefore = KeyTableA();
  program_->rig()->SendNotice(EmulatedKind::Keyboard, 0x1000);
  WaitForSwitchTo(0);
  EXPECT_EQ(AskJson("ui get device_profile_combo")["text"].asString(), "Profile1");
  EXPECT_EQ(KeyboardState()["profile"]["index"].asInt(), 0);
  EXPECT_EQ(KeyTableA(), tableBefore);

  // A keyboard that refuses its key tables: the switch says so, as does the key editor's write.
  Fault refused;
  refused.kind = FaultKind::StatusFE;
  refused.command = kCmdWriteKeyTable;
  refused.times = -1;
  Firmware().InjectFault(refused);
  const std::string notTaken = LanguageText("message_keys_not_written");
  EXPECT_EQ(Ask("profile keyboard switch profile2"), "error " + notTaken);
  EXPECT_EQ(Ask("keys keyboard write").rfind("error " + notTaken, 0), 0u);
  Firmware().ClearFaults();

  // A profile that is not there is refused with its name.
  EXPECT_EQ(Ask("profile keyboard switch Nowhere"), "error there is no profile Nowhere");
}

// Imports of broken and hostile files: a message that says why, no crash, nothing written
// outside the data folder, the existing profiles untouched.
TEST_F(ProfileEndToEnd, HostileImportsChangeNothingAndSayWhy) {
  test::TempDir sources;
  const auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(sources.File(name), std::ios::binary) << text;
    return sources.File(name);
  };
  const fs::path root = fs::path(DataFolder()).parent_path().parent_path();
  const auto allFiles = [&] {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      files.insert(entry.path().string());
    }
    return files;
  };
  ASSERT_EQ(Ask("ui click profile_fun_spread_btn"), "ok");
  const std::set<std::string> filesBefore = allFiles();
  const std::string indexBefore = ReadTextFile(DataFolder() + "ProfileList.ini");
  const std::string profileBefore = ReadTextFile(Profiles().CurrentProfileFilePath());

  std::string numbers = "[1";
  for (int i = 0; i < 200000; ++i) numbers += ",1";
  numbers += "]";
  const std::vector<std::pair<std::string, std::string>> refused = {
      {write("text.json", "this is not JSON {"), "profile_import_unreadable"},
      {write("empty.json", ""), "profile_import_unreadable"},
      {write("types.json", R"({"profilename": null, "profileUUID": 5})"),
       "profile_import_not_profile"},
      {write("array.json", numbers), "profile_import_not_profile"},
      {write("huge.json", std::string(10 << 20, ' ') + "{}"), "profile_import_too_large"},
      {sources.File("missing.json"), "profile_import_unreadable"},
  };
  for (const auto& [path, reason] : refused) {
    // The dialog's answer, then the message that says why.
    const std::string told =
        ActThenAnswer("ui click device_import_btn",
                      {{"ui", "answer-file", path}, {"ui", "answer", "ok"}})["text"]
            .asString();
    EXPECT_EQ(told, LanguageText(reason)) << path;
    EXPECT_EQ(Ask("profile keyboard import " + path), "error " + LanguageText(reason)) << path;
  }
  EXPECT_EQ(allFiles(), filesBefore);
  EXPECT_EQ(ReadTextFile(DataFolder() + "ProfileList.ini"), indexBefore);

  // A profile whose identifiers point outside, with members of the wrong types and a huge
  // array, goes in under a fresh identifier in the data folder and loads without harm.
  std::string keyList = "[";
  for (int i = 0; i < 200000; ++i) keyList += i ? ",[\"x\",{},-1]" : "[\"x\",{},-1]";
  keyList += "]";
  const std::string hostile =
      write("Hostile.json", R"({"profilename": ["no"], "profileUUID": "../../escape",
        "Guid": "../../../etc/passwd",
        "Device": [{"KeyList": )" +
                                keyList + R"(, "LightInfo": "bright",
        "FnKeysetFlag": {"x": 1}, "MacroList": [{"Guid": "../../x"}]}]})");
  EXPECT_EQ(Ask("profile keyboard import " + hostile), "ok");
  EXPECT_EQ(Names().back(), "Hostile");
  const std::string id = Index()["profilelist"][1]["profileUUID"].asString();
  EXPECT_EQ(id.find_first_of("/\\."), std::string::npos);
  EXPECT_TRUE(fs::exists(DataFolder() + id + ".Json"));
  EXPECT_EQ(Ask("profile keyboard switch Hostile"), "ok");
  EXPECT_EQ(Keyboard()->GetProfileName(), "Hostile");
  EXPECT_EQ(Ask("profile keyboard switch Profile1"), "ok");
  EXPECT_EQ(ReadTextFile(Profiles().CurrentProfileFilePath()), profileBefore);
  for (const std::string& file : allFiles()) {
    EXPECT_EQ(file.rfind(root.string(), 0), 0u) << file;
  }
  EXPECT_FALSE(fs::exists(root.parent_path() / "escape.Json"));
}

}  // namespace
}  // namespace varkon
