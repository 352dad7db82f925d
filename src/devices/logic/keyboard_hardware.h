// The keyboard's conversations with its hardware, as the device's job worker runs them: reading
// its tables and settings record, writing the record, the key tables, the macro memory and the
// custom colour pages, and reading its status block. Each call is one bracketed command sequence
// on the transport; the worker owns the record last read, so "kept" bytes are written back as
// the keyboard last gave them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "device/command_packet.h"
#include "device/status_code.h"
#include "devices/logic/keyboard_record.h"

namespace varkon {

class DeviceTransport;

struct KeyboardReadResult {
  bool opened = false;      // the transport was open
  bool tablesRead = false;  // device information and both tables
  std::array<uint8_t, kDeviceInfoSize> info{};
  int keyCount = 0;             // N: key positions
  int macroUnits = 0;           // macro memory in 128-byte units
  std::vector<uint8_t> layout;  // N × 3
  std::vector<uint8_t> leds;    // N
  bool recordRead = false;
  KeyboardRecord record{};        // byte 0: the active profile
  StatusCode status = kStatusOk;  // the first failure, kStatusOk when none
};

// The outcome of writing the macro memory: 0 done (or nothing to write), −1 the keyboard did not
// take it, or a positive count of events too many (nothing was written).
inline constexpr int kMacroWriteFailed = -1;

class KeyboardHardware {
 public:
  explicit KeyboardHardware(DeviceTransport* transport) : transport_(transport) {}

  // Device information, table size N × 3 (a keyboard reporting more than 170 keys is refused
  // and not read further), key table, LED table, then the settings record of the active
  // profile (no session around those two reads).
  KeyboardReadResult Read();
  // The record of the active profile only.
  bool ReadRecord(KeyboardRecord& record, StatusCode& status);
  // Writes record 0 built from the last record read (EncodeKeyboardRecord).
  StatusCode WriteRecord(const LightState& light, const KeyboardSystemWords& system,
                         const std::vector<int>& effectValues);
  // Hot-key notices change the record's profile byte and byte 17 on the keyboard's side.
  void NoteHotKey(int profile, int hotKeyByte);
  const KeyboardRecord& LastRecord() const { return lastRecord_; }

  // The macros `macroNumbers` of the library in `folder`, as one image, if the macro memory (per
  // fresh device information) holds it.
  int WriteMacros(const std::string& folder, const std::vector<int>& macroNumbers);
  // Both key tables at page 0.
  StatusCode WriteKeyTables(const std::vector<uint8_t>& main, const std::vector<uint8_t>& fn);

  // Custom colour page `group` (N × 3 bytes; the transport places page g at g × 512).
  StatusCode ReadColourPage(int group, std::vector<uint8_t>& page);
  StatusCode WriteColourPage(int group, const std::vector<uint8_t>& page);

  int KeyCount() const { return keyCount_; }

 private:
  bool Opened() const;
  // Refreshes the device information; false when it could not be read.
  bool ReadInfo(std::array<uint8_t, kDeviceInfoSize>& info, StatusCode& status);

  DeviceTransport* transport_;
  KeyboardRecord lastRecord_{};
  int keyCount_ = 0;
};

}  // namespace varkon
