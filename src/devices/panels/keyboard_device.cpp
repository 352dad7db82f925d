#include "devices/panels/keyboard_device.h"

#include "device/device_transport.h"

namespace varkon {

CTarnwiseKeyboardDevice::CTarnwiseKeyboardDevice(QWidget* parent)
    : CTarnwiseUSBDevice(kKindKeyboard, LightDeviceClass::kKeyboard, parent) {}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseKeyboardDevice::~CTarnwiseKeyboardDevice() {
  StopWorkers();
}

bool CTarnwiseKeyboardDevice::IsLinkAwake() {
  DeviceTransport* transport = Transport();
  return transport && transport->IsOpened() && transport->ReceiverMode() &&
         transport->CmdQueryOnline();
}
}  // namespace varkon
