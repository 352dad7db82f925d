#include "device/device_manager.h"

#include <algorithm>
#include <map>
#include <thread>

#include <gtest/gtest.h>

#include "device/transport_fixture.h"
#include "emulator/emulated_rig.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

// Records what the main window would be asked to do.
class RecordingView : public DeviceManagerView {
 public:
  void CreatePanel(int model) override {
    Add("panel " + Name(model));
    if (onCreatePanel) onCreatePanel(model);
  }
  void ShowItem(int model, bool select) override {
    Add("show " + Name(model) + (select ? " selected" : ""));
  }
  void HideItem(int model) override { Add("hide " + Name(model)); }
  void StartItemTimer(int model, int timer, int ms) override {
    Add("timer " + Name(model) + " " + std::to_string(timer) + " " + std::to_string(ms));
  }
  void SendReachable(int model, bool reachable) override {
    Add("reachable " + Name(model) + " " + std::to_string(reachable));
  }
  void ReadDevice(int model) override { Add("read " + Name(model)); }
  void ReadPowerStatus(int model) override { Add("power " + Name(model)); }
  void InputOpened(int model, bool receiver) override {
    Add("input on " + Name(model) + (receiver ? " receiver" : " cable"));
  }
  void InputClosed(int model, bool receiver) override {
    Add("input off " + Name(model) + (receiver ? " receiver" : " cable"));
  }
  void FirstPassDone() override { Add("first pass"); }

  std::vector<std::string> Take() {
    std::lock_guard<std::mutex> lock(mutex);
    return std::exchange(lines, {});
  }
  bool Saw(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  int Count(const std::string& prefix) {
    std::lock_guard<std::mutex> lock(mutex);
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
  }

  std::function<void(int)> onCreatePanel;

 private:
  static std::string Name(int model) { return kDeviceModels.at(model).displayName; }
  void Add(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex);
    lines.push_back(line);
  }
  std::mutex mutex;
  std::vector<std::string> lines;
};

// Hands the watcher's reports straight to the manager on the calling thread.
class DirectEvents : public WatcherEvents {
 public:
  explicit DirectEvents(DeviceManager& manager) : manager_(manager) {}
  bool Arrived(size_t slot, StopEvent&) override {
    manager_.OnArrival(slot);
    return true;
  }
  bool Removed(size_t slot, StopEvent&) override {
    manager_.OnRemoval(slot);
    return true;
  }
  void FirstPassDone() override { manager_.OnFirstPassDone(); }

 private:
  DeviceManager& manager_;
};

constexpr int kMouseModel = 0, kKeyboardModel = 1, kPadModel = 2, kHeadsetModel = 3;

class DeviceManagerTest : public ::testing::Test {
 protected:
  void Pass() { watcher.RunPass(stop); }
  ManagedDevice* Device(int model) { return manager.DeviceForModel(model); }

  EmulatedRig rig;
  SlotTable slots;
  RecordingView view;
  DeviceManager manager{slots, &rig.Backend(), view};
  DirectEvents events{manager};
  DeviceWatcher watcher{slots, rig.Backend(), events};
  StopEvent stop;
};

