// The mouse's device object and panel (on its cable or through its receiver).
#pragma once

#include "devices/panels/usb_device.h"

namespace varkon {

inline constexpr const char* kTarnwiseMouseDeviceTag = "TarnwiseMouseDevice";

class CTarnwiseMouseDevice : public CTarnwiseUSBDevice {
  Q_OBJECT

 public:
  explicit CTarnwiseMouseDevice(QWidget* parent = nullptr);
  ~CTarnwiseMouseDevice() override;

  // Through the receiver, the device answers only while its radio link is up.
  bool IsLinkAwake() override;
};

}  // namespace varkon
