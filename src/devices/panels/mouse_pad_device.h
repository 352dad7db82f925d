// The mouse pad's device object and panel.
#pragma once

#include "devices/panels/usb_device.h"

namespace varkon {

inline constexpr const char* kTarnwiseMousePadDeviceTag = "TarnwiseMousePadDevice";

class CTarnwiseMousePadDevice : public CTarnwiseUSBDevice {
  Q_OBJECT

 public:
  explicit CTarnwiseMousePadDevice(QWidget* parent = nullptr);
  ~CTarnwiseMousePadDevice() override;
};

}  // namespace varkon