TEST_F(DeviceManagerTest, KeyboardCollectionsInEitherOrderGiveOneDevice) {
  for (bool reverse : {false, true}) {
    EmulatedRig localRig;
    localRig.SetReverseCollections(EmulatedKind::Keyboard, reverse);
    localRig.Plug(EmulatedKind::Keyboard);
    SlotTable localSlots;
    RecordingView localView;
    DeviceManager localManager(localSlots, &localRig.Backend(), localView);
    std::vector<std::string> decisions;
    localManager.SetTrace([&](const std::string& line) { decisions.push_back(line); });
    DirectEvents localEvents(localManager);
    DeviceWatcher localWatcher(localSlots, localRig.Backend(), localEvents);
    StopEvent localStop;
    localWatcher.RunPass(localStop);

    EXPECT_EQ(localSlots.Get(0).row.attached, 1) << reverse;
    EXPECT_EQ(localSlots.Get(1).row.attached, 1) << reverse;
    ASSERT_EQ(localManager.Devices().size(), 1u);
    EXPECT_EQ(localView.Count("panel keyboard"), 1);
    EXPECT_TRUE(localView.Saw("show keyboard selected"));
    EXPECT_TRUE(localView.Saw("timer keyboard 1001 500"));
    EXPECT_TRUE(localView.Saw("input on keyboard cable"));
    EXPECT_TRUE(localView.Saw("first pass"));
    ManagedDevice& keyboard = *localManager.DeviceForModel(kKeyboardModel);
    EXPECT_TRUE(keyboard.transport->IsOpened());
    EXPECT_EQ(keyboard.transport->ChunkSize(), 56);
    EXPECT_TRUE(keyboard.inputTransport->CableChannel().IsOpen());
    // The order the interfaces were met in shows in the decisions.
    const auto openCable = std::find(decisions.begin(), decisions.end(), "open cable 0");
    const auto openInput = std::find(decisions.begin(), decisions.end(), "open input 1");
    ASSERT_NE(openCable, decisions.end());
    ASSERT_NE(openInput, decisions.end());
    EXPECT_EQ(openInput < openCable, !reverse);  // col03 is listed before col04
  }
}

