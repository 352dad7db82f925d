// What the mouse pad's and the headset's panels share: lighting is what the user sets on them,
// kept in one light settings record (PadLogic) that is written after each change, read again
// when the device says its settings changed, and written from the profile whenever the device
// arrives.
#pragma once

#include <QTimer>

#include "devices/light_pad_effects.h"
#include "devices/logic/pad_logic.h"
#include "devices/panels/usb_device.h"

namespace varkon {

class CPadLightDevice : public CTarnwiseUSBDevice {
  Q_OBJECT

 public:
  CPadLightDevice(int kind, DeviceParts parts, QWidget* parent);

  // The information and the record, then the profile shown and written to the device.
  void ReadDevice() override;
  // The record again; the panel shows it and the main window hears 3328 with the active
  // profile of the device.
  void ResyncDevice() override;
  int WriteLightRecord(int profileIndex) override;

  PadLogic& Pad() { return *pad_; }
  const PadLogic& Pad() const { return *pad_; }

 protected:
  // 0x401: the record is read again half a second later.
  void OnDeviceNotice(bool receiverIdentity, uint16_t value) override;

 private:
  PadLogic* pad_;
  QTimer resyncTimer_;
};

// The parts of a pad-like device: its engine with the pad's effects (the wave's constants
// differ between pad and headset) and a PadLogic over a profile document of `profile`'s class.
DeviceParts PadLightParts(int kind, LightDeviceClass lightClass, const WaveConstants& wave,
                          std::unique_ptr<CBasicProfiledata> profile);

}  // namespace varkon
