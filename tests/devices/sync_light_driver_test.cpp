#include "devices/sync_light_driver.h"

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "devices/light_buffer.h"
#include "devices/light_tables.h"

namespace varkon {
namespace {

// A device as synchronised lighting sees it: flags, a colour buffer and the states it was given.
class FakeDevice : public SyncLightTarget {
 public:
  FakeDevice(std::string name, size_t lights, std::vector<std::string>* log = nullptr)
      : name_(std::move(name)), colours_(lights), log_(log) {}

  bool IsConnected() const override { return connected_.load(); }
  bool SyncOn() const override { return syncOn_.load(); }
  void SetSyncOn(bool on) override { syncOn_.store(on); }
  size_t LightCount() const override { return colours_.size(); }
  void SetLightColour(size_t index, uint32_t colour) override {
    if (!colours_.SetRaw(index, colour)) outOfRange_.fetch_add(1);
    writes_.fetch_add(1);
  }
  LightState SyncLightState() const override { return state_; }
  void ApplySyncedLightState(const LightState& state) override {
    state_ = state;
    applied_.push_back(state);
    if (log_) log_->push_back(name_);
  }

  void set_connected(bool on) { connected_.store(on); }
  void set_state(const LightState& s) { state_ = s; }
  const std::vector<LightState>& applied() const { return applied_; }
  uint32_t colour(size_t i) const { return colours_.GetRaw(i); }
  const ColourBuffer& colours() const { return colours_; }
  int writes() const { return writes_.load(); }
  int outOfRange() const { return outOfRange_.load(); }

 private:
  std::string name_;
  std::atomic<bool> connected_{true};
  std::atomic<bool> syncOn_{false};
  ColourBuffer colours_;
  LightState state_;
  std::vector<LightState> applied_;
  std::vector<std::string>* log_;
  std::atomic<int> writes_{0};
  std::atomic<int> outOfRange_{0};
};

LightState State(uint8_t mode, uint8_t brightness, uint8_t speed, uint8_t direction,
                 uint8_t multicolour, uint8_t r, uint8_t g, uint8_t b) {
  LightState s;
  s.mode = mode;
  s.brightness = brightness;
  s.speed = speed;
  s.direction = direction;
  s.multicolour = multicolour;
  s.red = r;
  s.green = g;
  s.blue = b;
  return s;
}

// A group of one keyboard (170 lights) and one mouse (9 lights).
struct Rig {
  FakeDevice keyboard{"keyboard", 170};
  FakeDevice mouse{"mouse", 9};
  std::vector<SyncLightTarget*> keyboards{&keyboard};
  std::vector<SyncLightTarget*> mice{&mouse};
  SyncGroup group{keyboards, mice, {}, {}};
  SharedSyncSettings settings;
  ManualLightClock clock{1000};
  SyncLightDriver driver{clock, settings};

