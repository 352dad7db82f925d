#include "devices/panels/mouse_device.h"

#include "device/device_transport.h"

namespace varkon {

CTarnwiseMouseDevice::CTarnwiseMouseDevice(QWidget* parent)
    : CTarnwiseUSBDevice(kKindMouse, LightDeviceClass::kMouse, parent) {}

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
