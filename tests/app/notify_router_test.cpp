#include "app/notify_router.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace varkon {
namespace {

RoutedNotification Note(std::string type, std::string name) {
  RoutedNotification n;
  n.type = std::move(type);
  n.name = std::move(name);
  return n;
}

// A router with one prefix row whose handler records every index it is given.
class PrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    router_.OnPrefix("click", "key_",
                     [this](const RoutedNotification&, int index) { indices_.push_back(index); });
  }
  // How many rows ran for a click from `name`.
  int Click(const std::string& name) {
    int ran = -1;
    router_.Route(Note("click", name), &ran);
    return ran;
  }
  NotifyRouter router_;
  std::vector<int> indices_;
};

TEST(NotifyRouterTest, RowsOfOneTypeRunInTheOrderTheyWereAdded) {
  NotifyRouter router;
  std::vector<std::string> log;
  router.OnName("click", "closebtn", [&](const RoutedNotification&) { log.push_back("first"); });
  router.OnType("click", [&](const RoutedNotification&) { log.push_back("any"); });
  router.OnPrefix("click", "closebtn_",
                  [&](const RoutedNotification&, int) { log.push_back("prefix"); });
  router.OnName("click", "closebtn", [&](const RoutedNotification&) { log.push_back("second"); });
  int ran = 0;
  EXPECT_TRUE(router.Route(Note("click", "closebtn"), &ran));
  EXPECT_EQ(ran, 3);
  EXPECT_EQ(log, (std::vector<std::string>{"first", "any", "second"}));
  EXPECT_EQ(router.RowCount(), 4u);
}

TEST(NotifyRouterTest, RowsOnlyAnswerTheirOwnType) {
  NotifyRouter router;
  int clicks = 0;
  int selects = 0;
  router.OnName("click", "device_select", [&](const RoutedNotification&) { ++clicks; });
  router.OnType("selectchanged", [&](const RoutedNotification&) { ++selects; });
  int ran = -1;
  router.Route(Note("selectchanged", "device_select"), &ran);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(selects, 1);
  router.Route(Note("itemselect", "device_select"), &ran);
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(clicks + selects, 1);
}

TEST(NotifyRouterTest, HandlersSeeTheWholeNotification) {
  NotifyRouter router;
  RoutedNotification seen;
  router.OnName("valuechanged", "deng_light_slider",
                [&](const RoutedNotification& n) { seen = n; });
  RoutedNotification n = Note("valuechanged", "Deng_Light_Slider");
  n.wParam = 77;
  n.lParam = -5;
  router.Route(n);
  EXPECT_EQ(seen.type, "valuechanged");
  EXPECT_EQ(seen.name, "Deng_Light_Slider");
  EXPECT_EQ(seen.wParam, 77u);
  EXPECT_EQ(seen.lParam, -5);
}

TEST(NotifyRouterTest, NamesAreCaseInsensitiveByDefaultBothWays) {
  NotifyRouter router;
  int low = 0;
  int mixed = 0;
  router.OnName("click", "closebtn", [&](const RoutedNotification&) { ++low; });
  router.OnName("click", "Default_Btn", [&](const RoutedNotification&) { ++mixed; });
  router.Route(Note("click", "CLOSEBTN"));
  router.Route(Note("click", "CloseBtn"));
  router.Route(Note("click", "default_btn"));
  EXPECT_EQ(low, 2);
  EXPECT_EQ(mixed, 1);
  // Near misses stay misses.
  router.Route(Note("click", "closebtn "));
  router.Route(Note("click", "closebt"));
  EXPECT_EQ(low, 2);
}

TEST(NotifyRouterTest, ExactRowsNeedTheExactCase) {
  NotifyRouter router;
  int spread = 0;
  router.OnName(
      "click", "profile_fun_spread_btn", [&](const RoutedNotification&) { ++spread; },
      NameCase::Exact);
  router.Route(Note("click", "Profile_fun_spread_btn"));
  router.Route(Note("click", "PROFILE_FUN_SPREAD_BTN"));
  EXPECT_EQ(spread, 0);
  router.Route(Note("click", "profile_fun_spread_btn"));
  EXPECT_EQ(spread, 1);
}

