// The update list's rules: which rows an offer makes updatable, what the user's confirmation
// starts, how the updater's steps move the current row, and when the window may close.
#include "app/update_list.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/json_file.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

std::vector<UpdateItem> Installed() {
  return {InstalledUpdateItem("program", "Varkon Korvu Wired", "0.1.0"),
          InstalledUpdateItem("keyboard", "keyboard", "1.02"),
          InstalledUpdateItem("mouse", "mouse", ""),  // met, but not connected
          InstalledUpdateItem("mouse pad", "MousePad", "1.02")};
}

TEST(UpdateList, OffersMakeConnectedOlderRowsUpdatable) {
  EXPECT_TRUE(IsNewerVersion("1.10", "1.9"));
  EXPECT_TRUE(IsNewerVersion("2.3.0.2", "2.3"));
  EXPECT_FALSE(IsNewerVersion("2.3.0", "2.3"));
  EXPECT_FALSE(IsNewerVersion("1.0a", "0.9"));
  EXPECT_FALSE(IsNewerVersion("", "0.9"));
  EXPECT_FALSE(IsNewerVersion("1..2", "0.9"));

  const UpdateList none(Installed(), {}, false);
  EXPECT_EQ(none.Status(), kUpdateStatusNoInformation);
  const UpdateList same(Installed(), {{"keyboard", "1.02"}}, true);
  EXPECT_EQ(same.Status(), kUpdateStatusUpToDate);

  const UpdateList list(Installed(),
                        {{"keyboard", "1.03"},
                         {"keyboard", "1.05"},
                         {"keyboard", "1.04"},
                         {"mouse", "9.0"},
                         {"program", "0.0.9"}},
                        true);
  EXPECT_EQ(list.Status(), kUpdateStatusAvailable);
  const auto& items = list.Items();
  EXPECT_EQ(items[1].state, kUpdateNeeded);
  EXPECT_EQ(items[1].updateRev, "1.05");  // the newest offer
  EXPECT_TRUE(items[1].checkEnabled);
  for (size_t i : {0u, 2u, 3u}) {
    EXPECT_EQ(items[i].state, kUpdateLatest) << i;
    EXPECT_FALSE(items[i].checkEnabled) << i;
    EXPECT_TRUE(items[i].updateRev.empty()) << i;
  }
  EXPECT_STREQ(LookOfState(items[0].state).statusTextId, "LessUpdateText");
  EXPECT_TRUE(LookOfState(items[0].state).grey);
}

