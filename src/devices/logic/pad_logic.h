// The lighting logic of the mouse pad and of the headset's lights: the light settings record
// kept in step with the light state and the profile, read from the device and written to it on
// the device's job worker. Each panel owns one and forwards to it.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "device/command_packet.h"
#include "device/status_code.h"
#include "devices/logic/device_logic.h"
#include "devices/logic/pad_record.h"

namespace varkon {

class PadLogic : public DeviceLogic {
 public:
  // The device's input report that says its settings changed; the record is read again this
  // long after it.
  static constexpr uint16_t kSettingsChangedNotice = 0x401;
  static constexpr int kResyncDelayMs = 500;

  PadLogic(int kind, LightEngine& engine, std::unique_ptr<CBasicProfiledata> profile);
  ~PadLogic() override;

  // Reads the device information and the active record on the worker; then, on the owner's
  // thread, loads the profile (whose lighting the record takes), runs `refresh` and writes the
  // record, so the device shows what the profile says after every plug-in.
  void Read(std::function<void()> refresh);
  // After the device said its settings changed: the record again; its lighting becomes the
  // light state and the profile's. `done` gets the device's active profile (−1 when the read
  // failed) after the state was taken.
  void Resync(std::function<void(int activeProfile)> done);
  // The record from the light state, written as profile slot `slot`.
  void WriteLightRecord(int slot, std::function<void(StatusCode)> done = {});

  // The light state into the record too.
  int ApplyProfile() override;

  const PadRecord& Record() const { return record_; }
  bool InfoRead() const { return infoRead_; }
  StatusCode LastStatus() const { return lastStatus_; }

 private:
  struct ReadResult {
    bool infoRead = false;
    bool recordRead = false;
    std::array<uint8_t, kDeviceInfoSize> info{};
    std::array<uint8_t, kPadReadSize> record{};
    StatusCode status = kStatusOk;
  };
  // On the worker: the information (when `withInfo`), the active index and its record.
  static ReadResult ReadHardware(DeviceTransport* transport, bool withInfo);

  PadRecord record_{};
  bool infoRead_ = false;
  StatusCode lastStatus_ = kStatusOk;
};

}  // namespace varkon
