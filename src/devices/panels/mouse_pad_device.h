// The mouse pad's device object and panel.
#pragma once

#include "devices/panels/pad_light_device.h"

namespace varkon {

inline constexpr const char* kTarnwiseMousePadDeviceTag = "TarnwiseMousePadDevice";

class CTarnwiseMousePadDevice : public CPadLightDevice {
  Q_OBJECT

 public:
  explicit CTarnwiseMousePadDevice(QWidget* parent = nullptr);
  ~CTarnwiseMousePadDevice() override;
};

}  // namespace varkon
