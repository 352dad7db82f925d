#include "devices/panels/mouse_pad_device.h"

#include "devices/light_pad_effects.h"

namespace varkon {

namespace {

DeviceParts PadParts() {
  auto engine = std::make_unique<LightEngine>(LightDeviceClass::kMousePad, 0);
  InstallPadEffects(*engine);
  return CommonDeviceParts(kKindMousePad, std::move(engine), std::make_unique<CBasicProfiledata>());
}

}  // namespace

CTarnwiseMousePadDevice::CTarnwiseMousePadDevice(QWidget* parent)
    : CTarnwiseUSBDevice(kKindMousePad, PadParts(), parent) {}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseMousePadDevice::~CTarnwiseMousePadDevice() {
  StopWorkers();
}

}  // namespace varkon
