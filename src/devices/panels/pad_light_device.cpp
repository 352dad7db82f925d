#include "devices/panels/pad_light_device.h"

#include "devices/light_pad_effects.h"

namespace varkon {

DeviceParts PadLightParts(int kind, LightDeviceClass lightClass, const WaveConstants& wave,
                          std::unique_ptr<CBasicProfiledata> profile) {
  auto engine = std::make_unique<LightEngine>(lightClass, 0);
  InstallPadEffects(*engine, wave);
  DeviceParts parts;
  parts.logic = std::make_unique<PadLogic>(kind, *engine, std::move(profile));
  parts.engine = std::move(engine);
  return parts;
}

CPadLightDevice::CPadLightDevice(int kind, DeviceParts parts, QWidget* parent)
    : CTarnwiseUSBDevice(kind, std::move(parts), parent) {
  pad_ = static_cast<PadLogic*>(&Logic());
  resyncTimer_.setSingleShot(true);
  connect(&resyncTimer_, &QTimer::timeout, this, [this] { ResyncDevice(); });
}

void CPadLightDevice::ReadDevice() {
  pad_->Read([this] { RefreshPanel(); });
}

void CPadLightDevice::ResyncDevice() {
  pad_->Resync([this](int activeProfile) {
    if (activeProfile < 0) return;
    RefreshPanel();
    PostToMainWindow(kMessageSyncHandled, static_cast<uintptr_t>(activeProfile), 0);
  });
}

int CPadLightDevice::WriteLightRecord(int profileIndex) {
  pad_->WriteLightRecord(profileIndex);
  return 1;
}

void CPadLightDevice::OnDeviceNotice(bool, uint16_t value) {
  if (value != PadLogic::kSettingsChangedNotice) return;
  PostToUi([this] { resyncTimer_.start(PadLogic::kResyncDelayMs); });
}

}  // namespace varkon
