#include "devices/panels/headset_device.h"

#include "devices/light_pad_effects.h"
#include "profile/hs6533_profile_data.h"

namespace varkon {

namespace {

DeviceParts HeadsetParts() {
  auto engine = std::make_unique<LightEngine>(LightDeviceClass::kHeadset, 0);
  InstallPadEffects(*engine, kHeadsetWave);
  return CommonDeviceParts(kKindHeadset, std::move(engine), std::make_unique<CHs6533Profiledata>());
}

}  // namespace

CTarnwiseHS6533Device::CTarnwiseHS6533Device(QWidget* parent)
    : CTarnwiseUSBDevice(kKindHeadset, HeadsetParts(), parent) {}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseHS6533Device::~CTarnwiseHS6533Device() {
  StopWorkers();
}

}  // namespace varkon
