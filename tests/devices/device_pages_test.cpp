#include "devices/device_pages.h"

#include <gtest/gtest.h>

#include <string>

namespace varkon {
namespace {

constexpr int kKeyboard = 1;
constexpr int kMouse = 2;
constexpr int kPad = 3;
constexpr int kHeadset = 7;

void ExpectTabs(int page, int kind, int function, int keyFunction) {
  const FunctionTabs tabs = FunctionTabsForPage(page, kind);
  EXPECT_EQ(tabs.functionIndex, function) << "page " << page << " kind " << kind;
  EXPECT_EQ(tabs.keyFunctionIndex, keyFunction) << "page " << page << " kind " << kind;
}

TEST(FunctionTabsTest, EveryPageRow) {
  for (int kind : {kKeyboard, kMouse, kPad, kHeadset}) {
    ExpectTabs(2, kind, 0, 1);
    ExpectTabs(6, kind, 0, 1);
    ExpectTabs(3, kind, 1, -1);
    ExpectTabs(8, kind, 1, -1);
    ExpectTabs(7, kind, 0, 2);
    ExpectTabs(5, kind, 2, -1);
    ExpectTabs(1, kind, 0, 0);
  }
}

TEST(FunctionTabsTest, SystemPageDependsOnTheKind) {
  ExpectTabs(4, kKeyboard, 3, -1);
  ExpectTabs(4, kMouse, 3, -1);
  ExpectTabs(4, kPad, 0, 2);
  ExpectTabs(4, kHeadset, 0, 2);
  ExpectTabs(4, 0, 0, 2);
}

TEST(FunctionTabsTest, UnknownPagesSelectTheFirstTabs) {
  for (int page : {0, 9, -1, 100, 2147483647}) ExpectTabs(page, kKeyboard, 0, 0);
}

void ExpectButton(const std::string& name, int keys, int lights, DeviceButtonRole role, int index) {
  const DeviceButtonName parsed = ParseDeviceButtonName(name, keys, lights);
  EXPECT_EQ(parsed.role, role) << name;
  EXPECT_EQ(parsed.index, index) << name;
}

TEST(DeviceButtonNameTest, KeyAndLightButtons) {
  ExpectButton("key_0", 11, 15, DeviceButtonRole::Key, 0);
  ExpectButton("key_10", 11, 15, DeviceButtonRole::Key, 10);
  ExpectButton("light_3", 11, 15, DeviceButtonRole::Light, 3);
  ExpectButton("light_14", 11, 15, DeviceButtonRole::Light, 14);
}

TEST(DeviceButtonNameTest, IndexAtTheCountIsIgnored) {
  ExpectButton("light_15", 11, 15, DeviceButtonRole::None, -1);
  ExpectButton("key_11", 11, 15, DeviceButtonRole::None, -1);
  ExpectButton("key_2147483647", 11, 15, DeviceButtonRole::None, -1);
}

TEST(DeviceButtonNameTest, PadWithoutKeysMapsNoKeyButton) {
  for (const char* name : {"key_0", "key_1", "key_14"}) {
    ExpectButton(name, 0, 15, DeviceButtonRole::None, -1);
  }
  ExpectButton("light_0", 0, 15, DeviceButtonRole::Light, 0);
  ExpectButton("light_0", 0, 0, DeviceButtonRole::None, -1);
  ExpectButton("key_0", -3, -3, DeviceButtonRole::None, -1);
}

TEST(DeviceButtonNameTest, OtherNamesAreNone) {
  for (const char* name :
       {"", "key", "key_", "light_", "key_1a", "key_-1", "key_+1", "key_ 2", "Key_1", "LIGHT_2",
        "hotkey_1", "key_light_1", "light_key_1", "keyboard_key_1", "key_99999999999", "_1"}) {
    ExpectButton(name, 170, 170, DeviceButtonRole::None, -1);
  }
}

TEST(FunctionPageOfTabTest, EveryTab) {
  EXPECT_EQ(FunctionPageOfTab("deng_Op_tab"), 1);
  EXPECT_EQ(FunctionPageOfTab("key_Op_tab"), 2);
  EXPECT_EQ(FunctionPageOfTab("macro_Op_tab"), 3);
  EXPECT_EQ(FunctionPageOfTab("system_Op_tab"), 4);
  EXPECT_EQ(FunctionPageOfTab("cursor_Op_tab"), 5);
  EXPECT_EQ(FunctionPageOfTab("6533_voice_Op_tab"), 6);
  EXPECT_EQ(FunctionPageOfTab("magic_Op_tab"), 7);
  EXPECT_EQ(FunctionPageOfTab("Virtual7.1_Op_tab"), 8);
}

TEST(FunctionPageOfTabTest, OtherNamesSelectNoPage) {
  for (const char* name : {"", "Op_tab", "deng_Op_tab ", "deng_op_tab", "voice_Op_tab",
                           "Virtual7_Op_tab", "key_Op_tab_1"}) {
    EXPECT_EQ(FunctionPageOfTab(name), 0) << name;
  }
}

}  // namespace
}  // namespace varkon
