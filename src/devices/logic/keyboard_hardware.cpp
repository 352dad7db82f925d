#include "devices/logic/keyboard_hardware.h"

#include "core/debug_out.h"
#include "device/device_transport.h"
#include "devices/logic/keyboard_key_maps.h"
#include "profile/macro_library_image.h"

namespace varkon {

namespace {

constexpr size_t kKeyCountByte = 5;
constexpr size_t kMacroUnitsByte = 6;

}  // namespace

bool KeyboardHardware::Opened() const {
  return transport_ != nullptr && transport_->IsOpened();
}

bool KeyboardHardware::ReadInfo(std::array<uint8_t, kDeviceInfoSize>& info, StatusCode& status) {
  status = transport_->CmdReadDeviceInfo(info);
  if (status != kStatusOk) return false;
  keyCount_ = info[kKeyCountByte];
  return true;
}

KeyboardReadResult KeyboardHardware::Read() {
  KeyboardReadResult result;
  result.opened = Opened();
  if (!result.opened) {
    result.status = kStatusNoReply;
    return result;
  }
  StatusCode status = transport_->CmdBeginSession();
  result.status = FirstFailure(result.status, status);
  if (ReadInfo(result.info, status)) {
    result.keyCount = result.info[kKeyCountByte];
    result.macroUnits = result.info[kMacroUnitsByte];
    const size_t tableBytes = static_cast<size_t>(result.keyCount) * 3;
    if (result.keyCount > static_cast<int>(kMaxKeyboardPositions) ||
        !transport_->SetTableSize(static_cast<uint16_t>(tableBytes))) {
      // A keyboard that claims more keys than its tables can hold is not read further.
      debugOut("keyboard: %d keys reported, the tables are not read\n", result.keyCount);
      result.status = FirstFailure(result.status, kStatusDeviceFF);
      return result;
    }
    result.layout.assign(tableBytes, 0);
    result.leds.assign(static_cast<size_t>(result.keyCount), 0);
    const StatusCode keys = transport_->CmdReadKeyTable(result.layout);
    const StatusCode leds = transport_->CmdReadKeyBytes(result.leds);
    result.tablesRead = keys == kStatusOk && leds == kStatusOk;
    result.status = FirstFailure(result.status, FirstFailure(keys, leds));
  } else {
    result.status = FirstFailure(result.status, status);
  }
  result.status = FirstFailure(result.status, transport_->CmdEndSession());
  StatusCode recordStatus = kStatusOk;
  result.recordRead = ReadRecord(result.record, recordStatus);
  result.status = FirstFailure(result.status, recordStatus);
  return result;
}

bool KeyboardHardware::ReadRecord(KeyboardRecord& record, StatusCode& status) {
  if (!Opened()) {
    status = kStatusNoReply;
    return false;
  }
  uint8_t active = 0;
  status = transport_->CmdReadSettings(0, std::span<uint8_t>(&active, 1));
  if (status != kStatusOk) return false;
  KeyboardRecord read{};
  status = transport_->CmdReadSettings(static_cast<uint16_t>(active * kKeyboardRecordStride), read);
  if (status != kStatusOk) return false;
  read[keyboard_record::kProfile] = active;
  read[keyboard_record::kCleared] = 0;
  lastRecord_ = read;
  record = read;
  return true;
}

StatusCode KeyboardHardware::WriteRecord(const LightState& light, const KeyboardSystemWords& system,
                                         const std::vector<int>& effectValues) {
  const KeyboardRecord record = EncodeKeyboardRecord(lastRecord_, light, system, effectValues, 0);
  if (Opened()) transport_->CmdBeginSession();
  const StatusCode status = transport_->CmdWriteSettings(0, record);
  transport_->CmdEndSession();
  return status;
}

void KeyboardHardware::NoteHotKey(int profile, int hotKeyByte) {
  if (profile >= 0) lastRecord_[keyboard_record::kProfile] = static_cast<uint8_t>(profile);
  if (hotKeyByte >= 0) lastRecord_[keyboard_record::kHotKey] = static_cast<uint8_t>(hotKeyByte);
}

int KeyboardHardware::WriteMacros(const std::string& folder, const std::vector<int>& macroNumbers) {
  std::array<uint8_t, kDeviceInfoSize> info{};
  StatusCode status = kStatusOk;
  if (Opened() && !ReadInfo(info, status)) return kMacroWriteFailed;
  std::vector<uint8_t> image;
  const int built = BuildLibraryMacroImage(folder, macroNumbers, info[kMacroUnitsByte], image);
  if (built != 0) return built;
  if (image.empty()) return 0;
  if (!Opened()) return kMacroWriteFailed;
  transport_->CmdBeginSession();
  status = transport_->CmdWriteMacroMemory(image);
  transport_->CmdEndSession();
  return status == kStatusOk ? 0 : kMacroWriteFailed;
}

StatusCode KeyboardHardware::WriteKeyTables(const std::vector<uint8_t>& main,
                                            const std::vector<uint8_t>& fn) {
  if (!Opened()) return kStatusNoReply;
  std::array<uint8_t, kDeviceInfoSize> info{};
  StatusCode status = kStatusOk;
  if (!ReadInfo(info, status)) return status;
  transport_->CmdBeginSession();
  status = transport_->CmdWriteKeyTable(0, main);
  const StatusCode fnStatus = transport_->CmdWriteKeyTableB(0, fn);
  transport_->CmdEndSession();
  return FirstFailure(status, fnStatus);
}

StatusCode KeyboardHardware::ReadColourPage(int group, std::vector<uint8_t>& page) {
  if (!Opened()) return kStatusNoReply;
  page.assign(static_cast<size_t>(keyCount_) * 3, 0);
  if (page.empty()) return kStatusOk;
  return transport_->CmdReadColourTable(group, page);
}

StatusCode KeyboardHardware::WriteColourPage(int group, const std::vector<uint8_t>& page) {
  if (!Opened()) return kStatusNoReply;
  return transport_->CmdWriteColourTable(group, page);
}

}  // namespace varkon