TEST_F(DeviceManagerTest, MousePrefersTheCableSurvivesItsUnplugAndSwitchesBack) {
  rig.Plug(EmulatedKind::Mouse);
  rig.Plug(EmulatedKind::Receiver);
  Pass();
  ASSERT_EQ(manager.Devices().size(), 1u);
  ManagedDevice& mouse = *Device(kMouseModel);
  EXPECT_FALSE(mouse.receiverMode);
  EXPECT_TRUE(mouse.transport->CableChannel().IsOpen());
  EXPECT_FALSE(mouse.transport->ReceiverChannel().IsOpen());
  EXPECT_TRUE(mouse.itemVisible);
  EXPECT_TRUE(mouse.inputTransport->CableChannel().IsOpen());
  EXPECT_TRUE(mouse.inputTransport->ReceiverChannel().IsOpen());
  view.Take();

  rig.Unplug(EmulatedKind::Mouse);
  Pass();
  EXPECT_TRUE(mouse.receiverMode);
  EXPECT_TRUE(mouse.transport->IsOpened());
  EXPECT_TRUE(mouse.transport->ReceiverMode());
  EXPECT_TRUE(mouse.itemVisible);  // the item stays
  auto lines = view.Take();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "hide mouse"), 0);
  for (const char* expected :
       {"power mouse", "timer mouse 1007 2000", "read mouse", "input off mouse cable"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
  }
  uint8_t info[34];
  EXPECT_EQ(mouse.transport->CmdReadDeviceInfo(info), kStatusOk);  // through the receiver
  EXPECT_EQ(rig.Firmware(EmulatedKind::Receiver).BeginCount(), 1u);

  rig.Plug(EmulatedKind::Mouse);
  Pass();
  EXPECT_FALSE(mouse.receiverMode);
  EXPECT_EQ(mouse.transport->ChunkSize(), 56);
  lines = view.Take();
  for (const char* expected : {"timer mouse 1001 500", "reachable mouse 1", "power mouse"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
  }
  EXPECT_EQ(mouse.transport->CmdReadDeviceInfo(info), kStatusOk);  // on the cable again
}

TEST_F(DeviceManagerTest, ReceiverAloneLeavesTheItemToTheOnlineCheck) {
  rig.Plug(EmulatedKind::Receiver);
  Pass();
  ASSERT_EQ(manager.Devices().size(), 1u);
  ManagedDevice& mouse = *Device(kMouseModel);
  EXPECT_TRUE(mouse.receiverMode);
  EXPECT_EQ(mouse.transport->ChunkSize(), 24);
  EXPECT_FALSE(mouse.itemVisible);
  EXPECT_TRUE(view.Saw("timer mouse 1001 500"));
  EXPECT_TRUE(view.Saw("input on mouse receiver"));  // notices through the receiver still come

  rig.Unplug(EmulatedKind::Receiver);
  Pass();
  EXPECT_FALSE(mouse.transport->IsOpened());
  EXPECT_FALSE(mouse.inputTransport->ReceiverChannel().IsOpen());
}

TEST_F(DeviceManagerTest, PadAndHeadsetKeepTheTransportCreationValues) {
  rig.Plug(EmulatedKind::Pad);
  rig.Plug(EmulatedKind::Headset);
  Pass();
  ASSERT_EQ(manager.Devices().size(), 2u);
  for (int model : {kPadModel, kHeadsetModel}) {
    ManagedDevice& device = *Device(model);
    EXPECT_TRUE(device.transport->IsOpened());
    EXPECT_FALSE(device.transport->ReceiverMode());
    EXPECT_EQ(device.transport->ChunkSize(), 24);
    EXPECT_TRUE(device.itemVisible);
  }
  // Only the first visible item was selected.
  EXPECT_EQ(view.Count("show MousePad selected") + view.Count("show HD selected"), 1);
  EXPECT_EQ(view.Count("show "), 2);

  // The selected one leaving hands the selection to the other.
  ManagedDevice& pad = *Device(kPadModel);
  ManagedDevice& headset = *Device(kHeadsetModel);
  ManagedDevice& selected = pad.itemSelected ? pad : headset;
  ManagedDevice& other = pad.itemSelected ? headset : pad;
  rig.Unplug(selected.model == kPadModel ? EmulatedKind::Pad : EmulatedKind::Headset);
  Pass();
  EXPECT_FALSE(selected.itemVisible);
  EXPECT_TRUE(other.itemSelected);
  EXPECT_EQ(manager.VisibleItemCount(), 1);
}

TEST_F(DeviceManagerTest, UnplugDuringTheArrivalLeavesTheDeviceClosedAndConsistent) {
  rig.Plug(EmulatedKind::Pad);
  view.onCreatePanel = [&](int) { rig.Unplug(EmulatedKind::Pad); };
  // Claimed, gone before its channel could open, and freed again by the same pass's probe.
  Pass();
  ManagedDevice& pad = *Device(kPadModel);
  EXPECT_FALSE(pad.transport->IsOpened());
  EXPECT_FALSE(pad.itemVisible);
  EXPECT_EQ(view.Count("show MousePad"), 0);
  EXPECT_EQ(view.Count("hide MousePad"), 0);  // the removal has nothing on screen to hide
  EXPECT_TRUE(slots.Get(8).IsFree());
  EXPECT_TRUE(slots.Get(9).IsFree());
  view.onCreatePanel = nullptr;
  rig.Plug(EmulatedKind::Pad);
  Pass();
  EXPECT_TRUE(pad.transport->IsOpened());
  EXPECT_TRUE(pad.itemVisible);
  EXPECT_EQ(view.Count("panel MousePad"), 1);  // the device object lives on
}

TEST(DeviceWatcherTable, WrongUsagePageIsOpenedButNeverClaimed) {
  EmulatedRig rig;
  rig.Plug(EmulatedKind::Pad);
  SupportedInterface row = kSupportedInterfaces[8];
  row.usagePage = 0xFF00;  // the pad's ids, another usage page
  SlotTable slots({row});
  RecordingView view;
  DeviceManager manager(slots, &rig.Backend(), view);
  DirectEvents events(manager);
  DeviceWatcher watcher(slots, rig.Backend(), events);
  StopEvent stop;
  for (int i = 0; i < 3; ++i) watcher.RunPass(stop);
  EXPECT_TRUE(slots.Get(0).IsFree());
  EXPECT_TRUE(manager.Devices().empty());
  EXPECT_EQ(watcher.EnumerationCount(), 3u);
}

TEST(DeviceWatcherTable, EnumerationStopsWhileEverySlotIsAttached) {
  EmulatedRig rig;
  rig.Plug(EmulatedKind::Pad);
  SlotTable slots({kSupportedInterfaces[8], kSupportedInterfaces[9]});
  RecordingView view;
  DeviceManager manager(slots, &rig.Backend(), view);
  DirectEvents events(manager);
  DeviceWatcher watcher(slots, rig.Backend(), events);
  StopEvent stop;
  watcher.RunPass(stop);
  EXPECT_TRUE(slots.AllSlotsAttached());
  for (int i = 0; i < 5; ++i) watcher.RunPass(stop);
  EXPECT_EQ(watcher.EnumerationCount(), 1u);  // only the probes ran
  rig.Unplug(EmulatedKind::Pad);
  watcher.RunPass(stop);  // the probe frees the slots
  watcher.RunPass(stop);  // and enumeration resumes
  EXPECT_EQ(watcher.EnumerationCount(), 2u);
  EXPECT_TRUE(view.Saw("hide MousePad"));
}

// The threaded watcher, with the manager on this thread pumping the queue as a UI thread does.
class ThreadedWatcherTest : public ::testing::Test {
 protected:
  void Pump(const std::function<bool()>& until, std::chrono::milliseconds bound) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!until() && std::chrono::steady_clock::now() < end) {
      queue.WaitForWork(5ms);
      queue.RunPending();
    }
  }

  EmulatedRig rig;
  SlotTable slots;
  RecordingView view;
  DeviceManager manager{slots, &rig.Backend(), view};
  CallQueue queue;
  QueuedWatcherEvents events{queue, manager};
  DeviceWatcher watcher{slots, rig.Backend(), events};
};

