// The mouse's conversations with its hardware, as the device's job worker runs them: reading its
// device information, button layout and settings record, and writing the record. Through the
// receiver each conversation first asks whether the mouse is awake; a sleeping mouse is not
// talked to (kStatusUnreachable) and the caller keeps what it meant to write.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/command_packet.h"
#include "device/status_code.h"
#include "devices/logic/mouse_dpi.h"
#include "devices/logic/mouse_record.h"

namespace varkon {

class DeviceTransport;

struct MouseReadResult {
  bool opened = false;
  bool asleep = false;
  bool layoutRead = false;  // device information and the button layout
  std::array<uint8_t, kDeviceInfoSize> info{};
  MouseDpiScale scale;
  int buttonCount = 0;
  std::vector<uint8_t> layout;  // N × 3
  bool recordRead = false;
  std::array<uint8_t, kMouseRecordSize> record{};
  int activeProfile = 0;
  StatusCode status = kStatusOk;  // the first failure
};

class MouseHardware {
 public:
  explicit MouseHardware(DeviceTransport* transport) : transport_(transport) {}

  // Device information, table size N × 3, the button layout, then the record of the active
  // profile.
  MouseReadResult Read();
  // The record of the active profile only (its number in `activeProfile`).
  bool ReadRecord(std::array<uint8_t, kMouseRecordSize>& record, int& activeProfile,
                  StatusCode& status);
  // Writes `record` as record 0.
  StatusCode WriteRecord(const MouseRecord& record);
  // The macros `macroNumbers` of the library in `folder`, as one image, if the macro memory (per
  // fresh device information) holds it: 0 done (or nothing to write), −1 not taken (or the
  // mouse asleep), or the count of events too many (nothing written).
  int WriteMacros(const std::string& folder, const std::vector<int>& macroNumbers);
  // The recoil image (BuildRecoilImage) into the recoil memory.
  StatusCode WriteRecoil(const std::vector<uint8_t>& image);
  // The button table at page 0 (fresh device information first).
  StatusCode WriteKeyTable(const std::vector<uint8_t>& table);

  // Whether the mouse can be talked to now: the transport is open and, through the receiver, the
  // mouse is awake.
  bool Reachable(bool* asleep = nullptr) const;

 private:
  // kStatusOk when the mouse can be talked to (and, with `info`, its device information was
  // read afresh); else why not: asleep behind the receiver, closed, or the read's failure.
  StatusCode Prepare(std::array<uint8_t, kDeviceInfoSize>* info) const;
  // `transfer` between a session's begin and end.
  StatusCode InSession(const std::function<StatusCode()>& transfer);

  DeviceTransport* transport_;
};

}  // namespace varkon
