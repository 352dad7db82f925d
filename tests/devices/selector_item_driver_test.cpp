#include "devices/selector_item_driver.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace varkon {
namespace {

// A device and its selector item as the driver sees them. It records every action, keeps the
// armed one-shot timers and shows or hides the item on SendReachable like the main window does.
class FakeHost : public SelectorItemHost {
 public:
  bool receiverMode = false;
  bool transportOpen = true;
  bool wirelessCapable = false;
  bool itemVisible = true;
  bool itemSelected = true;
  bool windowActive = true;
  bool linkAwake = true;

  std::vector<std::string> log;
  std::map<int, int> armed;  // timer -> milliseconds of its latest start
  int awakeQueries = 0;
  int awakeChecks = 0;

  bool ReceiverMode() const override { return receiverMode; }
  bool TransportOpen() const override { return transportOpen; }
  bool WirelessCapable() const override { return wirelessCapable; }
  bool ItemVisible() const override { return itemVisible; }
  bool ItemSelected() const override { return itemSelected; }
  bool WindowActive() const override { return windowActive; }
  bool IsLinkAwake() override {
    ++awakeQueries;
    return linkAwake;
  }
  void ReadDevice() override { log.push_back("read"); }
  void ReadPowerStatus() override { log.push_back("power"); }
  void ResyncDevice() override { log.push_back("resync"); }
  void PaintPreview() override { log.push_back("paint"); }
  void RedrawPanel() override { log.push_back("redraw"); }
  void SendReachable(bool reachable) override {
    log.push_back(reachable ? "shown" : "hidden");
    itemVisible = reachable;
  }
  void LinkAwake() override { ++awakeChecks; }
  void StartTimer(int timer, int milliseconds) override { armed[timer] = milliseconds; }
  void StopTimer(int timer) override { armed.erase(timer); }

  int Count(const std::string& action) const {
    int n = 0;
    for (const std::string& entry : log) n += entry == action ? 1 : 0;
    return n;
  }
  bool Armed(int timer, int milliseconds) const {
    const auto found = armed.find(timer);
    return found != armed.end() && found->second == milliseconds;
  }
};

class SelectorItemDriverTest : public ::testing::Test {
 protected:
  // Lets an armed timer expire: like a one-shot timer it is disarmed before its handler runs.
  // Returns false when the timer was not armed.
  bool Fire(int timer) {
    if (host_.armed.erase(timer) == 0) return false;
    driver_.OnTimer(timer);
    return true;
  }
  void ClearLog() { host_.log.clear(); }