  // Runs 1 ms passes for `ms` milliseconds; returns how many painted.
  int RunMs(int ms) {
    int painted = 0;
    for (int i = 0; i < ms; ++i) {
      clock.Advance(1);
      if (driver.Pass(group).action == SyncPassAction::kPainted) ++painted;
    }
    return painted;
  }
};

TEST(SyncLightDriver, KeyboardBreathingGivesTheMouseItsBreathingMode) {
  Rig rig;
  rig.keyboard.set_state(State(5, 3, 2, 1, 0, 40, 50, 60));
  ASSERT_EQ(
      SynchroniseLighting(&rig.keyboard, LightDeviceClass::kKeyboard, rig.group, rig.settings),
      SyncStartStatus::kStarted);
  EXPECT_TRUE(rig.keyboard.SyncOn());
  EXPECT_TRUE(rig.mouse.SyncOn());
  ASSERT_EQ(rig.mouse.applied().size(), 1u);
  EXPECT_EQ(rig.mouse.applied()[0], State(2, 3, 2, 1, 0, 40, 50, 60));
  ASSERT_EQ(rig.keyboard.applied().size(), 1u);
  EXPECT_EQ(rig.keyboard.applied()[0].mode, 5);
  EXPECT_EQ(rig.settings.Load(), (SyncSettings{0, 3, 2, 1, 0, 40, 50, 60}));

  // Both previews breathe in the same phase: every light of both devices shows one colour.
  rig.driver.Start();
  std::set<uint32_t> alphas;
  for (int step = 0; step < 40; ++step) {
    rig.RunMs(8);  // speed 2: 4 counted passes of 2 ms
    const uint32_t c = rig.keyboard.colour(0);
    for (size_t i = 0; i < 170; ++i) ASSERT_EQ(rig.keyboard.colour(i), c);
    for (size_t i = 0; i < 9; ++i) ASSERT_EQ(rig.mouse.colour(i), c);
    EXPECT_EQ(c & 0xFFFFFF, 40u | 50u << 8 | 60u << 16);
    alphas.insert(c >> 24);
  }
  EXPECT_GT(alphas.size(), 10u);  // it is breathing, not standing still
}

TEST(SyncLightDriver, PaintedValueIsRedGreenBlueAlphaLowToHigh) {
  Rig rig;
  rig.keyboard.set_state(State(6, 2, 4, 1, 0, 0x12, 0x34, 0x56));
  SynchroniseLighting(&rig.keyboard, LightDeviceClass::kKeyboard, rig.group, rig.settings);
  rig.driver.Start();
  rig.RunMs(2);
  EXPECT_EQ(rig.mouse.colour(0), 0x12u + 0x34u * 256 + 0x56u * 65536 + 135u * 16777216);
}

TEST(SyncLightDriver, ModeOutsideTheTableChangesNothing) {
  Rig rig;
  rig.keyboard.set_state(State(20, 4, 4, 1, 0, 1, 2, 3));  // custom per-key effect
  const SyncSettings before{1, 2, 3, 0, 0, 9, 9, 9};
  rig.settings.Store(before);
  EXPECT_EQ(
      SynchroniseLighting(&rig.keyboard, LightDeviceClass::kKeyboard, rig.group, rig.settings),
      SyncStartStatus::kModeNotSynchronised);
  EXPECT_FALSE(rig.keyboard.SyncOn());
  EXPECT_FALSE(rig.mouse.SyncOn());
  EXPECT_TRUE(rig.keyboard.applied().empty());
  EXPECT_TRUE(rig.mouse.applied().empty());
  EXPECT_EQ(rig.settings.Load(), before);
}

TEST(SyncLightDriver, NoCurrentDeviceDoesNothing) {
  Rig rig;
  EXPECT_EQ(SynchroniseLighting(nullptr, LightDeviceClass::kMouse, rig.group, rig.settings),
            SyncStartStatus::kNoCurrentDevice);
  EXPECT_FALSE(rig.mouse.SyncOn());
}

TEST(SyncLightDriver, DevicesAreSetKeyboardsFirstAndDisconnectedOnesSkipped) {
  std::vector<std::string> log;
  FakeDevice k1("k1", 4, &log), k2("k2", 4, &log), m("m", 4, &log), p("p", 4, &log),
      h("h", 4, &log), gone("gone", 4, &log);
  gone.set_connected(false);
  std::vector<SyncLightTarget*> ks{&k1, nullptr, &k2}, ms{&m, &gone}, ps{&p}, hs{&h};
  SyncGroup group{ks, ms, ps, hs};
  SharedSyncSettings settings;
  m.set_state(State(1, 4, 3, 0, 1, 5, 6, 7));  // the mouse's spectrum
  m.set_state([&] {
    LightState s = m.SyncLightState();
    s.extra = {0xA1, 0xA2, 0xA3};
    return s;
  }());
  ASSERT_EQ(SynchroniseLighting(&m, LightDeviceClass::kMouse, group, settings),
            SyncStartStatus::kStarted);
  EXPECT_EQ(log, (std::vector<std::string>{"k1", "k2", "m", "p", "h"}));
  EXPECT_FALSE(gone.SyncOn());
  EXPECT_TRUE(gone.applied().empty());
  // Each gets its own mode for the spectrum; the rest, extra bytes included, is a copy.
  EXPECT_EQ(k1.applied()[0].mode, 4);
  EXPECT_EQ(p.applied()[0].mode, 1);
  EXPECT_EQ(h.applied()[0].mode, 1);
  LightState expected = m.applied()[0];
  expected.mode = 4;
  EXPECT_EQ(k2.applied()[0], expected);
  EXPECT_EQ(k2.applied()[0].extra, (std::array<uint8_t, 3>{0xA1, 0xA2, 0xA3}));
  EXPECT_EQ(settings.Load().type, static_cast<uint8_t>(SyncType::kSpectrum));
}

TEST(SyncLightDriver, ChangingTheMouseLeavesOnlyTheMouseOut) {
  Rig rig;
  rig.keyboard.set_state(State(4, 4, 4, 1, 0, 0, 0, 0));  // keyboard spectrum
  SynchroniseLighting(&rig.keyboard, LightDeviceClass::kKeyboard, rig.group, rig.settings);
  rig.driver.Start();
  rig.RunMs(20);
  rig.mouse.SetSyncOn(false);  // the user changed the mouse's colour
  const uint32_t mouseFrozen = rig.mouse.colour(0);
  const int mouseWrites = rig.mouse.writes();
  uint32_t last = rig.keyboard.colour(0);
  int changes = 0;
  for (int i = 0; i < 10; ++i) {
    rig.RunMs(2);
    changes += rig.keyboard.colour(0) != last;
    last = rig.keyboard.colour(0);
  }
  EXPECT_EQ(changes, 10);  // the keyboard keeps following the shared phase
  EXPECT_EQ(rig.mouse.writes(), mouseWrites);
  EXPECT_EQ(rig.mouse.colour(0), mouseFrozen);
}

TEST(SyncLightDriver, StepsEveryCountedPassAtSpeed4AndEveryEighthAtSpeed0) {
  for (uint8_t speed : {uint8_t{4}, uint8_t{0}}) {
    Rig rig;
    rig.keyboard.SetSyncOn(true);
    rig.settings.Store(SyncSettings{3, 4, speed, 1, 0, 0, 0, 0});
    rig.driver.Start();
    // A minute of 1 ms passes: the tick advances by 2 ms every other pass.
    const int painted = rig.RunMs(60000);
    EXPECT_EQ(painted, speed == 4 ? 30000 : 3750) << int{speed};
  }
}

TEST(SyncLightDriver, CoarseTicksCountOncePerChange) {
  Rig rig;
  rig.keyboard.SetSyncOn(true);
  rig.settings.Store(SyncSettings{3, 4, 4, 1, 0, 0, 0, 0});
  rig.driver.Start();
  int painted = 0;
  // A 15 ms system tick seen by many 1 ms passes: one step per tick change.
  for (int tick = 0; tick < 100; ++tick) {
    rig.clock.Advance(15);
    for (int pass = 0; pass < 15; ++pass) {
      painted += rig.driver.Pass(rig.group).action == SyncPassAction::kPainted;
    }
  }
  EXPECT_EQ(painted, 100);
  EXPECT_EQ(rig.driver.animation().spectrumIndex, 100);
}

TEST(SyncLightDriver, OneMillisecondSinceStartIsNotCounted) {
  Rig rig;
  rig.keyboard.SetSyncOn(true);
  rig.settings.Store(SyncSettings{3, 4, 4, 1, 0, 0, 0, 0});
  rig.driver.Start();
  rig.clock.Advance(1);
  EXPECT_EQ(rig.driver.Pass(rig.group).action, SyncPassAction::kWaiting);
  rig.clock.Advance(1);
  EXPECT_EQ(rig.driver.Pass(rig.group).action, SyncPassAction::kPainted);
}

TEST(SyncLightDriver, BlinkAtSpeed0TogglesEvery1600Ms) {
  Rig rig;
  rig.keyboard.set_state(State(34, 4, 0, 1, 0, 255, 0, 0));
  SynchroniseLighting(&rig.keyboard, LightDeviceClass::kKeyboard, rig.group, rig.settings);
  rig.driver.Start();
  std::vector<uint32_t> toggles;
  uint32_t alpha = rig.keyboard.colour(0) >> 24;
  for (int ms = 0; ms < 60000; ++ms) {
    rig.RunMs(1);
    const uint32_t now = rig.keyboard.colour(0) >> 24;
    if (now != alpha) toggles.push_back(rig.clock.NowMs());
    alpha = now;
  }
  ASSERT_GT(toggles.size(), 30u);
  for (size_t i = 1; i < toggles.size(); ++i) {
    EXPECT_EQ(toggles[i] - toggles[i - 1], 1600u) << i;
  }
}

TEST(SyncLightDriver, IdleWithoutSynchronisedDevices) {
  Rig rig;
  rig.settings.Store(SyncSettings{3, 4, 4, 1, 0, 0, 0, 0});
  rig.driver.Start();
  rig.mouse.SetSyncOn(true);
  rig.mouse.set_connected(false);  // synchronised but gone: does not count
  for (int i = 0; i < 10; ++i) {
    rig.clock.Advance(5);
    EXPECT_EQ(rig.driver.Pass(rig.group).action, SyncPassAction::kIdle);
  }
  EXPECT_EQ(rig.driver.passCount(), 0u);
  EXPECT_EQ(rig.keyboard.writes() + rig.mouse.writes(), 0);
  // After the idle sleep the first pass counts the whole gap once.
  rig.keyboard.SetSyncOn(true);
  rig.clock.Advance(kSyncIdleSleepMs);
  EXPECT_EQ(rig.driver.Pass(rig.group).action, SyncPassAction::kPainted);
}

TEST(SyncLightDriver, SynchronisedButDisconnectedDeviceIsStillPainted) {
  Rig rig;
  rig.keyboard.SetSyncOn(true);
  rig.mouse.SetSyncOn(true);
  rig.mouse.set_connected(false);
  rig.settings.Store(SyncSettings{1, 4, 4, 1, 0, 3, 2, 1});
  rig.driver.Start();
  rig.RunMs(2);
  EXPECT_EQ(rig.mouse.colour(8), LightColour(3, 2, 1, 255).Pack());
}

TEST(SyncLightDriver, UnknownTypeRunsNothingButRestartsTheCount) {
  Rig rig;
  rig.keyboard.SetSyncOn(true);
  rig.settings.Store(SyncSettings{9, 4, 4, 1, 0, 0, 0, 0});
  rig.driver.Start();
  EXPECT_EQ(rig.RunMs(100), 0);
  EXPECT_EQ(rig.keyboard.writes(), 0);
  EXPECT_EQ(rig.driver.passCount(), 0u);
}

TEST(SyncLightDriver, PaintsEveryLightAndNoMore) {
  Rig rig;
  rig.keyboard.SetSyncOn(true);
  rig.mouse.SetSyncOn(true);
  PaintSynchronised(rig.group, 0x11223344u);
  EXPECT_EQ(rig.keyboard.writes(), 170);
  EXPECT_EQ(rig.mouse.writes(), 9);
  EXPECT_EQ(rig.keyboard.outOfRange() + rig.mouse.outOfRange(), 0);
  EXPECT_EQ(rig.keyboard.colour(169), 0x11223344u);
  EXPECT_EQ(rig.mouse.colour(9), 0u);
}

TEST(SyncLightDriver, SpeedChangeTakesEffectAtTheNextPass) {
  Rig rig;
  rig.keyboard.SetSyncOn(true);
  rig.settings.Store(SyncSettings{3, 4, 0, 1, 0, 0, 0, 0});
  rig.driver.Start();
  EXPECT_EQ(rig.RunMs(10), 0);  // 5 counted passes of the 8 needed at speed 0
  rig.settings.Store(SyncSettings{3, 4, 4, 1, 0, 0, 0, 0});
  rig.clock.Advance(2);
  EXPECT_EQ(rig.driver.Pass(rig.group).action, SyncPassAction::kPainted);
}

// The UI thread restarts synchronisation and flips the flags while the thread animates and the
// painter reads: every colour read is one the steps can produce (records are never torn).
TEST(SyncLightDriver, ConcurrentSettingsFlagsAndPainting) {
  Rig rig;
  const LightState red = State(6, 4, 4, 1, 0, 255, 0, 0);
  const LightState blue = State(6, 2, 4, 1, 0, 0, 0, 255);
  rig.keyboard.set_state(red);
  SynchroniseLighting(&rig.keyboard, LightDeviceClass::kKeyboard, rig.group, rig.settings);
  rig.driver.Start();
  const std::set<uint32_t> valid = {0u, LightColour(255, 0, 0, 255).Pack(),
                                    LightColour(0, 0, 255, 135).Pack()};
  std::atomic<bool> stop{false};
  std::atomic<int> painted{0};
  std::thread animator([&] {
    while (!stop.load()) {
      rig.clock.Advance(1);
      if (rig.driver.Pass(rig.group).action == SyncPassAction::kPainted) painted.fetch_add(1);
    }
  });
  std::atomic<int> bad{0};
  std::thread painter([&] {
    std::array<uint32_t, 170> snapshot;
    while (!stop.load()) {
      rig.keyboard.colours().Snapshot(snapshot);
      for (uint32_t v : snapshot) bad += valid.count(v) == 0;
      if (!valid.count(rig.mouse.colour(3))) ++bad;
    }
  });
  // Keep changing things until the animator has painted a good number of times.
  for (int i = 0; i < 50000000 && (i < 2000 || painted.load() < 500); ++i) {
    rig.settings.Store(SyncSettings::FromLightState(1, i % 2 ? red : blue));
    rig.mouse.SetSyncOn(i % 3 != 0);
    if (i % 100 == 0) std::this_thread::yield();
  }
  stop.store(true);
  animator.join();
  painter.join();
  EXPECT_EQ(bad.load(), 0);
  EXPECT_GE(painted.load(), 500);
}

}  // namespace
}  // namespace varkon
