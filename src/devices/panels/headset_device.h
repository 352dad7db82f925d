// The headset's device object and panel.
#pragma once

#include "devices/panels/usb_device.h"

namespace varkon {

inline constexpr const char* kTarnwiseHS6533DeviceTag = "TarnwiseHS6533Device";

class CTarnwiseHS6533Device : public CTarnwiseUSBDevice {
  Q_OBJECT

 public:
  explicit CTarnwiseHS6533Device(QWidget* parent = nullptr);
  ~CTarnwiseHS6533Device() override;
};

}  // namespace varkon
