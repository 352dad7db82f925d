#include "devices/panels/mouse_pad_device.h"

namespace varkon {

CTarnwiseMousePadDevice::CTarnwiseMousePadDevice(QWidget* parent)
    : CTarnwiseUSBDevice(kKindMousePad, LightDeviceClass::kMousePad, parent) {}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseMousePadDevice::~CTarnwiseMousePadDevice() {
  StopWorkers();
}

}  // namespace varkon