TEST(NotifyRouterTest, OneRowForSeveralNamesRunsOnceForAnyOfThem) {
  NotifyRouter router;
  std::vector<std::string> names;
  router.OnNames("click", {"macro_btn_up", "macro_btn_down", "Macro_Btn_Delete"},
                 [&](const RoutedNotification& n) { names.push_back(n.name); });
  EXPECT_EQ(router.RowCount(), 1u);
  int ran = 0;
  router.Route(Note("click", "macro_btn_down"), &ran);
  EXPECT_EQ(ran, 1);
  router.Route(Note("click", "MACRO_BTN_delete"));
  router.Route(Note("click", "macro_btn_deleteall"));
  EXPECT_EQ(names, (std::vector<std::string>{"macro_btn_down", "MACRO_BTN_delete"}));
}

TEST(NotifyRouterTest, ExactNameListKeepsItsCase) {
  NotifyRouter router;
  int inserts = 0;
  router.OnNames(
      "click", {"macro_inset_moveleftkey_btn", "macro_inset_moverightkey_btn"},
      [&](const RoutedNotification&) { ++inserts; }, NameCase::Exact);
  router.Route(Note("click", "Macro_inset_moveleftkey_btn"));
  EXPECT_EQ(inserts, 0);
  router.Route(Note("click", "macro_inset_moverightkey_btn"));
  EXPECT_EQ(inserts, 1);
}

TEST_F(PrefixTest, IndexedNameGivesItsIndex) {
  EXPECT_EQ(Click("key_0"), 1);
  EXPECT_EQ(Click("key_12"), 1);
  EXPECT_EQ(Click("key_007"), 1);
  EXPECT_EQ(indices_, (std::vector<int>{0, 12, 7}));
}

TEST_F(PrefixTest, PrefixIsTheWholePartUpToTheLastUnderscore) {
  // "keyboard_key_5" has prefix "keyboard_key_", not "key_"; "key_butt_5" has "key_butt_".
  EXPECT_EQ(Click("keyboard_key_5"), 0);
  EXPECT_EQ(Click("key_butt_5"), 0);
  EXPECT_EQ(Click("hotkey_5"), 0);
  EXPECT_TRUE(indices_.empty());
}

TEST_F(PrefixTest, TailMustBeAWholeDecimalNumber) {
  EXPECT_EQ(Click("key_butt_prosave"), 0);
  EXPECT_EQ(Click("key_"), 0);
  EXPECT_EQ(Click("key_12a"), 0);
  EXPECT_EQ(Click("key_-1"), 0);
  EXPECT_EQ(Click("key_+1"), 0);
  EXPECT_EQ(Click("key_ 1"), 0);
  EXPECT_EQ(Click("key_1.5"), 0);
  EXPECT_TRUE(indices_.empty());
}

TEST_F(PrefixTest, PrefixIsComparedExactly) {
  EXPECT_EQ(Click("KEY_3"), 0);
  EXPECT_EQ(Click("Key_3"), 0);
  EXPECT_TRUE(indices_.empty());
}

TEST_F(PrefixTest, NumbersBeyondAnIntDoNotMatch) {
  EXPECT_EQ(Click("key_2147483647"), 1);
  EXPECT_EQ(Click("key_2147483648"), 0);
  EXPECT_EQ(Click("key_99999999999999999999"), 0);
  EXPECT_EQ(indices_, (std::vector<int>{INT_MAX}));
}

TEST_F(PrefixTest, LoneUnderscorePrefix) {
  int bare = 0;
  router_.OnPrefix("click", "_", [&](const RoutedNotification&, int index) { bare += index; });
  EXPECT_EQ(Click("_3"), 1);
  EXPECT_EQ(bare, 3);
  EXPECT_TRUE(indices_.empty());
}

TEST(NotifyRouterTest, NameWithoutUnderscoreHasNoPrefix) {
  NotifyRouter router;
  int prefixRows = 0;
  int nameRows = 0;
  router.OnPrefix("click", "", [&](const RoutedNotification&, int) { ++prefixRows; });
  router.OnName("click", "123", [&](const RoutedNotification&) { ++nameRows; });
  router.Route(Note("click", "123"));
  EXPECT_EQ(prefixRows, 0);
  EXPECT_EQ(nameRows, 1);
}

