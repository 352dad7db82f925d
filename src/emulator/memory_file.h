// The saved form of firmware memories: one JSON document with every area of every model as a
// hex string.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

#include "emulator/vendor_firmware.h"

namespace varkon {

std::string HexString(const std::vector<uint8_t>& bytes);
// False on an odd length or a character that is not a hex digit.
bool ParseHexString(const std::string& text, std::vector<uint8_t>& bytes);

// What one firmware holds now: {area: hex, ...} for every area, "streamedFrames" (light frames
// completed), "lastFrame" (hex of the last one, "" before the first) and "requests" (vendor
// requests received since the start), and for a device that takes light reports "frameReports"
// (their count) and "lastReports" (the last of each target and register, as {"22aa": hex of the
// levels after those two and the zero byte}). Read through the firmware's own accessors, so a
// receiver shows the memory of the device behind it (and counts the requests it was sent itself).
Json::Value FirmwareMemoryView(const VendorFirmware& firmware);

// {"format": "varkon-emulator-memory", "version": 2, "devices": {name: {area: hex, ...}}}
Json::Value MemoryDocument(const std::vector<const VendorFirmware*>& firmwares);
// Loads every firmware's areas from the document. False, with no firmware changed, unless the
// document holds every firmware with every area at exactly its current size.
bool ApplyMemoryDocument(const Json::Value& document,
                         const std::vector<VendorFirmware*>& firmwares);

}  // namespace varkon
