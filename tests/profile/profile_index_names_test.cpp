#include "profile/profile_index_names.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "profile/profile_index_ui.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using Names = std::vector<std::string>;

TEST(ProfileNamesTest, FoldingCoversLatinGreekAndCyrillic) {
  EXPECT_EQ(FoldedName("ÀÉÎÕÜ"), FoldedName("àéîõü"));
  EXPECT_EQ(FoldedName("ŁŹ"), FoldedName("łź"));
  EXPECT_EQ(FoldedName("ΑΒΓΆΣ"), FoldedName("αβγάς"));
  EXPECT_EQ(FoldedName("ЁЖЯ"), FoldedName("ёжя"));
  EXPECT_NE(FoldedName("a"), FoldedName("b"));
  EXPECT_NE(FoldedName("×"), FoldedName("÷"));  // not a letter pair
}

TEST(ProfileNamesTest, BlankNames) {
  EXPECT_TRUE(IsBlankName(""));
  EXPECT_TRUE(IsBlankName("   "));
  EXPECT_TRUE(IsBlankName(" \t\r\n"));
  EXPECT_FALSE(IsBlankName(" a "));
}

TEST(ProfileNamesTest, FreshStampIdAvoidsTakenIdsAndExistingFiles) {
  test::TempDir dir;
  const std::string folder = dir.path() + "/";
  const std::string first = FreshStampId({}, folder, ".mac");
  EXPECT_FALSE(first.empty());
  // Taken ids and existing files both push the id on, even within the same millisecond.
  std::vector<std::string> taken = {first};
  for (int i = 0; i < 20; ++i) {
    const std::string id = FreshStampId(taken, folder, ".mac");
    EXPECT_EQ(std::find(taken.begin(), taken.end(), id), taken.end()) << id;
    taken.push_back(id);
    std::ofstream(folder + id + ".mac") << "x";
    const std::string next = FreshStampId({}, folder, ".mac");
    EXPECT_FALSE(std::filesystem::exists(folder + next + ".mac")) << next;
  }
}

TEST(ProfileIndexUiTest, OperationTabNames) {
  EXPECT_STREQ(OperationTabName(1), "deng_Op_tab");
  EXPECT_STREQ(OperationTabName(5), "cursor_Op_tab");
  EXPECT_STREQ(OperationTabName(8), "Virtual7.1_Op_tab");
  EXPECT_EQ(OperationTabName(0), nullptr);
  EXPECT_EQ(OperationTabName(9), nullptr);
}

TEST(ProfileIndexUiTest, TabsPerDeviceType) {
  EXPECT_EQ(OperationTabsFor(1).hidden, Names{"cursor_Op_tab"});
  EXPECT_TRUE(OperationTabsFor(2).hidden.empty());
  EXPECT_EQ(OperationTabsFor(4).hidden, (Names{"cursor_Op_tab", "macro_Op_tab", "key_Op_tab"}));
  const OperationTabVisibility headset = OperationTabsFor(7);
  EXPECT_EQ(headset.hidden,
            (Names{"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"}));
  EXPECT_EQ(headset.shown, (Names{"6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}));
  EXPECT_EQ(OperationTabsFor(3).hidden, headset.hidden);
  EXPECT_TRUE(OperationTabsFor(3).shown.empty());
  EXPECT_TRUE(OperationTabsFor(6).hidden.empty());
}

TEST(ProfileIndexUiTest, MessageIds) {
  EXPECT_STREQ(ProfileActionConfirmation(ProfileAction::kAdd), "message_text_27");
  EXPECT_STREQ(ProfileActionConfirmation(ProfileAction::kDelete), "message_text_29");
  EXPECT_STREQ(ProfileActionConfirmation(ProfileAction::kCopy), "message_text_26");
  EXPECT_STREQ(ProfileActionConfirmation(ProfileAction::kReset), "message_text_22");
  EXPECT_EQ(ProfileActionConfirmation(ProfileAction::kRename), nullptr);
  EXPECT_STREQ(RenameResultMessage(0), "message_text_5");
  EXPECT_STREQ(RenameResultMessage(2), "message_text_25");
  EXPECT_EQ(RenameResultMessage(1), nullptr);
}

}  // namespace
}  // namespace varkon
