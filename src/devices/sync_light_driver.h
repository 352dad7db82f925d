// Synchronised lighting: starting it from the current device, and the pass of the background
// thread that animates the previews of all synchronised devices from one shared phase.
//
// How the thread (written with the main window) drives it:
//
//   SyncLightDriver driver(clock, settings);   // one per process, with the shared settings
//   driver.Start();                             // when the thread starts
//   while (!stop.WaitFor(kSyncPassWaitMs)) {    // wait at most 1 ms for the stop event
//     lock the device lists;
//     SyncPassOutcome out = driver.Pass(group);
//     unlock;
//     if (out.action == SyncPassAction::kIdle) sleep kSyncIdleSleepMs;
//   }
//   debug output kSyncThreadStopMessage;
//
// The thread never talks to the hardware: SynchroniseLighting sets each device's own effect once,
// and the thread only writes preview colours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/light_scheduler.h"
#include "devices/light_state.h"
#include "devices/sync_light_modes.h"
#include "devices/sync_light_step.h"

namespace varkon {

inline constexpr uint32_t kSyncPassWaitMs = 1;
inline constexpr uint32_t kSyncIdleSleepMs = 1000;
inline constexpr const char* kSyncThreadStopMessage = "同步灯光线程设定退出";

// What synchronised lighting needs from a device object. The flag, the connected state, the light
// count and SetLightColour are used from the synchronised-lighting thread and must be safe to
// call from it (atomics); ApplySyncedLightState is called on the UI thread only.
class SyncLightTarget {
 public:
  virtual ~SyncLightTarget() = default;
  virtual bool IsConnected() const = 0;
  virtual bool SyncOn() const = 0;
  virtual void SetSyncOn(bool on) = 0;
  virtual size_t LightCount() const = 0;
  virtual void SetLightColour(size_t index, uint32_t colour) = 0;
  // The device's light state (the current device's is copied to the others).
  virtual LightState SyncLightState() const = 0;
  // Gives the device its synchronised light state: the lighting panel, SetLightState, the write
  // to the device, the preview refresh and the panel layout.
  virtual void ApplySyncedLightState(const LightState& state) = 0;
};

// The main window's per-kind device lists.
struct SyncGroup {
  std::span<SyncLightTarget* const> keyboards;
  std::span<SyncLightTarget* const> mice;
  std::span<SyncLightTarget* const> mousePads;
  std::span<SyncLightTarget* const> headsets;

  std::span<SyncLightTarget* const> OfKind(LightDeviceClass kind) const;
};

enum class SyncStartStatus {
  kStarted,
  kNoCurrentDevice,
  kModeNotSynchronised,  // the current mode has no synchronised equivalent; nothing changed
};

// "deng_same_mode": takes the current device's light state, stores the shared settings, and gives
// every connected device of every kind (keyboards, mice, mouse pads, headsets) the equivalent
// mode with the same brightness, speed, direction, multicolour flag and colour, setting its
// sync flag first. Null entries in the lists are skipped.
SyncStartStatus SynchroniseLighting(const SyncLightTarget* current, LightDeviceClass currentKind,
                                    const SyncGroup& group, SharedSyncSettings& settings);

// True when a device in the group is connected and synchronised.
bool AnySynchronised(const SyncGroup& group);
// Every light of every synchronised device (mice, mouse pads, headsets, then keyboards) gets
// `colour` (red | green << 8 | blue << 16 | alpha << 24).
void PaintSynchronised(const SyncGroup& group, uint32_t colour);

enum class SyncPassAction {
  kIdle,     // no device is synchronised: the thread sleeps kSyncIdleSleepMs
  kWaiting,  // no step due in this pass
  kPainted,  // a step ran and its colour was painted
};

struct SyncPassOutcome {
  SyncPassAction action = SyncPassAction::kIdle;
  LightColour colour;  // with kPainted
};

// The synchronised-lighting thread's state: pass counter, shared animation state, the clock.
// Owned and used by that thread only; the settings are read from the shared copy at every pass.
class SyncLightDriver {
 public:
  SyncLightDriver(const LightClock& clock, const SharedSyncSettings& settings);

  // Takes the current tick as the last tick and zeroes the pass counter.
  void Start();
  // One pass of the thread. A pass counts when the tick count has advanced by 2 ms or more since
  // the last counted one; after the speed's tick value of counted passes the step of the sync
  // type runs and its colour is painted. With no synchronised device nothing is counted.
  SyncPassOutcome Pass(const SyncGroup& group);

  const SyncAnimation& animation() const { return animation_; }
  uint32_t passCount() const { return scheduler_.count(); }

 private:
  const LightClock& clock_;
  const SharedSyncSettings& settings_;
  StepScheduler scheduler_{TickRule::kTickAdvance2Ms};
  SyncAnimation animation_;
};

}  // namespace varkon
