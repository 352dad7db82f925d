// The keyboard's device object and panel.
#pragma once

#include "devices/panels/usb_device.h"

namespace varkon {

inline constexpr const char* kTarnwiseKeyboardDeviceTag = "TarnwiseKeyboardDevice";

class CTarnwiseKeyboardDevice : public CTarnwiseUSBDevice {
  Q_OBJECT

 public:
  explicit CTarnwiseKeyboardDevice(QWidget* parent = nullptr);
  ~CTarnwiseKeyboardDevice() override;

  // Through the receiver, the device answers only while its radio link is up.
  bool IsLinkAwake() override;
};

}  // namespace varkon