TEST_F(ThreadedWatcherTest, PadRemovalIsSeenWithinAboutAPass) {
  rig.Plug(EmulatedKind::Pad);
  watcher.Start();
  Pump([&] { return view.Saw("show MousePad selected"); }, 3000ms);
  ASSERT_TRUE(view.Saw("show MousePad selected"));
  test::Stopwatch watch;
  rig.Unplug(EmulatedKind::Pad);
  Pump([&] { return view.Saw("hide MousePad"); }, 3000ms);
  EXPECT_TRUE(view.Saw("hide MousePad"));
  EXPECT_LT(watch.Elapsed(), 1000ms);  // one 100 ms pass, with room for a loaded machine
  EXPECT_EQ(manager.VisibleItemCount(), 0);
  EXPECT_EQ(watcher.Stop(), WorkerThread::StopResult::Ended);
}

TEST_F(ThreadedWatcherTest, StopWhileAnArrivalWaitsForTheOwnerEndsInTime) {
  rig.Plug(EmulatedKind::Keyboard);
  watcher.Start();
  ASSERT_TRUE(queue.WaitForWork(3000ms));  // the watcher now waits on an owner that never pumps
  test::Stopwatch watch;
  EXPECT_EQ(watcher.Stop(), WorkerThread::StopResult::Ended);
  EXPECT_LT(watch.Elapsed(), 1000ms);
  EXPECT_EQ(queue.RunPending(), 0u);  // the abandoned arrival is never handled late
}

TEST_F(ThreadedWatcherTest, FlappingDeviceLeavesTheSlotsConsistent) {
  watcher.Start();
  std::atomic<bool> flapping{true};
  std::thread flapper([&] {
    for (int i = 0; i < 60; ++i) {
      rig.Plug(EmulatedKind::Pad);
      std::this_thread::sleep_for(std::chrono::milliseconds(3 + i % 7));
      rig.Unplug(EmulatedKind::Pad);
      std::this_thread::sleep_for(std::chrono::milliseconds(2 + i % 5));
    }
    rig.Plug(EmulatedKind::Pad);
    flapping = false;
  });
  Pump([&] { return !flapping.load(); }, 20000ms);
  flapper.join();
  ManagedDevice* pad = nullptr;
  Pump(
      [&] {
        pad = manager.DeviceForModel(kPadModel);
        return pad != nullptr && pad->transport->IsOpened() && pad->itemVisible;
      },
      10000ms);
  ASSERT_NE(pad, nullptr);
  EXPECT_TRUE(pad->transport->IsOpened());
  EXPECT_EQ(slots.Get(8).row.attached, 1);
  EXPECT_EQ(view.Count("panel MousePad"), 1);
  // Every hide follows a show: no removal without an arrival before it.
  int shown = 0;
  for (const std::string& line : view.Take()) {
    if (line.rfind("show MousePad", 0) == 0) ++shown;
    if (line == "hide MousePad") {
      EXPECT_GT(shown, 0);
      shown = 0;
    }
  }
  EXPECT_EQ(watcher.Stop(), WorkerThread::StopResult::Ended);
}

}  // namespace
}  // namespace varkon
