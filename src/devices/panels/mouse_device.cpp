#include "devices/panels/mouse_device.h"

#include "device/device_transport.h"
#include "devices/light_mouse_effects.h"
#include "profile/mouse_profile_data.h"

namespace varkon {

namespace {

DeviceParts MouseParts() {
  auto engine = std::make_unique<LightEngine>(LightDeviceClass::kMouse, 0);
  InstallMouseEffects(*engine);
  return CommonDeviceParts(kKindMouse, std::move(engine), std::make_unique<CMouseProfiledata>());
}

}  // namespace

CTarnwiseMouseDevice::CTarnwiseMouseDevice(QWidget* parent)
    : CTarnwiseUSBDevice(kKindMouse, MouseParts(), parent) {}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseMouseDevice::~CTarnwiseMouseDevice() {
  StopWorkers();
}

bool CTarnwiseMouseDevice::IsLinkAwake() {
  DeviceTransport* transport = Transport();
  return transport && transport->IsOpened() && transport->ReceiverMode() &&
         transport->CmdQueryOnline();
}
}  // namespace varkon
