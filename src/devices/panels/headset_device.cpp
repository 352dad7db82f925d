#include "devices/panels/headset_device.h"

namespace varkon {

CTarnwiseHS6533Device::CTarnwiseHS6533Device(QWidget* parent)
    : CTarnwiseUSBDevice(kKindHeadset, LightDeviceClass::kHeadset, parent) {}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseHS6533Device::~CTarnwiseHS6533Device() {
  StopWorkers();
}

}  // namespace varkon
