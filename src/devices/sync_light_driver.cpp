#include "devices/sync_light_driver.h"

#include <array>

#include "devices/light_tables.h"

namespace varkon {
namespace {

constexpr std::array<LightDeviceClass, 4> kStartOrder = {
    LightDeviceClass::kKeyboard, LightDeviceClass::kMouse, LightDeviceClass::kMousePad,
    LightDeviceClass::kHeadset};
constexpr std::array<LightDeviceClass, 4> kPaintOrder = {
    LightDeviceClass::kMouse, LightDeviceClass::kMousePad, LightDeviceClass::kHeadset,
    LightDeviceClass::kKeyboard};

}  // namespace

std::span<SyncLightTarget* const> SyncGroup::OfKind(LightDeviceClass kind) const {
  switch (kind) {
    case LightDeviceClass::kKeyboard:
      return keyboards;
    case LightDeviceClass::kMouse:
      return mice;
    case LightDeviceClass::kMousePad:
      return mousePads;
    case LightDeviceClass::kHeadset:
      return headsets;
  }
  return {};
}

SyncStartStatus SynchroniseLighting(const SyncLightTarget* current, LightDeviceClass currentKind,
                                    const SyncGroup& group, SharedSyncSettings& settings) {
  if (current == nullptr) return SyncStartStatus::kNoCurrentDevice;
  const LightState state = current->SyncLightState();
  const std::optional<SyncType> type = SyncTypeOfMode(currentKind, state.mode);
  if (!type) return SyncStartStatus::kModeNotSynchronised;
  settings.Store(SyncSettings::FromLightState(static_cast<uint8_t>(*type), state));

  for (LightDeviceClass kind : kStartOrder) {
    const std::optional<uint8_t> mode = ModeOfSyncType(kind, *type);
    if (!mode) continue;
    for (SyncLightTarget* device : group.OfKind(kind)) {
      if (device == nullptr || !device->IsConnected()) continue;
      device->SetSyncOn(true);
      LightState synced = state;
      synced.mode = *mode;
      device->ApplySyncedLightState(synced);
    }
  }
  return SyncStartStatus::kStarted;
}

bool AnySynchronised(const SyncGroup& group) {
  // The thread looks in the mouse list first, then keyboards, mouse pads and headsets.
  for (LightDeviceClass kind : {LightDeviceClass::kMouse, LightDeviceClass::kKeyboard,
                                LightDeviceClass::kMousePad, LightDeviceClass::kHeadset}) {
    for (const SyncLightTarget* device : group.OfKind(kind)) {
      if (device != nullptr && device->IsConnected() && device->SyncOn()) return true;
    }
  }
  return false;
}

void PaintSynchronised(const SyncGroup& group, uint32_t colour) {
  for (LightDeviceClass kind : kPaintOrder) {
    for (SyncLightTarget* device : group.OfKind(kind)) {
      if (device == nullptr || !device->SyncOn()) continue;
      const size_t count = device->LightCount();
      for (size_t i = 0; i < count; ++i) device->SetLightColour(i, colour);
    }
  }
}

SyncLightDriver::SyncLightDriver(const LightClock& clock, const SharedSyncSettings& settings)
    : clock_(clock), settings_(settings) {}

void SyncLightDriver::Start() {
  scheduler_.Reset(clock_.NowMs());
}

SyncPassOutcome SyncLightDriver::Pass(const SyncGroup& group) {
  if (!AnySynchronised(group)) return {SyncPassAction::kIdle, {}};
  const uint32_t now = clock_.NowMs();
  const SyncSettings settings = settings_.Load();
  if (!scheduler_.Pass(now, SpeedTicks(settings.speed))) return {SyncPassAction::kWaiting, {}};
  const std::optional<LightColour> colour = SyncStep(settings, animation_, now);
  if (!colour) return {SyncPassAction::kWaiting, {}};
  PaintSynchronised(group, colour->Pack());
  return {SyncPassAction::kPainted, *colour};
}

}  // namespace varkon