TEST(UpdateList, TheUpdaterWalksTheChosenRowsInTurn) {
  UpdateList list(Installed(), {{"keyboard", "1.03"}, {"mouse pad", "1.10"}}, true);
  EXPECT_FALSE(list.SetChecked(0, true));            // nothing to update on that row
  EXPECT_FALSE(list.Step(kUpdateStepProgress, 10));  // nothing chosen yet: no current row
  ASSERT_TRUE(list.SetChecked(1, true));
  ASSERT_TRUE(list.SetChecked(3, true));
  EXPECT_TRUE(list.CloseAllowed());
  list.StartChecked();
  EXPECT_EQ(list.Status(), kUpdateStatusUpdating);
  EXPECT_EQ(list.Items()[1].state, kUpdateWaiting);
  EXPECT_FALSE(list.Items()[1].checkEnabled);
  EXPECT_FALSE(list.CloseAllowed());
  EXPECT_FALSE(list.SetChecked(1, false));  // the boxes wait for the updater

  EXPECT_EQ(list.Current(), 1);
  EXPECT_TRUE(list.Step(kUpdateStepProgress, 140));
  EXPECT_EQ(list.Items()[1].state, kUpdateInstalling);
  EXPECT_EQ(list.Items()[1].progress, 100);
  EXPECT_TRUE(LookOfState(kUpdateInstalling).progressShown);
  EXPECT_FALSE(list.Step(9, 0));

  EXPECT_TRUE(list.Step(kUpdateStepDone, 0));
  EXPECT_EQ(list.Items()[1].state, kUpdateDone);
  EXPECT_EQ(list.Items()[1].oldRev, "1.03");
  EXPECT_TRUE(list.Items()[1].updateRev.empty());
  EXPECT_EQ(list.Current(), 3);  // the next chosen row
  EXPECT_EQ(list.Status(), kUpdateStatusUpdating);
  EXPECT_FALSE(list.CloseAllowed());
  // "Ended" right after a reported success keeps the row; a failure marks it failed.
  EXPECT_FALSE(list.Step(kUpdateStepEnded, 0));
  EXPECT_EQ(list.Items()[3].state, kUpdateWaiting);

  EXPECT_TRUE(list.Step(kUpdateStepFailed, 0));
  EXPECT_EQ(list.Items()[3].state, kUpdateFailed);
  EXPECT_EQ(list.Current(), -1);
  EXPECT_TRUE(list.CloseAllowed());
  // The failed row may be tried again; the done one has nothing left.
  EXPECT_EQ(list.Status(), kUpdateStatusAvailable);
  EXPECT_TRUE(list.Items()[3].checkEnabled);
  EXPECT_FALSE(list.Items()[1].checkEnabled);
  EXPECT_FALSE(list.Items()[0].checkEnabled);

  // Tried again: "ended" with no success reported in this run is a failure; then it succeeds.
  ASSERT_TRUE(list.SetChecked(3, true));
  list.StartChecked();
  EXPECT_EQ(list.Items()[3].state, kUpdateWaiting);
  EXPECT_TRUE(list.Step(kUpdateStepEnded, 0));
  EXPECT_EQ(list.Items()[3].state, kUpdateFailed);
  ASSERT_TRUE(list.SetChecked(3, true));
  list.StartChecked();
  EXPECT_TRUE(list.Step(kUpdateStepDone, 0));
  EXPECT_EQ(list.Status(), kUpdateStatusUpToDate);
  EXPECT_EQ(list.Items()[3].oldRev, "1.10");
}

TEST(UpdateList, ConfirmingWithNothingCheckedStartsNothing) {
  UpdateList list(Installed(), {{"keyboard", "1.03"}}, true);
  list.StartChecked();
  EXPECT_EQ(list.Items()[1].state, kUpdateNeeded);
  EXPECT_TRUE(list.Items()[1].checkEnabled);
  EXPECT_EQ(list.Status(), kUpdateStatusAvailable);
  EXPECT_TRUE(list.CloseAllowed());
}

TEST(UpdateList, FilesOfferVersionsAndKeepTheLastCheck) {
  test::TempDir dir;
  bool known = true;
  EXPECT_TRUE(ReadUpdateOffers(dir.File("none.json"), known).empty());
  EXPECT_FALSE(known);
  std::ofstream(dir.File("offers.json"))
      << R"({"updates": [{"id": "keyboard", "version": "1.03"}, 7, {"id": 3, "version": "x"},)"
      << R"( {"id": "mouse"}]})";
  const auto offers = ReadUpdateOffers(dir.File("offers.json"), known);
  EXPECT_TRUE(known);
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_EQ(offers[0].first, "keyboard");
  std::ofstream(dir.File("broken.json")) << "{\"updates\": [";
  EXPECT_TRUE(ReadUpdateOffers(dir.File("broken.json"), known).empty());
  EXPECT_FALSE(known);

  const std::string time = dir.File("updatetime.config");
  EXPECT_EQ(LastUpdateCheck(time, "2024-3-9"), "2024-3-9");
  EXPECT_EQ(ReadJsonFile(time)["updatelasttime"]["value"].asString(), "2024-3-9");
  EXPECT_EQ(LastUpdateCheck(time, "2025-1-1"), "2024-3-9");  // kept, not renewed
  std::ofstream(time) << R"({"updatelasttime": {}})";
  EXPECT_EQ(LastUpdateCheck(time, "2025-1-1"), "2025-1-1");
}

}  // namespace
}  // namespace varkon