  FakeHost host_;
  SelectorItemDriver driver_{host_};
};

TEST_F(SelectorItemDriverTest, SleepingMouseBehindItsReceiver) {
  host_.receiverMode = true;
  host_.wirelessCapable = true;
  host_.linkAwake = false;
  host_.itemVisible = true;
  host_.StartTimer(kItemTimerStartup, 500);

  // Asleep: the item is hidden once, the device is not read, the check is retried every 3 s.
  ASSERT_TRUE(Fire(kItemTimerStartup));
  EXPECT_EQ(host_.log, (std::vector<std::string>{"hidden"}));
  EXPECT_TRUE(host_.Armed(kItemTimerStartup, 3000));
  EXPECT_EQ(host_.armed.size(), 1u);
  for (int attempt = 0; attempt < 4; ++attempt) ASSERT_TRUE(Fire(kItemTimerStartup));
  EXPECT_EQ(host_.log, (std::vector<std::string>{"hidden"}));
  EXPECT_TRUE(host_.Armed(kItemTimerStartup, 3000));
  EXPECT_EQ(driver_.FailedChecks(), 5);
  EXPECT_EQ(host_.awakeQueries, 5);

  // Wakes: the item is shown, the device read once, and the running timers armed.
  host_.linkAwake = true;
  ASSERT_TRUE(Fire(kItemTimerStartup));
  EXPECT_EQ(host_.log, (std::vector<std::string>{"hidden", "shown", "read"}));
  EXPECT_EQ(driver_.FailedChecks(), 0);
  EXPECT_FALSE(host_.armed.count(kItemTimerStartup));
  EXPECT_TRUE(host_.Armed(kItemTimerPaint, 5));
  EXPECT_TRUE(host_.Armed(kItemTimerPower, 50));
  EXPECT_TRUE(host_.Armed(kItemTimerOnline, 2000));

  // The online check finds the item shown already: no message, no extra read.
  ClearLog();
  ASSERT_TRUE(Fire(kItemTimerOnline));
  EXPECT_TRUE(host_.log.empty());
  EXPECT_TRUE(host_.Armed(kItemTimerOnline, 3000));
  EXPECT_EQ(host_.Count("read"), 0);
}

TEST_F(SelectorItemDriverTest, AwakeDeviceWithVisibleItemSendsNoNeedlessMessage) {
  host_.receiverMode = true;
  host_.itemVisible = true;
  driver_.OnTimer(kItemTimerStartup);
  EXPECT_EQ(host_.log, (std::vector<std::string>{"read"}));
}

TEST_F(SelectorItemDriverTest, FailedChecksWrapToZeroAtTwenty) {
  host_.receiverMode = true;
  host_.linkAwake = false;
  for (int i = 1; i <= 19; ++i) {
    driver_.OnTimer(kItemTimerStartup);
    ASSERT_EQ(driver_.FailedChecks(), i);
  }
  driver_.OnTimer(kItemTimerStartup);
  EXPECT_EQ(driver_.FailedChecks(), 0);
  driver_.OnTimer(kItemTimerStartup);
  EXPECT_EQ(driver_.FailedChecks(), 1);
  // Wrapping changes nothing else: the device is still not read and the retry still armed.
  EXPECT_EQ(host_.Count("read"), 0);
  EXPECT_TRUE(host_.Armed(kItemTimerStartup, 3000));
  driver_.ResetFailedChecks();
  EXPECT_EQ(driver_.FailedChecks(), 0);
}

TEST_F(SelectorItemDriverTest, CablePathReadsAtOnce) {
  host_.receiverMode = false;
  host_.linkAwake = false;  // not asked on the cable
  host_.wirelessCapable = true;
  host_.itemVisible = false;
  driver_.OnTimer(kItemTimerStartup);
  EXPECT_EQ(host_.awakeQueries, 0);
  EXPECT_EQ(host_.log, (std::vector<std::string>{"read"}));
  EXPECT_TRUE(host_.Armed(kItemTimerPaint, 5));
  EXPECT_TRUE(host_.Armed(kItemTimerPower, 50));
  EXPECT_FALSE(host_.armed.count(kItemTimerOnline));
  EXPECT_FALSE(host_.armed.count(kItemTimerStartup));
}

TEST_F(SelectorItemDriverTest, StartupArmsNoPowerPollForWiredOnlyOrClosedDevices) {
  host_.wirelessCapable = false;
  driver_.OnTimer(kItemTimerStartup);
  EXPECT_FALSE(host_.armed.count(kItemTimerPower));
  host_.armed.clear();
  host_.wirelessCapable = true;
  host_.transportOpen = false;
  driver_.OnTimer(kItemTimerStartup);
  EXPECT_FALSE(host_.armed.count(kItemTimerPower));
  EXPECT_TRUE(host_.Armed(kItemTimerPaint, 5));
}

TEST_F(SelectorItemDriverTest, PaintRepeatsWhileOpenAndStopsWhenClosed) {
  driver_.OnTimer(kItemTimerStartup);
  ClearLog();
  for (int frame = 0; frame < 3; ++frame) {
    ASSERT_TRUE(Fire(kItemTimerPaint));
    EXPECT_TRUE(host_.Armed(kItemTimerPaint, 50));
  }
  EXPECT_EQ(host_.Count("paint"), 3);
  EXPECT_EQ(host_.Count("redraw"), 3);

  host_.transportOpen = false;
  ASSERT_TRUE(Fire(kItemTimerPaint));
  EXPECT_FALSE(host_.armed.count(kItemTimerPaint));
  EXPECT_EQ(host_.Count("paint"), 3);

  // The next start-up arms the loop again.
  host_.transportOpen = true;
  driver_.OnTimer(kItemTimerStartup);
  EXPECT_TRUE(Fire(kItemTimerPaint));
  EXPECT_EQ(host_.Count("paint"), 4);
}

TEST_F(SelectorItemDriverTest, PanelRedrawsOnlyWhenSelectedAndWindowActive) {
  host_.itemSelected = false;
  driver_.OnTimer(kItemTimerPaint);
  host_.itemSelected = true;
  host_.windowActive = false;
  driver_.OnTimer(kItemTimerPaint);
  EXPECT_EQ(host_.log, (std::vector<std::string>{"paint", "paint"}));
  host_.windowActive = true;
  driver_.OnTimer(kItemTimerPaint);
  EXPECT_EQ(host_.log, (std::vector<std::string>{"paint", "paint", "paint", "redraw"}));
}

TEST_F(SelectorItemDriverTest, PowerRepeatsOnlyForWirelessDevices) {
  host_.wirelessCapable = true;
  driver_.OnTimer(kItemTimerPower);
  EXPECT_TRUE(host_.Armed(kItemTimerPower, 5000));
  ASSERT_TRUE(Fire(kItemTimerPower));
  EXPECT_TRUE(host_.Armed(kItemTimerPower, 5000));
  EXPECT_EQ(host_.Count("power"), 2);

  host_.armed.clear();
  host_.wirelessCapable = false;
  driver_.OnTimer(kItemTimerPower);
  EXPECT_EQ(host_.Count("power"), 3);
  EXPECT_FALSE(host_.armed.count(kItemTimerPower));
}

TEST_F(SelectorItemDriverTest, PowerPollEndsWhenTheTransportCloses) {
  host_.wirelessCapable = true;
  host_.transportOpen = false;
  driver_.OnTimer(kItemTimerPower);
  EXPECT_FALSE(host_.armed.count(kItemTimerPower));
}

TEST_F(SelectorItemDriverTest, OnlineCheckFollowsTheLink) {
  host_.receiverMode = true;
  host_.wirelessCapable = true;
  host_.StartTimer(kItemTimerOnline, 2000);

  host_.linkAwake = false;
  ASSERT_TRUE(Fire(kItemTimerOnline));
  EXPECT_EQ(host_.log, (std::vector<std::string>{"hidden"}));
  EXPECT_TRUE(host_.Armed(kItemTimerOnline, 3000));
  ASSERT_TRUE(Fire(kItemTimerOnline));
  EXPECT_EQ(host_.log, (std::vector<std::string>{"hidden"}));

  EXPECT_EQ(host_.awakeChecks, 0);
  host_.linkAwake = true;
  ASSERT_TRUE(Fire(kItemTimerOnline));
  EXPECT_EQ(host_.log, (std::vector<std::string>{"hidden", "shown", "power"}));
  // Every check that finds it awake lets the device send what waited.
  EXPECT_EQ(host_.awakeChecks, 1);
  ASSERT_TRUE(Fire(kItemTimerOnline));
  EXPECT_EQ(host_.awakeChecks, 2);
  EXPECT_TRUE(host_.Armed(kItemTimerOnline, 3000));
}

TEST_F(SelectorItemDriverTest, WiredOnlyDeviceComingBackReadsNoPower) {
  host_.receiverMode = true;
  host_.wirelessCapable = false;
  host_.itemVisible = false;
  driver_.OnTimer(kItemTimerOnline);
  EXPECT_EQ(host_.log, (std::vector<std::string>{"shown"}));
}

TEST_F(SelectorItemDriverTest, OnlineCheckStopsWhenTheDeviceLeavesReceiverMode) {
  host_.receiverMode = true;
  driver_.OnTimer(kItemTimerStartup);
  ASSERT_TRUE(host_.Armed(kItemTimerOnline, 2000));
  ASSERT_TRUE(Fire(kItemTimerOnline));
  ASSERT_TRUE(host_.Armed(kItemTimerOnline, 3000));
  const int queries = host_.awakeQueries;

  host_.receiverMode = false;
  ClearLog();
  ASSERT_TRUE(Fire(kItemTimerOnline));
  EXPECT_FALSE(host_.armed.count(kItemTimerOnline));
  EXPECT_EQ(host_.awakeQueries, queries);
  EXPECT_TRUE(host_.log.empty());
}

TEST_F(SelectorItemDriverTest, OnlineCheckStopsWhenTheTransportCloses) {
  host_.receiverMode = true;
  host_.transportOpen = false;
  host_.linkAwake = false;
  driver_.OnTimer(kItemTimerOnline);
  EXPECT_TRUE(host_.log.empty());
  EXPECT_TRUE(host_.armed.empty());
  EXPECT_EQ(host_.awakeQueries, 0);
}

TEST_F(SelectorItemDriverTest, ResyncRunsOnceAndOtherTimersDoNothing) {
  driver_.OnTimer(kItemTimerResync);
  EXPECT_EQ(host_.log, (std::vector<std::string>{"resync"}));
  EXPECT_TRUE(host_.armed.empty());
  ClearLog();
  for (int timer : {kItemTimerReserved1, kItemTimerReserved2, 1006, 999, 1011, -1, 0}) {
    driver_.OnTimer(timer);
  }
  EXPECT_TRUE(host_.log.empty());
  EXPECT_TRUE(host_.armed.empty());
  EXPECT_EQ(host_.awakeQueries, 0);
}

}  // namespace
}  // namespace varkon
