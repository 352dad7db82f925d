#include "devices/panels/mouse_pad_device.h"

#include "devices/light_pad_effects.h"

namespace varkon {

CTarnwiseMousePadDevice::CTarnwiseMousePadDevice(QWidget* parent)
    : CPadLightDevice(kKindMousePad,
                      PadLightParts(kKindMousePad, LightDeviceClass::kMousePad, kPadWave,
                                    std::make_unique<CBasicProfiledata>()),
                      parent) {}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseMousePadDevice::~CTarnwiseMousePadDevice() {
  StopWorkers();
}

}  // namespace varkon