TEST(NotifyRouterTest, NonNumericTailMatchesNoPrefixRow) {
  NotifyRouter router;
  int dpi = 0;
  router.OnPrefix("valuechanged", "DPI_slider_", [&](const RoutedNotification&, int) { ++dpi; });
  router.OnPrefix("valuechanged", "slider_", [&](const RoutedNotification&, int) { ++dpi; });
  int ran = -1;
  router.Route(Note("valuechanged", "DPI_slider_x"), &ran);
  EXPECT_EQ(ran, 0);
  router.Route(Note("valuechanged", "DPI_slider_4"), &ran);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(dpi, 1);
}

TEST(NotifyRouterTest, LargeKeyboardKeyIndexReachesTheHandler) {
  // The router does not range-check indices; the key editor's row does.
  NotifyRouter router;
  std::vector<int> selected;
  router.OnPrefix("selectchanged", "keyboard_key_", [&](const RoutedNotification&, int index) {
    if (index >= 0 && index < 126) selected.push_back(index);
  });
  int ran = 0;
  router.Route(Note("selectchanged", "keyboard_key_126"), &ran);
  EXPECT_EQ(ran, 1);
  router.Route(Note("selectchanged", "keyboard_key_125"), &ran);
  EXPECT_EQ(selected, (std::vector<int>{125}));
}

TEST(NotifyRouterTest, SkippedTypesTurnOffTheFrameworkHandling) {
  NotifyRouter router;
  router.SkipFrameworkFor("click_wpremove");
  router.SkipFrameworkFor("click_wpedit");
  int ran = -1;
  EXPECT_FALSE(router.Route(Note("click_wpremove", "anything"), &ran));
  EXPECT_EQ(ran, 0);
  EXPECT_FALSE(router.Route(Note("click_wpedit", "")));
  EXPECT_TRUE(router.Route(Note("click_wpadd", "anything")));
  EXPECT_TRUE(router.Route(Note("click", "closebtn")));
  EXPECT_EQ(router.RowCount(), 0u);
}

TEST(NotifyRouterTest, SkippingStillRunsTheRowsOfThatType) {
  NotifyRouter router;
  int runs = 0;
  router.OnType("click_wpremove", [&](const RoutedNotification&) { ++runs; });
  router.SkipFrameworkFor("click_wpremove");
  EXPECT_FALSE(router.Route(Note("click_wpremove", "x")));
  EXPECT_EQ(runs, 1);
}

TEST(NotifyRouterTest, UnmatchedNotificationDoesNothing) {
  NotifyRouter router;
  int runs = 0;
  router.OnName("click", "closebtn", [&](const RoutedNotification&) { ++runs; });
  router.OnPrefix("click", "color_option_", [&](const RoutedNotification&, int) { ++runs; });
  int ran = -1;
  EXPECT_TRUE(router.Route(Note("click", "openbtn"), &ran));
  EXPECT_EQ(ran, 0);
  EXPECT_TRUE(router.Route(Note("click", ""), &ran));
  EXPECT_EQ(ran, 0);
  EXPECT_TRUE(router.Route(Note("timer", "closebtn"), &ran));
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(runs, 0);
}

TEST(NotifyRouterTest, RowsAddedWhileRoutingRunFromTheNextNotification) {
  NotifyRouter router;
  int added = 0;
  int late = 0;
  // Enough rows to make the row list move while the first handler is still running.
  router.OnName("click", "grow", [&](const RoutedNotification&) {
    for (int i = 0; i < 64; ++i) {
      router.OnName("click", "grow", [&](const RoutedNotification&) { ++late; });
      router.OnName("other" + std::to_string(i), "grow", [](const RoutedNotification&) {});
      ++added;
    }
  });
  int ran = 0;
  router.Route(Note("click", "grow"), &ran);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(late, 0);
  EXPECT_EQ(router.RowCount(), 1u + 2u * 64u);
  router.Route(Note("click", "grow"), &ran);
  EXPECT_EQ(ran, 1 + 64);
  EXPECT_EQ(late, 64);
}

}  // namespace
}  // namespace varkon
